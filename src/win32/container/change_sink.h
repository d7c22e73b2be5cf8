#pragma once

// Receives the control's property change notifications (IPropertyNotifySink) in order.

#include <ocidl.h>
#include <windows.h>

#include <vector>

#include "win32/com_object.h"

namespace veldrask::container {

class ChangeSink final : public win32::ComObject<win32::PlainLifetime, IPropertyNotifySink> {
 public:
  const std::vector<DISPID>& Changed() const { return changed_; }
  void Clear() { changed_.clear(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    return win32::AnswerQuery(
        id, object, {{&IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(this)}});
  }
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
    changed_.push_back(id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

 private:
  std::vector<DISPID> changed_;
};

}  // namespace veldrask::container
