#pragma once

#include <string>

#include "resources/dialog_template.h"
#include "window/control_ids.h"

// Template 102: the main window. Controls in tab order; positions in dialog
// units. No button is the default button, so Enter is the window's own
// (it cleans unless a push button or an in-place edit has the focus).
namespace main_window_template {

using namespace control_style;

inline constexpr int kCleanButton = 1;
inline constexpr int kExitButton = 2;
inline constexpr int kRecentBox = static_cast<int>(ControlId::kRecentBox);
inline constexpr int kNetscapeBox = static_cast<int>(ControlId::kNetscapeBox);
inline constexpr int kIECacheBox = static_cast<int>(ControlId::kIECacheBox);
inline constexpr int kIEHistoryBox = static_cast<int>(ControlId::kIEHistoryBox);
inline constexpr int kTempBox = static_cast<int>(ControlId::kTempBox);
inline constexpr int kEntryList = 1006;
inline constexpr int kAddButton = 1007;
inline constexpr int kCopyButton = 1012;
inline constexpr int kEditButton = 1020;
inline constexpr int kDeleteButton = 1022;
inline constexpr int kStatusLine = 1024;
inline constexpr int kRecycleBinBox = static_cast<int>(ControlId::kRecycleBinBox);

inline constexpr DialogControl kControls[] = {
    {kRecentBox, ControlKind::kCheckBox, "Remove &Recent Documents", 17, 19, 100, 9, kTabStop},
    {kTempBox, ControlKind::kCheckBox, "Remove &Temp Files", 17, 30, 119, 11, kTabStop},
    {kRecycleBinBox, ControlKind::kCheckBox, "Empty &Waste Basket", 17, 43, 91, 8, kTabStop},
    {kNetscapeBox, ControlKind::kCheckBox, "Remove &Netscape Cached Data", 17, 74, 117, 9,
     kTabStop},
    {kIECacheBox, ControlKind::kCheckBox, "Remove &MS Browser Cached Data", 17, 87, 117, 9,
     kTabStop},
    {kIEHistoryBox, ControlKind::kCheckBox, "Remove MS Browser &History Data", 17, 100, 115, 9,
     kTabStop},
    {kAddButton, ControlKind::kPushButton, "&Add entry...", 262, 123, 50, 15, kTabStop},
    {kCopyButton, ControlKind::kPushButton, "&Copy Entry", 262, 141, 50, 15, kTabStop},
    {kEditButton, ControlKind::kPushButton, "&Edit", 262, 158, 50, 15, kTabStop},
    {kDeleteButton, ControlKind::kPushButton, "&Delete", 262, 176, 50, 15, kTabStop},
    {kCleanButton, ControlKind::kPushButton, "C&lean", 262, 7, 50, 14, kTabStop},
    {kExitButton, ControlKind::kPushButton, "E&xit", 262, 23, 50, 14, kTabStop},
    {kEntryList, ControlKind::kPlaceholder, "", 19, 131, 227, 104, kTabStop},
    {kUnnamedControl, ControlKind::kGroupBox, "Windows 95", 11, 6, 243, 53, kNone},
    {kUnnamedControl, ControlKind::kGroupBox, "Internet Browsers", 11, 64, 243, 50, kNone},
    {kUnnamedControl, ControlKind::kGroupBox, "Miscellaneous Files", 11, 118, 243, 123, kNone},
    {kStatusLine, ControlKind::kEdit, "", 3, 255, 309, 11, kReadOnly},
};

inline constexpr DialogTemplate kTemplate{"Dustral 95", 316, 270, kControls};

// The caption of a category's box as the window shows it, without its
// access key ("Remove Temp Files"): how a plan's category group is named.
inline std::string CategoryCaption(ControlId box) {
  for (const DialogControl& control : kControls) {
    if (control.id != static_cast<int>(box)) continue;
    std::string caption;
    for (const char* c = control.text; *c; ++c)
      if (*c != '&') caption += *c;
    return caption;
  }
  return {};
}

}  // namespace main_window_template
