#pragma once

#include <QObject>

#include <functional>

// Turns F1, pressed in any window of the program without Shift, Ctrl or
// Alt, into the Help command. Installed on the application object.
class HelpKeyFilter : public QObject {
  Q_OBJECT

 public:
  explicit HelpKeyFilter(std::function<void()> onHelp, QObject* parent = nullptr)
      : QObject(parent), onHelp_(std::move(onHelp)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> onHelp_;
};
