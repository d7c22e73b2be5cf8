#include "win32/ui/icon_picture.h"

#include <memory>
#include <utility>

namespace veldrask::win32 {

Picture IconPicture(std::string name, HICON icon) {
  if (icon == nullptr) return Picture{std::move(name), nullptr};
  std::shared_ptr<const void> owned(
      icon, [](const void* handle) { DestroyIcon(static_cast<HICON>(const_cast<void*>(handle))); });
  return Picture{std::move(name), std::move(owned)};
}

HICON IconOf(const Picture& picture) {
  return static_cast<HICON>(const_cast<void*>(picture.native.get()));
}

}  // namespace veldrask::win32
