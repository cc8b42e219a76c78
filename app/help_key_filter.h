#pragma once

#include <QObject>
#include <QWidget>

#include <functional>

// Turns F1, pressed in any window of the program without Shift, Ctrl or
// Alt, into the Help command for the window it was pressed in. Installed on
// the application object.
class HelpKeyFilter : public QObject {
  Q_OBJECT

 public:
  explicit HelpKeyFilter(std::function<void(QWidget* window)> onHelp, QObject* parent = nullptr)
      : QObject(parent), onHelp_(std::move(onHelp)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(QWidget* window)> onHelp_;
};
