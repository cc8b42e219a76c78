#include "winui/help_opener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "testing/scoped_test_home.h"
#include "winui/testing/dialog_rig.h"

namespace {

TEST(FileUrl, NamesTheDocumentAndItsSectionInOneAddress) {
  struct Case {
    const wchar_t* file;
    const char* section;
    const char* url;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\Dustral\\dustral.html", "editor",
       "file:///C:/Program%20Files/Dustral/dustral.html#editor"},
      {L"\\\\server\\share\\help.html", "", "file://server/share/help.html"},
      {L"C:\\\u00DCber\\a#b%c.html", "contents", "file:///C:/%C3%9Cber/a%23b%25c.html#contents"},
  };
  for (const Case& c : cases) EXPECT_EQ(NarrowFromWide(FileUrlOf(c.file, c.section)), c.url);
}

class BrowserHelpOpenerTest : public ::testing::Test {
 protected:
  BrowserHelpOpener Opener(const std::filesystem::path& file, bool browserStarts = true) {
    return BrowserHelpOpener(file, "DUSTRAL", ui, [this, browserStarts](HWND owner, auto& url) {
      opened.push_back({owner, NarrowFromWide(url)});
      return browserStarts;
    });
  }

  ScopedTestHome home;
  TestOwnerWindow owner;
  ScriptedUiServices ui;
  std::vector<std::pair<HWND, std::string>> opened;
};

TEST_F(BrowserHelpOpenerTest, OpensTheDocumentAtTheAskedSection) {
  const std::filesystem::path help = home.Root() / "dustral.html";
  WriteTestFile(help, "<html></html>");
  BrowserHelpOpener opener = Opener(help);
  opener.ShowContents(owner.Handle());
  opener.ShowSection(owner.Handle(), "options");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].first, owner.Handle());
  EXPECT_EQ(opened[0].second, NarrowFromWide(FileUrlOf(help, "")));
  EXPECT_TRUE(opened[0].second.ends_with("/dustral.html")) << opened[0].second;
  EXPECT_TRUE(opened[1].second.ends_with("/dustral.html#options")) << opened[1].second;
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BrowserHelpOpenerTest, AMissingDocumentOrNoBrowserSaysHelpFailedToLaunch) {
  const std::filesystem::path present = home.Root() / "dustral.html";
  WriteTestFile(present);
  Opener(home.Root() / "missing.html").ShowContents(owner.Handle());
  Opener(home.Root()).ShowContents(owner.Handle());  // a folder is no document
  Opener(present, false).ShowSection(owner.Handle(), "editor");
  EXPECT_EQ(opened.size(), 1u);  // only the document that is there was offered
  ASSERT_EQ(ui.messages.size(), 3u);
  for (const ScriptedUiServices::Message& message : ui.messages) {
    EXPECT_EQ(message.owner, owner.Handle());
    EXPECT_EQ(message.request.text, "Failed to launch help.");
    EXPECT_EQ(message.request.caption, "DUSTRAL");
    EXPECT_EQ(message.request.icon, MessageIcon::kExclamation);
    EXPECT_EQ(message.request.buttons, MessageButtons::kOk);
  }
}

}  // namespace
