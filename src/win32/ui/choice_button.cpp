#include "win32/ui/choice_button.h"

#include "base/error.h"
#include "win32/ui/form.h"

namespace veldrask::win32 {

Win32ChoiceButton::Win32ChoiceButton(Win32Form& form, WidgetKind kind, std::string name,
                                     Win32Container& container, std::string_view caption,
                                     Bounds bounds)
    : Win32Widget(form, kind, std::move(name), &container, caption, bounds) {
  const DWORD style = kind == WidgetKind::kOptionButton ? BS_RADIOBUTTON : BS_3STATE;
  CreateChild(L"BUTTON", style | WS_TABSTOP, 0);
}

void Win32ChoiceButton::SetValue(std::int32_t value) {
  if (Kind() == WidgetKind::kCheckBox) {
    if (value < 0 || value > 2) throw Error(ErrorNumber::kInvalidArgument);
    Show(value);
  } else if (value != 0) {
    SelectOption();
  } else {
    Show(0);
  }
}

void Win32ChoiceButton::OnCommand(WORD code) {
  if (code != BN_CLICKED) return;
  if (Kind() == WidgetKind::kOptionButton) {
    SelectOption();
  } else {
    Show(Value() == 1 ? 0 : 1);
  }
  RaiseClick();
}

HBRUSH Win32ChoiceButton::OnControlColor(HDC dc) {
  SetBkColor(dc, RGB(255, 255, 255));
  return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

void Win32ChoiceButton::Show(std::int32_t value) {
  Win32Widget::SetValue(value);
  // BST_UNCHECKED, BST_CHECKED and BST_INDETERMINATE are 0, 1 and 2.
  SendMessageW(Window(), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void Win32ChoiceButton::SelectOption() {
  for (Win32Widget* other : OwnerForm().WidgetsIn(ContainerWidget())) {
    auto* option = dynamic_cast<Win32ChoiceButton*>(other);
    if (option != nullptr && option != this && option->Kind() == WidgetKind::kOptionButton) {
      option->Show(0);
    }
  }
  Show(1);
}

}  // namespace veldrask::win32
