#include "winui/system_ui_services.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/wide_text.h"
// After windows.h.
#include <commctrl.h>
#include "testing/scoped_test_home.h"
#include "winui/testing/dialog_rig.h"
#include "winui/testing/next_dialog.h"

namespace {

TEST(SystemUiServices, MessageStylesCarryTheIconButtonsAndDefault) {
  struct Case {
    MessageIcon icon;
    MessageButtons buttons;
    UINT style;
  };
  const Case cases[] = {
      {MessageIcon::kStop, MessageButtons::kOk, MB_ICONSTOP | MB_OK},
      {MessageIcon::kExclamation, MessageButtons::kOk, MB_ICONEXCLAMATION | MB_OK},
      {MessageIcon::kQuestion, MessageButtons::kOkCancelDefaultCancel,
       MB_ICONQUESTION | MB_OKCANCEL | MB_DEFBUTTON2},
      {MessageIcon::kNone, MessageButtons::kOk, MB_OK},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MessageBoxStyleOf({"text", "caption", c.icon, c.buttons}), c.style);
}

TEST(SystemUiServices, AQuestionShowsItsTextsWithCancelAsTheDefault) {
  TestOwnerWindow owner;
  SystemUiServices services;
  std::string caption;
  LRESULT defaultButton = 0;
  OnNextDialog([&](HWND box) {
    caption = TextOf(box);
    for (int id : {IDOK, IDCANCEL})
      if ((GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        defaultButton = id;
    ClickButton(box, IDOK);
  });
  const MessageAnswer answer = services.ShowMessage(
      owner.Handle(),
      {"Continue?", "Dustral", MessageIcon::kQuestion, MessageButtons::kOkCancelDefaultCancel});
  EXPECT_EQ(answer, MessageAnswer::kOk);
  EXPECT_EQ(caption, "Dustral");
  EXPECT_EQ(defaultButton, IDCANCEL);

  OnNextDialog([](HWND box) { ClickButton(box, IDCANCEL); });
  EXPECT_EQ(services.ShowMessage(owner.Handle(), {"Continue?", "Dustral", MessageIcon::kQuestion,
                                                  MessageButtons::kOkCancelDefaultCancel}),
            MessageAnswer::kCancel);
}

TEST(SystemUiServices, FiltersListEachDisplayTextAndPatternAsTheChooserTakesThem) {
  const FileChooserRequest request{"t", {{"Executables (*.exe) ", "*.exe"}, {" All ", "*.*"}}};
  EXPECT_EQ(FilterListOf(request),
            std::wstring(L"Executables (*.exe) \0*.exe\0 All \0*.*\0\0", 38));
}

TEST(SystemUiServices, ChoosersStartInTheTypedFolderOrTheTypedFilesFolder) {
  ScopedTestHome home;
  const std::filesystem::path folder = home.Root() / "caches";
  std::filesystem::create_directories(folder);
  const std::string typedFolder = NarrowFromWide(folder.native());
  EXPECT_EQ(StartingFolderOf(typedFolder), folder.native());
  EXPECT_EQ(StartingFolderOf(typedFolder + "\\not yet.tmp"), folder.native());
  EXPECT_EQ(StartingFolderOf(typedFolder + "\\gone\\x.tmp"), L"");
  EXPECT_EQ(StartingFolderOf(""), L"");
}

TEST(SystemUiServices, TheFileChooserReturnsTheNameTypedIntoIt) {
  ScopedTestHome home;
  // As the chooser writes paths: with backslashes only.
  const std::filesystem::path file = (home.Root() / "old.lnk").make_preferred();
  WriteTestFile(file);
  TestOwnerWindow owner;
  SystemUiServices services;
  std::string title;
  OnNextDialog([&](HWND chooser) {
    title = TextOf(chooser);
    // The edit of the chooser's name box (cmb13), then Open.
    HWND nameBox = GetDlgItem(chooser, 0x047C);
    HWND nameEdit = reinterpret_cast<HWND>(SendMessageW(nameBox, CBEM_GETEDITCONTROL, 0, 0));
    SetWindowTextW(nameEdit ? nameEdit : nameBox, file.c_str());
    // Its file list shares the Open button's number, so the command goes
    // to the chooser itself.
    SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  const std::optional<std::string> chosen = services.ChooseFile(
      owner.Handle(), {"Select file to delete", {{"All Files (*.*) ", "*.*"}}, ""});
  EXPECT_EQ(title, "Select file to delete");
  EXPECT_EQ(chosen, NarrowFromWide(file.native()));
  EXPECT_EQ(PendingDialogActions(), 0);
}

TEST(SystemUiServices, TheFolderChooserOpensAtTheTypedFolder) {
  ScopedTestHome home;
  const std::filesystem::path folder = (home.Root() / "start here").make_preferred();
  std::filesystem::create_directories(folder);
  TestOwnerWindow owner;
  SystemUiServices services;
  OnNextDialog([](HWND chooser) { ClickButton(chooser, IDOK); });
  const std::optional<std::string> chosen = services.ChooseDirectory(
      owner.Handle(), "Choose directory to clean from...", NarrowFromWide(folder.native()));
  EXPECT_EQ(chosen, NarrowFromWide(folder.native()));
  EXPECT_EQ(PendingDialogActions(), 0);
}

}  // namespace
