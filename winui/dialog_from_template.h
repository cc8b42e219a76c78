#pragma once

#include "winui/windows_api.h"

#include <cstdint>
#include <span>
#include <vector>

#include "resources/dialog_template.h"

// A control that a template leaves to the dialog's code (a placeholder): the
// window class and style it is made with.
struct ProvidedControl {
  int id;
  const wchar_t* windowClass;
  DWORD style;  // beyond WS_CHILD | WS_VISIBLE and the template's own bits
};

// The resource number of the program's icon, which an icon control of a
// template shows.
inline constexpr WORD kProgramIconResource = 1;

// What kind of window a template becomes.
enum class DialogFrame {
  kModal,       // a dialog box over its owner
  kMainWindow,  // a top-level window with a taskbar button and a minimise box
};

// Builds `dialog` as an in-memory extended dialog template (DLGTEMPLATEEX)
// in the dialog font "MS Shell Dlg" at 8 points, with every position and
// size in dialog units as the template gives them. A placeholder becomes
// the matching `provided` control; one without a match is left out.
std::vector<std::uint32_t> BuildDialogTemplate(const DialogTemplate& dialog, DialogFrame frame,
                                               std::span<const ProvidedControl> provided = {});

// The built template as the dialog functions take it.
inline const DLGTEMPLATE* AsDialogTemplate(const std::vector<std::uint32_t>& built) {
  return reinterpret_cast<const DLGTEMPLATE*>(built.data());
}
