#pragma once

#include "resources/dialog_template.h"

// Template 130: the editor of one custom entry.
namespace entry_dialog {

inline constexpr int kRecurseBox = 1000;
inline constexpr int kBrowseFileButton = 1007;
inline constexpr int kFileEdit = 1008;
inline constexpr int kPathEdit = 1010;
inline constexpr int kBrowseDirButton = 1012;
inline constexpr int kWildcardBox = 1015;
inline constexpr int kIndividualRadio = 1017;
inline constexpr int kWildcardRadio = 1018;
inline constexpr int kClearButton = 1021;

namespace style = control_style;

inline constexpr DialogControl kControls[] = {
    {kIndividualRadio, ControlKind::kRadioButton, "Individual File", 15, 13, 52, 7, style::kGroup},
    {kFileEdit, ControlKind::kEdit, "", 33, 23, 128, 12, style::kTabStop},
    {kBrowseFileButton, ControlKind::kPushButton, "&Browse...", 167, 22, 40, 13, style::kTabStop},
    {kWildcardRadio, ControlKind::kRadioButton, "Wildcard Files", 15, 47, 53, 6, style::kNone},
    {kPathEdit, ControlKind::kEdit, "", 33, 59, 128, 12, style::kTabStop},
    {kBrowseDirButton, ControlKind::kPushButton, "B&rowse...", 167, 58, 40, 13, style::kTabStop},
    {kWildcardBox, ControlKind::kComboBox, "", 33, 75, 54, 54, style::kTabStop},
    {kRecurseBox, ControlKind::kCheckBox, "Recurse through sub-&directories", 34, 93, 123, 9,
     style::kTabStop | style::kGroup},
    {kIdOk, ControlKind::kPushButton, "OK", 222, 7, 50, 14,
     style::kTabStop | style::kDefaultButton},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 222, 26, 50, 14, style::kTabStop},
    {kClearButton, ControlKind::kPushButton, "C&lear", 222, 45, 50, 14, style::kTabStop},
    {kUnnamedControl, ControlKind::kGroupBox, "", 7, 12, 206, 29, style::kNone},
    {kUnnamedControl, ControlKind::kGroupBox, "", 7, 45, 206, 62, style::kNone},
    {kUnnamedControl, ControlKind::kStatic, "File: ", 14, 25, 20, 8, style::kNone},
    {kUnnamedControl, ControlKind::kStatic, "Path:", 14, 61, 20, 8, style::kNone},
    {kUnnamedControl, ControlKind::kStatic, "Wildcard", 91, 78, 32, 8, style::kNone},
};

inline constexpr DialogTemplate kTemplate{"Add Entry", 279, 114, kControls};

}  // namespace entry_dialog
