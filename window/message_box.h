#pragma once

#include <string>

// windows.h names MessageBoxA and MessageBoxW "MessageBox" through a macro,
// which would rename the class below, in the files that include both, to a
// class the rest of the program does not know. Windows code calls
// MessageBoxW by its own name.
#ifdef MessageBox
#undef MessageBox
#endif

// A modal message box, owned by the window that raises it.
enum class MessageIcon { kNone, kStop, kExclamation, kQuestion };
enum class MessageButtons {
  kOk,
  kOkCancelDefaultCancel,  // OK and Cancel, with Cancel as the default
};
enum class MessageAnswer { kOk, kCancel };

struct MessageRequest {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
};

// The caption of the program's own questions and warnings.
inline constexpr char kMessageCaption[] = "Dustral";

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  virtual MessageAnswer Show(const MessageRequest& request) = 0;
};
