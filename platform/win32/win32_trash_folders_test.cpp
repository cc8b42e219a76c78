#include "platform/win32/win32_trash_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/win32/nt_files.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSid = "S-1-5-21-1-2-3-1001";

class Win32TrashFoldersTest : public testing::Test {
 protected:
  // A scratch directory stands for each drive's root.
  std::string Drive(const std::string& name) {
    const std::string root = home.Path(name) + "\\";
    fs::create_directories(root);
    return root;
  }
  Win32TrashFolders Trash(std::vector<std::string> roots) {
    return Win32TrashFolders(RecycleBinSources{std::move(roots), kSid});
  }

  ScopedTestHome home;
};

TEST_F(Win32TrashFoldersTest, OffersTheNewestBinFolderOfEachDriveInDriveOrder) {
  const std::string c = Drive("c");
  const std::string d = Drive("d");
  const std::string e = Drive("e");
  fs::create_directories(c + "$Recycle.Bin\\" + kSid);
  fs::create_directories(c + "Recycled");
  fs::create_directories(d + "RECYCLER\\" + kSid);
  fs::create_directories(d + "$Recycle.Bin\\S-1-5-21-another-user");
  fs::create_directories(e + "Recycled");
  const std::string none = Drive("none");

  Win32TrashFolders trash = Trash({c, d, e, none});
  const std::vector<std::string> expected{c + "$Recycle.Bin\\" + kSid, d + "RECYCLER\\" + kSid,
                                          e + "Recycled"};
  EXPECT_EQ(trash.BinFolders(), expected);
  for (const std::string& bin : expected) EXPECT_TRUE(trash.VerifyBinFolder(bin)) << bin;
  EXPECT_FALSE(trash.VerifyBinFolder(c + "Recycled"));
}

TEST_F(Win32TrashFoldersTest, BinFolderSwappedAfterItWasOfferedIsNotVerified) {
  const std::string c = Drive("c");
  fs::create_directories(c + "Recycled");
  Win32TrashFolders trash = Trash({c});
  ASSERT_EQ(trash.BinFolders().size(), 1u);
  fs::rename(c + "Recycled", c + "Elsewhere");
  fs::create_directories(c + "Recycled");
  EXPECT_FALSE(trash.VerifyBinFolder(c + "Recycled"));
}

TEST_F(Win32TrashFoldersTest, InfoFileOfAFolderStaysAndThatOfADeletedFileGoesWithIt) {
  const std::string c = Drive("c");
  const std::string bin = c + "$Recycle.Bin\\" + kSid;
  WriteTestFile(bin + "\\$IABC123.txt");
  WriteTestFile(bin + "\\$RABC123.txt");
  WriteTestFile(bin + "\\$IDEF456");
  WriteTestFile(bin + "\\$RDEF456\\inside.txt");
  WriteTestFile(bin + "\\desktop.ini");
  Win32TrashFolders trash = Trash({c});
  ASSERT_EQ(trash.BinFolders(), std::vector<std::string>{bin});
  const auto identity = trash.VerifyBinFolder(bin);
  ASSERT_TRUE(identity);

  EXPECT_TRUE(trash.Keeps(bin, *identity, "$IDEF456"));
  EXPECT_FALSE(trash.Keeps(bin, *identity, "$IABC123.txt"));
  EXPECT_FALSE(trash.Keeps(bin, *identity, "$RABC123.txt"));
  EXPECT_FALSE(trash.Keeps(bin, *identity, "desktop.ini"));

  fs::remove(bin + "\\$RABC123.txt");
  trash.ForgetDeletedFile(bin, *identity, "$RABC123.txt");
  EXPECT_FALSE(fs::exists(bin + "\\$IABC123.txt"));
  // Only in the bin folder it was told, while it is still that one.
  trash.ForgetDeletedFile(bin, DirectoryIdentity{identity->device, identity->inode + 1},
                          "$RDEF456");
  EXPECT_TRUE(fs::exists(bin + "\\$IDEF456"));
  EXPECT_TRUE(fs::exists(bin + "\\desktop.ini"));
}

TEST_F(Win32TrashFoldersTest, BinFolderThatIsALinkIsNotOffered) {
  std::string drive;
  if (const char* prepared = std::getenv("DUSTRAL_WINE_LINKED_TREE")) {
    // Wine can't make a link itself; the test run made one on the host.
    drive = std::string(prepared) + "\\drive\\";
  } else {
    drive = Drive("c");
    fs::create_directories(home.Path("elsewhere"));
    const std::wstring link = ExtendedPath(drive + "Recycled");
    if (!::CreateSymbolicLinkW(
            link.c_str(), ExtendedPath(home.Path("elsewhere")).c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
      GTEST_SKIP() << "no directory link can be made here (Windows needs developer mode or the "
                      "privilege to create one)";
  }
  const DWORD attributes = ::GetFileAttributesW(ExtendedPath(drive + "Recycled").c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_TRUE(Trash({drive}).BinFolders().empty());
}

}  // namespace
