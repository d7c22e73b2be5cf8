#pragma once

#include <string>

#include "headless/widget.h"
#include "platform/picture.h"
#include "platform/ui.h"

namespace veldrask::headless {

// A picture box in memory: its picture is the icon drawn last, empty after a clear.
class HeadlessPictureBox : public HeadlessWidget, public PictureBox {
 public:
  HeadlessPictureBox(HeadlessUi& ui, HeadlessForm& form, std::string name,
                     HeadlessWidget* container, Bounds bounds)
      : HeadlessWidget(ui, form, WidgetKind::kPictureBox, std::move(name), container, "", bounds) {}

  void ClearPicture() override { picture_ = Picture{}; }
  void DrawIcon(const Picture& icon) override { picture_ = icon; }
  Picture Snapshot() const override { return picture_; }

 private:
  Picture picture_;
};

}  // namespace veldrask::headless
