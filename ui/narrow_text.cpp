#include "ui/narrow_text.h"

#include <QByteArray>

QString ToDisplayText(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToNarrowText(const QString& text) { return text.toStdString(); }

QString NarrowTextMemory::Remember(const std::string& bytes) {
  bytes_ = bytes;
  shown_ = ToDisplayText(bytes);
  return shown_;
}

std::string NarrowTextMemory::Recall(const QString& shown) const {
  return shown == shown_ ? bytes_ : ToNarrowText(shown);
}
