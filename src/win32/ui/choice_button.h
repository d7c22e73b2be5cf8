#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "win32/ui/widget.h"

namespace veldrask::win32 {

// An option button or a check box on a white background. The widget keeps the value and shows
// it; the system's automatic styles are not used, so a value set by the program and one set
// by the user go through the same rules: selecting an option clears the other options of its
// container; a check box holds 0, 1 or 2 (greyed) and the user's click turns 1 into 0 and
// anything else into 1.
class Win32ChoiceButton : public Win32Widget {
 public:
  // kind is kOptionButton or kCheckBox.
  Win32ChoiceButton(Win32Form& form, WidgetKind kind, std::string name, Win32Container& container,
                    std::string_view caption, Bounds bounds);

  // Check boxes take 0, 1 or 2 only ("invalid argument" otherwise).
  void SetValue(std::int32_t value) override;

  void OnCommand(WORD code) override;
  HBRUSH OnControlColor(HDC dc) override;

 private:
  void Show(std::int32_t value);
  void SelectOption();
};

}  // namespace veldrask::win32
