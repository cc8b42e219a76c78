#include "platform/win32/win32_file_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/win32/nt_files.h"
#include "platform/win32/wide_text.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

DWORD RealAttributes(const std::string& path) {
  return ::GetFileAttributesW(ExtendedPath(path).c_str());
}

std::map<std::string, bool> ListAll(Directory& directory) {
  std::map<std::string, bool> listed;
  DirectoryEntry entry;
  while (directory.Next(entry)) listed[std::string(entry.name)] = entry.isDirectory;
  return listed;
}

class Win32FileSystemTest : public testing::Test {
 protected:
  std::string Make(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const std::string path = home.Path(relative);
    WriteTestFile(path);
    ::SetFileAttributesW(ExtendedPath(path).c_str(), attributes);
    return path;
  }
  bool Exists(const std::string& path) { return RealAttributes(path) != INVALID_FILE_ATTRIBUTES; }

  ScopedTestHome home;
  Win32FileSystem files;
};

TEST_F(Win32FileSystemTest, AttributeWordIsTheFilesOwnAndSetNormalClearsAndRestoreGivesItBack) {
  struct Case {
    const char* name;
    DWORD attributes;
  };
  for (const Case& c :
       {Case{"plain", FILE_ATTRIBUTE_NORMAL}, Case{"hidden", FILE_ATTRIBUTE_HIDDEN},
        Case{"read-only", FILE_ATTRIBUTE_READONLY}, Case{"system", FILE_ATTRIBUTE_SYSTEM},
        Case{"all three",
             FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
    SCOPED_TRACE(c.name);
    const std::string path = Make(std::string(c.name) + ".txt", c.attributes);
    const FileAttributes word = files.GetAttributes(path);
    const FileAttributes judged = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;
    EXPECT_EQ(word & judged, c.attributes & judged);
    EXPECT_FALSE(word & kAttributeDirectory);
    ASSERT_TRUE(files.SetNormal(path, word));
    EXPECT_EQ(files.GetAttributes(path) & judged, 0u);
    ASSERT_TRUE(files.RestoreAttributes(path, word));
    EXPECT_EQ(RealAttributes(path) & judged, c.attributes & judged);
  }
  fs::create_directory(home.Path("folder"));
  EXPECT_TRUE(files.GetAttributes(home.Path("folder")) & kAttributeDirectory);
  EXPECT_EQ(files.GetAttributes(home.Path("missing")), kInvalidAttributes);
}

TEST_F(Win32FileSystemTest, ListsThroughTheHandleAndRemovesOnlyFiles) {
  Make("a.tmp");
  Make("b.tmp");
  fs::create_directory(home.Path("sub"));
  auto directory = files.OpenDirectory(home.Root().string());
  ASSERT_TRUE(directory);
  const auto listed = ListAll(*directory);
  const std::map<std::string, bool> expected{{"a.tmp", false}, {"b.tmp", false}, {"home", true},
                                             {"config", true}, {"data", true},   {"cache", true},
                                             {"tmp", true},    {"sub", true}};
  EXPECT_EQ(listed, expected);

  EXPECT_TRUE(files.RemoveFileIn(*directory, "a.tmp"));
  EXPECT_FALSE(Exists(home.Path("a.tmp")));
  EXPECT_FALSE(files.RemoveFileIn(*directory, "sub"));
  EXPECT_TRUE(fs::is_directory(home.Path("sub")));
  EXPECT_FALSE(files.RemoveFileIn(*directory, "..\\b.tmp"));
  // Both separators name the same file.
  EXPECT_TRUE(files.RemoveFile(home.Root().string() + "/b.tmp"));
  EXPECT_FALSE(Exists(home.Path("b.tmp")));
  EXPECT_FALSE(files.RemoveFile(home.Path("b.tmp")));
  EXPECT_EQ(files.LastError(), ENOENT);
}

TEST_F(Win32FileSystemTest, ReachesAndDeletesBeyondTheLengthOfAPath) {
  // 40 folders of 30 characters: far beyond MAX_PATH (260).
  const std::string folder(30, 'd');
  std::string deep = home.Root().string();
  for (int level = 0; level < 40; ++level) {
    deep += "\\" + folder;
    ASSERT_TRUE(::CreateDirectoryW(ExtendedPath(deep).c_str(), nullptr)) << level;
  }
  ASSERT_GT(deep.size(), 1200u);
  const std::string file = deep + "\\deep.tmp";
  HANDLE created = ::CreateFileW(ExtendedPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_READONLY, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  ::CloseHandle(created);

  auto directory = files.OpenDirectory(home.Root().string());
  for (int level = 0; level < 40 && directory; ++level)
    directory = directory->OpenSubdirectory(folder);
  ASSERT_TRUE(directory);
  EXPECT_EQ(ListAll(*directory), (std::map<std::string, bool>{{"deep.tmp", false}}));
  EXPECT_TRUE(files.StatusIn(*directory, "deep.tmp").attributes & kAttributeReadOnly);

  // By its path too, as a gathered file is reached.
  const FileAttributes word = files.GetAttributes(file, directory->Identity());
  ASSERT_TRUE(word & kAttributeReadOnly);
  ASSERT_TRUE(files.SetNormal(file, word, directory->Identity()));
  EXPECT_TRUE(files.RemoveFile(file, directory->Identity()));
  EXPECT_FALSE(Exists(file));
  // Its parent is reached from it, however long the way from the root.
  auto parent = directory->OpenParent();
  ASSERT_TRUE(parent);
  auto again = parent->OpenSubdirectory(folder);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Identity(), directory->Identity());
  EXPECT_NE(parent->Identity(), directory->Identity());
}

TEST_F(Win32FileSystemTest, PathWhoseDirectoryWasReplacedNamesNoFile) {
  const std::string file = Make("listed\\victim.tmp");
  auto listed = files.OpenDirectory(home.Path("listed"));
  ASSERT_TRUE(listed);
  const ListedIn listedIn = listed->Identity();
  listed.reset();
  fs::rename(home.Path("listed"), home.Path("moved"));
  Make("listed\\victim.tmp");  // a new directory of the same name

  EXPECT_EQ(files.GetAttributes(file, listedIn), kInvalidAttributes);
  EXPECT_FALSE(files.RemoveFile(file, listedIn));
  EXPECT_TRUE(Exists(file));
  {
    ScopedFileBatch batch(files);
    EXPECT_FALSE(files.RemoveFile(file, listedIn));
  }
  EXPECT_TRUE(Exists(file));
  EXPECT_TRUE(files.RemoveFile(home.Path("moved\\victim.tmp"), listedIn));
}

TEST_F(Win32FileSystemTest, ReadOnlyFileWithOtherHardLinksStaysReadOnlyThere) {
  const std::string original = Make("original.txt");
  const std::string other = home.Path("other.txt");
  ASSERT_TRUE(
      ::CreateHardLinkW(ExtendedPath(other).c_str(), ExtendedPath(original).c_str(), nullptr));
  ::SetFileAttributesW(ExtendedPath(original).c_str(), FILE_ATTRIBUTE_READONLY);

  const FileAttributes word = files.GetAttributes(original);
  ASSERT_TRUE(word & kAttributeReadOnly);
  ASSERT_TRUE(files.SetNormal(original, word));
  ASSERT_TRUE(files.RemoveFile(original));
  EXPECT_FALSE(Exists(original));
  EXPECT_TRUE(RealAttributes(other) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(Win32FileSystemTest, FileHeldOpenByAnotherProgramFailsToDeleteAndTheNextOneGoes) {
  const std::string held = Make("held.tmp");
  const std::string free = Make("free.tmp");
  // Opened as most programs open a file: deletion not shared.
  HANDLE handle = ::CreateFileW(ExtendedPath(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  {
    ScopedFileBatch batch(files);
    EXPECT_FALSE(files.RemoveFile(held));
    EXPECT_EQ(files.LastError(), EBUSY);
    EXPECT_TRUE(files.RemoveFile(free));
  }
  ::CloseHandle(handle);
  EXPECT_TRUE(Exists(held));
  EXPECT_FALSE(Exists(free));
}

TEST_F(Win32FileSystemTest, ReparsePointIsListedAsNoDirectoryAndNeverEntered) {
  // "tree\link" is a directory link to "outside", which holds "kept.tmp".
  std::string root = home.Root().string();
  if (const char* prepared = std::getenv("DUSTRAL_WINE_LINKED_TREE")) {
    // Wine can't make a link itself, but shows a link of the host as one:
    // the test run prepared such a tree.
    root = prepared;
  } else {
    const std::string link = home.Path("tree\\link");
    fs::create_directories(home.Path("tree"));
    Make("outside\\kept.tmp");
    if (!::CreateSymbolicLinkW(
            ExtendedPath(link).c_str(), ExtendedPath(home.Path("outside")).c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        RealAttributes(link) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "no directory link can be made here (Windows needs developer mode or the "
                      "privilege to create one)";
  }
  const std::string link = root + "\\tree\\link";
  const std::string kept = root + "\\outside\\kept.tmp";
  ASSERT_NE(RealAttributes(link), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(RealAttributes(link) & FILE_ATTRIBUTE_REPARSE_POINT);
  ASSERT_TRUE(Exists(kept));

  auto tree = files.OpenDirectory(root + "\\tree");
  ASSERT_TRUE(tree);
  EXPECT_EQ(ListAll(*tree), (std::map<std::string, bool>{{"link", false}}));
  EXPECT_FALSE(tree->OpenSubdirectory("link"));
  EXPECT_FALSE(files.RemoveFile(link + "\\kept.tmp", tree->Identity()));
  EXPECT_FALSE(files.RemoveFileIn(*tree, "link"));  // a directory link is a directory
  EXPECT_TRUE(Exists(kept));
  EXPECT_TRUE(Exists(link));
}

TEST_F(Win32FileSystemTest, NameThatIsNoValidUtf16ComesBackUnchanged) {
  const std::wstring lone = L"lone-\xD800-surrogate.tmp";
  const std::wstring path = ExtendedPath(home.Root().string()) + L"\\" + lone;
  HANDLE created = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (created == INVALID_HANDLE_VALUE)
    GTEST_SKIP() << "the file system refuses a name with a lone surrogate (Wine maps names "
                    "onto UTF-8 host names)";
  ::CloseHandle(created);
  auto directory = files.OpenDirectory(home.Root().string());
  ASSERT_TRUE(directory);
  const auto listed = ListAll(*directory);
  const std::string name = NarrowFromWide(lone);
  ASSERT_TRUE(listed.contains(name));
  EXPECT_TRUE(files.RemoveFileIn(*directory, name.c_str()));
  EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WideText, EveryUtf16SequenceRoundTripsAndInvalidUtf8NamesNoFile) {
  const std::wstring samples[] = {L"plain",  L"caf\xE9",  L"\x65E5\x672C", L"\xD83D\xDE00",
                                  L"\xD800", L"a\xDC00z", L"\xDBFF\xDBFF"};
  for (const std::wstring& wide : samples)
    EXPECT_EQ(WideFromNarrow(NarrowFromWide(wide)), wide) << NarrowFromWide(wide);
  EXPECT_EQ(NarrowFromWide(L"caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(WideFromNarrow("a\xFFz"), L"a\xFFFDz");
  EXPECT_EQ(WideFromNarrow("\xC0\xAF"), L"\xFFFD\xFFFD");  // an overlong '/'
}

}  // namespace
