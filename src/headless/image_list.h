#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "headless/widget.h"
#include "platform/picture.h"
#include "platform/ui.h"

namespace veldrask::headless {

// An image list in memory. Keys need not be unique: the core checks that itself. An index
// out of range raises "subscript out of range".
class HeadlessImageList : public HeadlessWidget, public ImageList {
 public:
  // imageSize is 16 or 32 ("invalid argument" otherwise).
  HeadlessImageList(HeadlessUi& ui, HeadlessForm& form, std::string name, std::int32_t imageSize);

  std::int32_t ImageSize() const override { return imageSize_; }
  std::int32_t Count() const override;
  std::string Key(std::int32_t index) const override { return At(index).key; }
  Picture Image(std::int32_t index) const override { return At(index).picture; }
  void Add(std::string_view key, const Picture& picture) override;

 private:
  struct Entry {
    std::string key;
    Picture picture;
  };

  const Entry& At(std::int32_t index) const;

  std::int32_t imageSize_;
  std::vector<Entry> entries_;
};

}  // namespace veldrask::headless
