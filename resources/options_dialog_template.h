#pragma once

#include "resources/dialog_template.h"
#include "window/option_control_ids.h"

// Template 133: the options dialog.
namespace options_dialog {

inline constexpr int kAutoRunBox = static_cast<int>(OptionControlId::kAutoRunBox);
inline constexpr int kHelpButton = 1007;
inline constexpr int kChooseButton = 1012;
inline constexpr int kProgramEdit = static_cast<int>(OptionControlId::kProgramEdit);
inline constexpr int kQuitAfterCleaningBox =
    static_cast<int>(OptionControlId::kQuitAfterCleaningBox);
inline constexpr int kSaveSettingsBox = static_cast<int>(OptionControlId::kSaveSettingsBox);
inline constexpr int kSystemFilesBox = static_cast<int>(OptionControlId::kSystemFilesBox);
inline constexpr int kReadOnlyFilesBox = static_cast<int>(OptionControlId::kReadOnlyFilesBox);
inline constexpr int kHiddenFilesBox = static_cast<int>(OptionControlId::kHiddenFilesBox);
inline constexpr int kAutoCleanBox = static_cast<int>(OptionControlId::kAutoCleanBox);

namespace style = control_style;

inline constexpr DialogControl kControls[] = {
    {kAutoRunBox, ControlKind::kCheckBox, "&Auto-run application after cleaning", 23, 21, 112, 8,
     style::kTabStop | style::kGroup},
    {kProgramEdit, ControlKind::kEdit, "", 52, 34, 103, 14, style::kTabStop},
    {kChooseButton, ControlKind::kPushButton, "&Choose...", 160, 33, 44, 14, style::kTabStop},
    {kSystemFilesBox, ControlKind::kCheckBox, "Delete &system files", 23, 70, 92, 10,
     style::kTabStop},
    {kReadOnlyFilesBox, ControlKind::kCheckBox, "Delete &read-only files", 23, 80, 94, 11,
     style::kTabStop},
    {kHiddenFilesBox, ControlKind::kCheckBox, "Delete &hidden files", 23, 91, 97, 11,
     style::kTabStop},
    {kAutoCleanBox, ControlKind::kCheckBox, "Auto- c&lean on startup", 23, 124, 91, 8,
     style::kTabStop},
    {kQuitAfterCleaningBox, ControlKind::kCheckBox, "&Quit after cleaning", 23, 134, 89, 9,
     style::kTabStop},
    {kSaveSettingsBox, ControlKind::kCheckBox, "Save se&ttings on exit", 23, 145, 87, 9,
     style::kTabStop},
    {kIdOk, ControlKind::kPushButton, "OK", 61, 166, 50, 14,
     style::kTabStop | style::kDefaultButton},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 115, 166, 50, 14, style::kTabStop},
    {kHelpButton, ControlKind::kPushButton, "&Help", 169, 166, 50, 14, style::kTabStop},
    {kUnnamedControl, ControlKind::kGroupBox, "Auto-run", 14, 10, 196, 43, style::kNone},
    {kUnnamedControl, ControlKind::kStatic, "Program:", 20, 37, 27, 9, style::kNone},
    {kUnnamedControl, ControlKind::kGroupBox, "File attributes", 14, 58, 196, 47, style::kNone},
    {kUnnamedControl, ControlKind::kGroupBox, "Startup/exit", 14, 111, 196, 47, style::kNone},
};

inline constexpr DialogTemplate kTemplate{"Dustral Options", 226, 187, kControls};

}  // namespace options_dialog
