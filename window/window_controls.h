#pragma once

#include <string>

#include "window/control_ids.h"

// The few things of a window that the engine and the settings code use.
// The Qt window implements them with widgets; tests implement them in memory.

class CheckBoxes {
 public:
  virtual ~CheckBoxes() = default;
  // 0 unchecked, 1 checked.
  virtual int GetCheck(ControlId box) const = 0;
  virtual void SetCheck(ControlId box, int state) = 0;
  virtual void Enable(ControlId box, bool enabled) = 0;
};

class StatusLine {
 public:
  virtual ~StatusLine() = default;
  // Sets the text; it is not necessarily drawn yet.
  virtual void SetText(const std::string& text) = 0;
  // Draws the status line now, before the caller goes on with a long step.
  virtual void Repaint() = 0;
};

class WaitCursor {
 public:
  virtual ~WaitCursor() = default;
  virtual void Begin() = 0;
  virtual void End() = 0;
};

// Holds the wait cursor for one scope, also when the scope is left by an
// exception.
class ScopedWaitCursor {
 public:
  explicit ScopedWaitCursor(WaitCursor& cursor) : cursor_(cursor) { cursor_.Begin(); }
  ~ScopedWaitCursor() { cursor_.End(); }
  ScopedWaitCursor(const ScopedWaitCursor&) = delete;
  ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;

 private:
  WaitCursor& cursor_;
};
