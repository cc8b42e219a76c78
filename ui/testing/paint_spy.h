#pragma once

#include <QEvent>
#include <QObject>

#include <functional>
#include <utility>

// Calls back each time the widget it watches is painted, so that a test can
// see what was on screen at that moment (the status line during a run).
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(std::function<void()> onPaint) : onPaint_(std::move(onPaint)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) onPaint_();
    return false;
  }

 private:
  std::function<void()> onPaint_;
};
