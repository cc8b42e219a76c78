#pragma once

#include <windows.h>

#include <span>
#include <vector>

// How a control follows its window's size: which of its edges keep their
// distance to the window's right and bottom edges instead of the left and
// top ones.
struct Anchor {
  int id;
  bool right;   // its right edge follows the window's (wider with it)
  bool bottom;  // its bottom edge follows the window's (taller with it)
  bool moveX;   // it moves with the right edge, keeping its width
  bool moveY;   // it moves with the bottom edge, keeping its height
};

// Lays a dialog's controls out again when it is resized, by their anchors,
// from the places the template gave them; never smaller than it opened.
class AnchoredLayout {
 public:
  // Takes the controls' places as they are now.
  void Remember(HWND dialog, std::span<const Anchor> anchors);
  // For WM_SIZE.
  void Apply() const;
  // For WM_GETMINMAXINFO: the window's size when it was remembered.
  void LimitSize(MINMAXINFO& limits) const;

 private:
  struct Placed {
    Anchor anchor;
    RECT place;  // in the dialog's client coordinates
  };
  HWND dialog_ = nullptr;
  SIZE client_{};
  SIZE window_{};
  std::vector<Placed> placed_;
};
