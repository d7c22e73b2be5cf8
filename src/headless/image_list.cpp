#include "headless/image_list.h"

#include <cstddef>
#include <utility>

#include "base/checked.h"
#include "base/error.h"
#include "headless/form.h"

namespace veldrask::headless {

namespace {

std::int32_t CheckedImageSize(std::int32_t size) {
  if (size != 16 && size != 32) throw Error(ErrorNumber::kInvalidArgument);
  return size;
}

}  // namespace

HeadlessImageList::HeadlessImageList(HeadlessUi& ui, HeadlessForm& form, std::string name,
                                     std::int32_t imageSize)
    : HeadlessWidget(ui, form, WidgetKind::kImageList, std::move(name),
                     &static_cast<HeadlessWidget&>(form), "", Bounds{}),
      imageSize_(CheckedImageSize(imageSize)) {}

std::int32_t HeadlessImageList::Count() const {
  return CheckedNarrow<std::int32_t>(entries_.size());
}

void HeadlessImageList::Add(std::string_view key, const Picture& picture) {
  entries_.push_back(Entry{std::string(key), picture});
}

const HeadlessImageList::Entry& HeadlessImageList::At(std::int32_t index) const {
  if (index < 1 || index > Count()) throw Error(ErrorNumber::kSubscriptOutOfRange);
  return entries_[static_cast<std::size_t>(index - 1)];
}

}  // namespace veldrask::headless
