#pragma once

// Forms and widgets as the core sees them. The core builds its screens from these named
// widgets with their twip geometry; a backend shows them (real windows, or in memory for
// tests and the terminal host). Events (clicks, ticks, a window being closed) arrive
// through the event loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/picture.h"

namespace veldrask {

// Left, top, width and height in twips (1/1440 inch).
struct Bounds {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  bool operator==(const Bounds&) const = default;
};

enum class WidgetKind {
  kForm,
  kFrame,
  kLabel,
  kButton,
  kOptionButton,
  kCheckBox,
  kRectangle,
  kPictureBox,
  kProgressBar,
  kListView,
  kImageList,
  kFileDialog,
};

class Widget {
 public:
  virtual ~Widget() = default;

  virtual const std::string& Name() const = 0;
  virtual WidgetKind Kind() const = 0;
  // The frame or form that contains the widget; null for a form.
  virtual Widget* Container() const = 0;

  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual Bounds Position() const = 0;
  virtual void Move(std::int32_t left, std::int32_t top) = 0;

  virtual const std::string& Caption() const = 0;
  virtual void SetCaption(std::string_view caption) = 0;

  // Check box: 0 unticked, 1 ticked, 2 greyed. Option button: 1 selected, 0 not (selecting
  // one clears the others of its container). Progress bar: its position.
  virtual std::int32_t Value() const = 0;
  virtual void SetValue(std::int32_t value) = 0;

  // The user's click (also the change of an option button or a check box).
  virtual void SetOnClick(std::function<void()> handler) = 0;
};

class ProgressBar : public virtual Widget {
 public:
  virtual std::int32_t Minimum() const = 0;
  virtual std::int32_t Maximum() const = 0;
  virtual void SetMinimum(std::int32_t minimum) = 0;
  virtual void SetMaximum(std::int32_t maximum) = 0;
};

// Pictures of one size under keys, in the order added.
class ImageList : public virtual Widget {
 public:
  virtual std::int32_t ImageSize() const = 0;  // pixels: 16 or 32
  virtual std::int32_t Count() const = 0;
  // Images are numbered from 1.
  virtual std::string Key(std::int32_t index) const = 0;
  virtual Picture Image(std::int32_t index) const = 0;
  virtual void Add(std::string_view key, const Picture& picture) = 0;
};

// A drawing surface: an icon drawn on it becomes its picture.
class PictureBox : public virtual Widget {
 public:
  virtual void ClearPicture() = 0;
  virtual void DrawIcon(const Picture& icon) = 0;
  virtual Picture Snapshot() const = 0;
};

enum class ListViewMode { kLargeIcon = 0, kSmallIcon = 1, kList = 2, kReport = 3 };
enum class Alignment { kLeft = 0, kRight = 1, kCenter = 2 };

struct ListColumn {
  std::string key;
  std::string text;
  std::int32_t width = 0;  // twips
  Alignment alignment = Alignment::kLeft;
};

// Rows and columns are numbered from 1. Sub-items 1 and 2 are the second and third column.
class ListView : public virtual Widget {
 public:
  virtual void AddColumn(const ListColumn& column) = 0;
  virtual std::int32_t ColumnCount() const = 0;
  virtual ListColumn Column(std::int32_t index) const = 0;

  virtual void SetImageLists(ImageList* large, ImageList* small) = 0;
  virtual void SetView(ListViewMode mode) = 0;
  virtual ListViewMode View() const = 0;
  virtual void Refresh() = 0;
  // Icon views: arrange the icons automatically, aligned left.
  virtual void ArrangeLeft() = 0;
  // False forbids renaming rows in place.
  virtual void SetLabelEditAutomatic(bool automatic) = 0;
  virtual void SetCheckBoxes(bool enabled) = 0;

  // Adds a row at position (1-based; 0 appends). Returns its number, or nullopt when
  // another row has the same non-empty key (nothing is added then).
  virtual std::optional<std::int32_t> AddRow(std::int32_t position, std::string_view key,
                                             std::string_view text) = 0;
  virtual std::int32_t RowCount() const = 0;
  virtual void RemoveRow(std::int32_t row) = 0;
  // Whether a row has exactly this key (letter case counts), in constant time.
  virtual bool HasKey(std::string_view key) const = 0;

  virtual std::string RowKey(std::int32_t row) const = 0;
  virtual std::string RowText(std::int32_t row) const = 0;
  virtual std::string SubItem(std::int32_t row, std::int32_t index) const = 0;
  virtual void SetSubItem(std::int32_t row, std::int32_t index, std::string_view text) = 0;
  virtual std::string ToolTip(std::int32_t row) const = 0;
  virtual void SetToolTip(std::int32_t row, std::string_view text) = 0;
  virtual std::string IconKey(std::int32_t row) const = 0;
  virtual std::string SmallIconKey(std::int32_t row) const = 0;
  virtual void SetIconKeys(std::int32_t row, std::string_view large, std::string_view small) = 0;

  // Ticks set by the program raise no item-check event.
  virtual bool Checked(std::int32_t row) const = 0;
  virtual void SetChecked(std::int32_t row, bool checked) = 0;

  virtual bool Selected(std::int32_t row) const = 0;
  virtual void SetSelected(std::int32_t row, bool selected) = 0;
  // The list's selected row (its focused selection), 0 when none.
  virtual std::int32_t SelectedRow() const = 0;
  virtual std::int32_t SelectedCount() const = 0;
  // The first selected row in display order, 0 when none.
  virtual std::int32_t FirstSelectedRow() const = 0;
  virtual void EnsureVisible(std::int32_t row) = 0;

  // The user ticked or unticked a row.
  virtual void SetOnItemCheck(std::function<void(std::int32_t row)> handler) = 0;
  // The user clicked a column header (numbered from 1).
  virtual void SetOnColumnClick(std::function<void(std::int32_t column)> handler) = 0;
};

// The file-open dialog. Its file name holds one full path, or for a multiple selection the
// folder and then the names, separated by NUL characters.
class FileDialog : public virtual Widget {
 public:
  virtual std::int32_t Flags() const = 0;
  virtual void SetFlags(std::int32_t flags) = 0;
  virtual std::int32_t MaxFileSize() const = 0;
  virtual void SetMaxFileSize(std::int32_t size) = 0;
  virtual const std::string& FileName() const = 0;
  virtual void SetFileName(std::string_view name) = 0;
  // Shows the dialog; a confirmed choice replaces the file name, a cancel leaves it as is.
  virtual void ShowOpen() = 0;
};

// A window (or the control's own surface) and the widgets in it.
class Form : public virtual Widget {
 public:
  // Frames, labels, buttons, option buttons, check boxes and rectangles.
  virtual Widget& AddWidget(WidgetKind kind, std::string name, Widget* container,
                            std::string_view caption, Bounds bounds) = 0;
  virtual ListView& AddListView(std::string name, Widget* container, Bounds bounds) = 0;
  virtual ProgressBar& AddProgressBar(std::string name, Widget* container, Bounds bounds) = 0;
  virtual PictureBox& AddPictureBox(std::string name, Widget* container, Bounds bounds) = 0;
  virtual ImageList& AddImageList(std::string name, std::int32_t imageSize) = 0;
  virtual FileDialog& AddFileDialog(std::string name) = 0;

  virtual Widget* Find(std::string_view name) const = 0;

  // Shows the form modally: the activation handler runs once the form is shown, and the
  // call returns when the form has closed.
  virtual void ShowModal() = 0;
  // Shows the form without waiting (the control's own surface).
  virtual void Show() = 0;
  // Closes the form: the close handler runs first, once, whoever closes it.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  virtual void SetOnActivate(std::function<void()> handler) = 0;
  virtual void SetOnClose(std::function<void()> handler) = 0;
};

enum class MessageIcon { kNone, kCritical, kInformation };

// What a form is to the window system, which decides its parent or owner.
enum class FormKind {
  // The control's own surface: a child window of the container's window once the container
  // activates the control.
  kSurface,
  // A window of its own, owned by the top-level window that holds owner (for the control's
  // surface: the browser's frame) and disabling it while shown modally. No owner: unowned.
  kModalDialog,
};

struct FormPlacement {
  FormKind kind = FormKind::kModalDialog;
  Form* owner = nullptr;

  bool operator==(const FormPlacement&) const = default;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // clientSize holds the width and height of the client area in twips.
  virtual std::unique_ptr<Form> CreateForm(std::string name, std::string_view caption,
                                           Bounds clientSize, FormPlacement placement) = 0;
  // A message box with an OK button only; no caption means the component's default title.
  virtual void ShowMessage(std::string_view text, MessageIcon icon,
                           std::optional<std::string_view> caption) = 0;
  // The folder browser: the chosen folder's path, or "" when the user cancelled.
  virtual std::string BrowseForFolder(std::string_view title) = 0;
};

}  // namespace veldrask
