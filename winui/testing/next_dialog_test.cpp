#include "winui/testing/next_dialog.h"

#include <gtest/gtest.h>

namespace {

// The driver itself: it finds a message box opened over a window, reads it
// and answers it from inside the box's own loop.
TEST(NextDialog, AnswersAMessageBoxFromInsideItsLoop) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  std::string shown;
  OnNextDialog([&](HWND box) {
    shown = TextOf(box);
    ClickButton(box, IDCANCEL);
  });
  EXPECT_EQ(MessageBoxW(owner, L"Question?", L"Caption", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(shown, "Caption");
  EXPECT_EQ(PendingDialogActions(), 0);
  DestroyWindow(owner);
}

}  // namespace
