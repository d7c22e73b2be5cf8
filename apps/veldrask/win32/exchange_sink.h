#pragma once

#include "http/exchange_observer.h"
#include "win32/com/host_link.h"
#include "win32/com_object.h"

namespace veldrask::host {

// The control DLL's exchanges handed to the host's observer in the core's own types, as the
// POSIX host gets them from the core directly. The observer must outlive the sink's use: the
// session lets the control go of the sink before the observer goes.
class ExchangeSink final
    : public win32::ComObject<win32::PlainLifetime, com::IUploaderExchangeSink> {
 public:
  explicit ExchangeSink(ExchangeObserver& observer) : observer_(observer) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  HRESULT STDMETHODCALLTYPE Connecting() override;
  HRESULT STDMETHODCALLTYPE Connected() override;
  HRESULT STDMETHODCALLTYPE RequestHead(const char* head, ULONG length) override;
  HRESULT STDMETHODCALLTYPE Progress() override;
  HRESULT STDMETHODCALLTYPE ResponseHead(const char* head, ULONG length) override;
  HRESULT STDMETHODCALLTYPE TakesReplyBody() override;
  HRESULT STDMETHODCALLTYPE ReplyBody(const BYTE* bytes, ULONG length) override;
  HRESULT STDMETHODCALLTYPE DownloadEnded(const com::HostDownloadReport* report) override;
  HRESULT STDMETHODCALLTYPE SocketFailed(LONG number, const char* description,
                                         ULONG length) override;
  HRESULT STDMETHODCALLTYPE TunnelRequestHead(const char* head, ULONG length) override;
  HRESULT STDMETHODCALLTYPE TunnelAnswerHead(const char* head, ULONG length) override;

 private:
  ExchangeObserver& observer_;
};

}  // namespace veldrask::host
