#include "winui/anchored_layout.h"

#include <algorithm>

RECT AnchoredLayout::InPixels(HWND dialog, int x, int y, int width, int height) const {
  RECT place{x, y, x + width, y + height};
  MapDialogRect(dialog, &place);
  return place;
}

void AnchoredLayout::Apply(HWND dialog) const {
  const RECT laidOut = InPixels(dialog, 0, 0, template_.width, template_.height);
  RECT client{};
  GetClientRect(dialog, &client);
  if (client.right == 0 && client.bottom == 0) return;  // minimised
  const LONG dx = std::max<LONG>(0, client.right - laidOut.right);
  const LONG dy = std::max<LONG>(0, client.bottom - laidOut.bottom);
  HDWP moves = BeginDeferWindowPos(static_cast<int>(anchors_.size()));
  for (const Anchor& anchor : anchors_) {
    const auto control =
        std::find_if(template_.controls.begin(), template_.controls.end(),
                     [&anchor](const DialogControl& c) { return c.id == anchor.id; });
    HWND window = GetDlgItem(dialog, anchor.id);
    if (control == template_.controls.end() || !window || !moves) continue;
    RECT place = InPixels(dialog, control->x, control->y, control->width, control->height);
    if (anchor.moveX) OffsetRect(&place, dx, 0);
    if (anchor.moveY) OffsetRect(&place, 0, dy);
    if (anchor.right) place.right += dx;
    if (anchor.bottom) place.bottom += dy;
    moves = DeferWindowPos(moves, window, nullptr, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) EndDeferWindowPos(moves);
  InvalidateRect(dialog, nullptr, TRUE);
}

void AnchoredLayout::LimitSize(HWND dialog, MINMAXINFO& limits) const {
  const RECT least = InPixels(dialog, 0, 0, template_.width, template_.height);
  // The frame as it is drawn, which a computed one may miss by a pixel.
  RECT window{}, client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  limits.ptMinTrackSize = {least.right + (window.right - window.left) - client.right,
                           least.bottom + (window.bottom - window.top) - client.bottom};
}
