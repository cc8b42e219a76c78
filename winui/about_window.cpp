#include "winui/about_window.h"

#include "resources/about_template.h"
#include "winui/dialog_from_template.h"
#include "winui/fit_to_text.h"
#include "winui/help_sections.h"

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    FitControlsToText(dialog);
    MarkHelpSection(dialog, "about");
    return TRUE;
  }
  if (message == WM_DESTROY) UnmarkHelpSection(dialog);
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunAboutBox(HWND owner) {
  const std::vector<std::uint32_t> built =
      BuildDialogTemplate(about_template::kTemplate, DialogFrame::kModal);
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), AsDialogTemplate(built), owner, AboutProc, 0);
}
