#include "winui/options_window.h"

#include <optional>
#include <string>

#include "resources/options_dialog_template.h"
#include "session/options_form.h"
#include "winui/dialog_from_template.h"
#include "winui/dialog_item_text.h"
#include "winui/fit_to_text.h"
#include "winui/help_sections.h"

namespace {

using namespace options_dialog;

constexpr char kHelpSection[] = "options";

// The dialog's boxes and edit line, by the option each shows.
class DialogOptionControls : public OptionControls {
 public:
  explicit DialogOptionControls(HWND dialog) : dialog_(dialog) {}
  bool IsTicked(OptionControlId box) const override {
    return IsItemChecked(dialog_, static_cast<int>(box));
  }
  void SetTicked(OptionControlId box, bool ticked) override {
    SetItemChecked(dialog_, static_cast<int>(box), ticked);
  }
  std::string TextOf(OptionControlId edit) const override {
    return DialogItemText(dialog_, static_cast<int>(edit));
  }
  void SetText(OptionControlId edit, const std::string& text) override {
    SetDialogItemText(dialog_, static_cast<int>(edit), text);
  }

 private:
  HWND dialog_;
};

class OptionsWindow {
 public:
  OptionsWindow(CleanSettings& settings, Win32UiServices& ui, HelpOpener& help)
      : settings_(settings), ui_(ui), help_(help) {}

  bool Run(HWND owner) {
    const std::vector<std::uint32_t> built = BuildDialogTemplate(kTemplate, DialogFrame::kModal);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), AsDialogTemplate(built), owner, Proc,
                                   reinterpret_cast<LPARAM>(this)) == IDOK;
  }

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      auto* self = reinterpret_cast<OptionsWindow*>(lParam);
      self->dialog_ = dialog;
      FitControlsToText(dialog);
      MarkHelpSection(dialog, kHelpSection);
      DialogOptionControls controls(dialog);
      ShowOptions(self->settings_, controls);
      return TRUE;
    }
    auto* self = reinterpret_cast<OptionsWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_DESTROY) UnmarkHelpSection(dialog);
    if (message == WM_HELP) {
      self->help_.ShowSection(dialog, kHelpSection);
      return TRUE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    return self->OnCommand(LOWORD(wParam));
  }

  BOOL OnCommand(int id) {
    switch (id) {
      case IDOK: {
        const DialogOptionControls controls(dialog_);
        Win32OwnedMessageBox messages(ui_, dialog_);
        if (AcceptOptions(controls, settings_, messages)) EndDialog(dialog_, IDOK);
        return TRUE;
      }
      case IDCANCEL:
        EndDialog(dialog_, IDCANCEL);
        return TRUE;
      case kChooseButton:
        OnChooseProgram();
        return TRUE;
      case kHelpButton:
        help_.ShowSection(dialog_, kHelpSection);
        return TRUE;
      default:
        return FALSE;
    }
  }

  void OnChooseProgram() {
    const std::optional<std::string> chosen =
        ui_.ChooseFile(dialog_, ProgramChooserRequest(DialogItemText(dialog_, kProgramEdit)));
    if (!chosen || chosen->empty()) return;
    SetDialogItemText(dialog_, kProgramEdit, *chosen);
    SetItemChecked(dialog_, kAutoRunBox, true);
  }

  CleanSettings& settings_;
  Win32UiServices& ui_;
  HelpOpener& help_;
  HWND dialog_ = nullptr;
};

}  // namespace

bool RunOptionsDialog(HWND owner, CleanSettings& settings, Win32UiServices& ui, HelpOpener& help) {
  OptionsWindow window(settings, ui, help);
  return window.Run(owner);
}
