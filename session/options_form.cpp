#include "session/options_form.h"

#include <utility>

#include "settings/options.h"

void ShowOptions(const CleanSettings& settings, OptionControls& controls) {
  for (const Option& option : kOptions) {
    if (option.flag)
      controls.SetTicked(option.control, settings.*option.flag != 0);
    else
      controls.SetText(option.control, settings.*option.text);
  }
}

bool AcceptOptions(const OptionControls& controls, CleanSettings& settings, MessageBox& messages) {
  CleanSettings chosen = settings;
  for (const Option& option : kOptions) {
    if (option.flag)
      chosen.*option.flag = controls.IsTicked(option.control) ? 1 : 0;
    else
      chosen.*option.text = controls.TextOf(option.control);
  }
  if (chosen.m_bAutoClean == 1 && chosen.m_bQuitAfterCleaning == 1) {
    const MessageRequest question{
        "Warning: Auto-clean and auto-quit means that you won't be able to change options "
        "again! Continue?",
        kMessageCaption, MessageIcon::kQuestion, MessageButtons::kOkCancelDefaultCancel};
    if (messages.Show(question) != MessageAnswer::kOk) return false;
  }
  settings = std::move(chosen);
  return true;
}

FileChooserRequest ProgramChooserRequest(std::string typedPath) {
  return {"Select executable to run",
          {{"Executables (*.exe) ", "*.exe"}, {" All Files (*.*) ", "*.*"}},
          std::move(typedPath)};
}
