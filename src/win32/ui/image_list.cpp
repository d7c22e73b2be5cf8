#include "win32/ui/image_list.h"

#include <algorithm>
#include <iterator>

#include "base/checked.h"
#include "base/error.h"
#include "win32/ui/icon_picture.h"

namespace veldrask::win32 {
namespace {

std::int32_t CheckedImageSize(std::int32_t size) {
  if (size != 16 && size != 32) throw Error(ErrorNumber::kInvalidArgument);
  return size;
}

}  // namespace

Win32ImageList::Win32ImageList(Win32Form& form, std::string name, Win32Container& container,
                               std::int32_t imageSize)
    : Win32Widget(form, WidgetKind::kImageList, std::move(name), &container, "", Bounds{}),
      imageSize_(CheckedImageSize(imageSize)),
      images_(ImageList_Create(imageSize_, imageSize_, ILC_COLOR32 | ILC_MASK, 8, 8)) {
  if (images_ == nullptr) throw Error(ErrorNumber::kOutOfMemory);
}

Win32ImageList::~Win32ImageList() {
  ImageList_Destroy(images_);
}

std::int32_t Win32ImageList::Count() const {
  return CheckedNarrow<std::int32_t>(entries_.size());
}

void Win32ImageList::Add(std::string_view key, const Picture& picture) {
  HICON icon = IconOf(picture);
  if (icon == nullptr) {
    AddTransparentImage();
  } else if (ImageList_ReplaceIcon(images_, -1, icon) < 0) {
    throw Error(ErrorNumber::kOutOfMemory);
  }
  entries_.push_back(Entry{std::string(key), picture});
}

int Win32ImageList::Find(std::string_view key) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [key](const Entry& entry) { return entry.key == key; });
  if (found == entries_.end()) return -1;
  return static_cast<int>(std::distance(entries_.begin(), found));
}

const Win32ImageList::Entry& Win32ImageList::At(std::int32_t index) const {
  if (index < 1 || index > Count()) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return entries_[static_cast<std::size_t>(index - 1)];
}

void Win32ImageList::AddTransparentImage() {
  // A 32-bit image whose pixels are all zero, alpha included: nothing shows.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = imageSize_;
  info.bmiHeader.biHeight = imageSize_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP image = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (image == nullptr) throw Error(ErrorNumber::kOutOfMemory);
  const int added = ImageList_Add(images_, image, nullptr);
  DeleteObject(image);
  if (added < 0) throw Error(ErrorNumber::kOutOfMemory);
}

}  // namespace veldrask::win32
