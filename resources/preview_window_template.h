#pragma once

#include "resources/dialog_template.h"

// The preview of a clean: the files it would delete, grouped, with their
// totals; Clean deletes exactly those, Close deletes nothing.
namespace preview_window_template {

using namespace control_style;

inline constexpr int kIntro = 1001;
inline constexpr int kFilter = 1002;
inline constexpr int kFilterNote = 1003;
inline constexpr int kFiles = 1004;  // the list view, made by the window
inline constexpr int kSummary = 1005;
inline constexpr int kFailures = 1006;  // a list box, made by the window
inline constexpr int kClean = 1007;
inline constexpr int kClose = kIdCancel;

inline constexpr DialogControl kControls[] = {
    {kIntro, ControlKind::kStatic, "", 7, 7, 426, 24, kNoPrefix},
    {kUnnamedControl, ControlKind::kStatic, "F&ilter:", 7, 36, 24, 8, kNone},
    {kFilter, ControlKind::kEdit, "", 33, 34, 400, 12, kTabStop},
    {kFilterNote, ControlKind::kStatic, "", 7, 50, 426, 16, kNoPrefix},
    {kFiles, ControlKind::kPlaceholder, "", 7, 68, 426, 150, kTabStop},
    {kSummary, ControlKind::kStatic, "", 7, 222, 426, 26, kNoPrefix},
    {kFailures, ControlKind::kPlaceholder, "", 7, 250, 426, 26, kTabStop},
    {kClean, ControlKind::kPushButton, "&Clean", 327, 281, 50, 14, kTabStop},
    {kClose, ControlKind::kPushButton, "Close", 383, 281, 50, 14, kTabStop | kDefaultButton},
};

inline constexpr DialogTemplate kTemplate{"Dustral Preview", 440, 302, kControls};

}  // namespace preview_window_template
