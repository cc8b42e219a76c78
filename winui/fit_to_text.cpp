#include "winui/fit_to_text.h"

#include <algorithm>
#include <string>

namespace {

std::wstring ShownText(HWND control, bool prefixes) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
  if (prefixes) std::erase(text, L'&');
  return text;
}

SIZE TextSize(HWND control, const std::wstring& text) {
  SIZE size = {0, 0};
  HDC dc = GetDC(control);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return size;
}

RECT PlaceIn(HWND dialog, HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

void Grow(HWND dialog, HWND control, int width, int height) {
  const RECT place = PlaceIn(dialog, control);
  const int oldHeight = place.bottom - place.top;
  width = std::max<int>(width, place.right - place.left);
  height = std::max(height, oldHeight);
  const int top = place.top - (height - oldHeight) / 2;
  SetWindowPos(control, nullptr, place.left, top, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

BOOL CALLBACK FitOne(HWND control, LPARAM dialogParameter) {
  const HWND dialog = reinterpret_cast<HWND>(dialogParameter);
  if (GetParent(control) != dialog) return TRUE;
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
  if (_wcsicmp(name, L"Button") == 0) {
    const DWORD kind = style & BS_TYPEMASK;
    if (kind == BS_GROUPBOX) {
      SetWindowLongPtrW(control, GWL_STYLE, style | WS_CLIPSIBLINGS);
      return TRUE;
    }
    if (kind != BS_AUTOCHECKBOX && kind != BS_CHECKBOX && kind != BS_AUTORADIOBUTTON &&
        kind != BS_RADIOBUTTON)
      return TRUE;
    const SIZE text = TextSize(control, ShownText(control, true));
    // The mark, the gap after it and room for the focus frame.
    const int mark = GetSystemMetrics(SM_CXMENUCHECK);
    Grow(dialog, control, mark + mark / 2 + text.cx + 4, std::max<int>(text.cy, mark) + 2);
    return TRUE;
  }
  if (_wcsicmp(name, L"Static") == 0) {
    const DWORD kind = style & SS_TYPEMASK;
    if (kind != SS_LEFT && kind != SS_LEFTNOWORDWRAP) return TRUE;
    const std::wstring shown = ShownText(control, !(style & SS_NOPREFIX));
    if (shown.find(L'\n') != std::wstring::npos) return TRUE;
    const SIZE text = TextSize(control, shown);
    // A label the template made for one line, not a paragraph.
    const RECT place = PlaceIn(dialog, control);
    if (place.bottom - place.top < 2 * text.cy) Grow(dialog, control, text.cx + 1, text.cy);
  }
  return TRUE;
}

}  // namespace

void FitControlsToText(HWND dialog) {
  EnumChildWindows(dialog, FitOne, reinterpret_cast<LPARAM>(dialog));
}
