#pragma once

#include <string>

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
