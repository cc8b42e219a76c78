#pragma once

#include "resources/dialog_template.h"

// Template 100: the About box.
namespace about_template {

using namespace control_style;

inline constexpr DialogControl kControls[] = {
    {kUnnamedControl, ControlKind::kIcon, "", 11, 17, 20, 20, kNone},
    {kUnnamedControl, ControlKind::kStatic, "Dustral Version 1.0b1", 40, 10, 119, 8, kNoPrefix},
    {kUnnamedControl, ControlKind::kStatic, "A cleaner for junk files.", 40, 25, 119, 8, kNone},
    {1, ControlKind::kPushButton, "OK", 178, 7, 32, 14, kTabStop | kDefaultButton},
};

inline constexpr DialogTemplate kTemplate{"About Dustral", 217, 55, kControls};

}  // namespace about_template
