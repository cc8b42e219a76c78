#pragma once

#include <span>

// A dialog described as data: its caption, its size and its controls, with
// every position in dialog units (a quarter of the dialog font's average
// character width across, an eighth of its height down). The user-interface
// code turns a template into a window; the tables themselves know no toolkit.

enum class ControlKind {
  kPushButton,
  kCheckBox,
  kRadioButton,
  kEdit,      // single-line edit with a border
  kComboBox,  // drop-down combo box with an editable edit part
  kGroupBox,
  kStatic,       // left-aligned static text
  kIcon,         // the program's icon; width and height are ignored
  kPlaceholder,  // an area for a widget that the dialog's code provides
};

// Style bits of a control.
namespace control_style {
inline constexpr unsigned kNone = 0;
inline constexpr unsigned kTabStop = 1u << 0;        // reached with Tab
inline constexpr unsigned kDefaultButton = 1u << 1;  // pressed by Enter
// Starts a new group: radio buttons between one group start and the next
// exclude each other.
inline constexpr unsigned kGroup = 1u << 2;
inline constexpr unsigned kReadOnly = 1u << 3;  // edits only
inline constexpr unsigned kNoPrefix = 1u << 4;  // static text: '&' is shown as is
}  // namespace control_style

// Identifier of controls that the code never addresses.
inline constexpr int kUnnamedControl = -1;

struct DialogControl {
  int id;
  ControlKind kind;
  const char* text;
  int x;
  int y;
  int width;
  int height;  // for a combo box: the height with its list dropped down
  unsigned styles;
};

struct DialogTemplate {
  const char* caption;
  int width;
  int height;
  std::span<const DialogControl> controls;  // in tab order
};

// The identifiers that end a dialog, as every dialog numbers them.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
