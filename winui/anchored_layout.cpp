#include "winui/anchored_layout.h"

void AnchoredLayout::Remember(HWND dialog, std::span<const Anchor> anchors) {
  dialog_ = dialog;
  RECT client{}, window{};
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &window);
  client_ = {client.right, client.bottom};
  window_ = {window.right - window.left, window.bottom - window.top};
  placed_.clear();
  for (const Anchor& anchor : anchors) {
    HWND control = GetDlgItem(dialog, anchor.id);
    RECT place{};
    if (!control || !GetWindowRect(control, &place)) continue;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    placed_.push_back({anchor, place});
  }
}

void AnchoredLayout::Apply() const {
  if (!dialog_) return;
  RECT client{};
  GetClientRect(dialog_, &client);
  const LONG dx = client.right - client_.cx, dy = client.bottom - client_.cy;
  if (dx < 0 || dy < 0) return;  // minimised, or not yet at its least size
  HDWP moves = BeginDeferWindowPos(static_cast<int>(placed_.size()));
  for (const Placed& placed : placed_) {
    RECT place = placed.place;
    const Anchor& anchor = placed.anchor;
    if (anchor.moveX) OffsetRect(&place, dx, 0);
    if (anchor.moveY) OffsetRect(&place, 0, dy);
    if (anchor.right) place.right += dx;
    if (anchor.bottom) place.bottom += dy;
    if (moves)
      moves = DeferWindowPos(moves, GetDlgItem(dialog_, anchor.id), nullptr, place.left, place.top,
                             place.right - place.left, place.bottom - place.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) EndDeferWindowPos(moves);
  InvalidateRect(dialog_, nullptr, TRUE);
}

void AnchoredLayout::LimitSize(MINMAXINFO& limits) const {
  if (!dialog_) return;
  limits.ptMinTrackSize = {window_.cx, window_.cy};
}
