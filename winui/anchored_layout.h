#pragma once

#include <windows.h>

#include <span>

#include "resources/dialog_template.h"

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

// Lays a resizable dialog's controls out by their anchors from the places
// its template gives them, in dialog units converted at the dialog's font
// as it is now, so that the layout holds after the window moves to a
// screen of another DPI. The template's size is the least the window takes.
class AnchoredLayout {
 public:
  AnchoredLayout(const DialogTemplate& dialog, std::span<const Anchor> anchors)
      : template_(dialog), anchors_(anchors) {}

  // For WM_SIZE.
  void Apply(HWND dialog) const;
  // For WM_GETMINMAXINFO.
  void LimitSize(HWND dialog, MINMAXINFO& limits) const;

 private:
  RECT InPixels(HWND dialog, int x, int y, int width, int height) const;

  const DialogTemplate& template_;
  std::span<const Anchor> anchors_;
};
