#pragma once

#include <string>

#include "settings/clean_settings.h"
#include "window/file_chooser_request.h"
#include "window/message_box.h"
#include "window/option_control_ids.h"

// The options dialog's controls, whatever toolkit draws them, by the
// number of the option each shows: a check box per flag and the edit line
// of the program to run.
class OptionControls {
 public:
  virtual ~OptionControls() = default;
  virtual bool IsTicked(OptionControlId box) const = 0;
  virtual void SetTicked(OptionControlId box, bool ticked) = 0;
  virtual std::string TextOf(OptionControlId edit) const = 0;
  virtual void SetText(OptionControlId edit, const std::string& text) = 0;
};

// Shows `settings` in the controls. A flag is ticked when it is non-zero,
// whatever number a hand-edited registry holds.
void ShowOptions(const CleanSettings& settings, OptionControls& controls);

// OK: reads every control and, when auto-clean and quit after cleaning are
// both on, asks first whether to lock the user out of the window. True when
// the dialog may close; only then does `settings` take the new values, so
// that a declined question followed by Cancel leaves the record as the
// dialog found it (storing the refused lock-out would be the one thing the
// user said no to).
bool AcceptOptions(const OptionControls& controls, CleanSettings& settings, MessageBox& messages);

// The chooser of "&Choose...". A confirmed choice fills the program edit
// and ticks auto-run; the record waits for OK.
FileChooserRequest ProgramChooserRequest(std::string typedPath);
