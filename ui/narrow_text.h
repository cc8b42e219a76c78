#pragma once

#include <string>

#include <QString>

// The engine's strings are narrow: bytes in the system's encoding, which is
// UTF-8 here. A file name need not be valid UTF-8, though, and such a name
// does not survive a trip through a QString. A NarrowTextMemory remembers
// the bytes behind a text it gave to a widget, and gives them back unchanged
// as long as the widget still shows that same text.
class NarrowTextMemory {
 public:
  // The text to show for `bytes`.
  QString Remember(const std::string& bytes);
  // The bytes of the text a widget shows now.
  std::string Recall(const QString& shown) const;

 private:
  std::string bytes_;
  QString shown_;
};

QString ToDisplayText(const std::string& bytes);
std::string ToNarrowText(const QString& text);
