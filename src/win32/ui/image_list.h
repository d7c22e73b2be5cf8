#pragma once

#include <windows.h>
// The common controls' declarations need the types above.
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/picture.h"
#include "win32/ui/widget.h"

namespace veldrask::win32 {

// Icons of one size under keys, in the order added, kept in a system image list that list
// views share (they never destroy it). A picture without an icon takes a transparent image,
// so image numbers and keys stay in step.
class Win32ImageList : public Win32Widget, public ImageList {
 public:
  // imageSize is 16 or 32 ("invalid argument" otherwise).
  Win32ImageList(Win32Form& form, std::string name, Win32Container& container,
                 std::int32_t imageSize);
  ~Win32ImageList() override;

  std::int32_t ImageSize() const override { return imageSize_; }
  std::int32_t Count() const override;
  std::string Key(std::int32_t index) const override { return At(index).key; }
  Picture Image(std::int32_t index) const override { return At(index).picture; }
  void Add(std::string_view key, const Picture& picture) override;

  HIMAGELIST Handle() const { return images_; }
  // The system image number (from 0) of the first image under key, or -1.
  int Find(std::string_view key) const;

 private:
  struct Entry {
    std::string key;
    Picture picture;
  };

  const Entry& At(std::int32_t index) const;
  void AddTransparentImage();

  std::int32_t imageSize_;
  HIMAGELIST images_;
  std::vector<Entry> entries_;
};

}  // namespace veldrask::win32
