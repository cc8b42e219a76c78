#include "engine/deletion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/testing/fake_file_system.h"
#include "engine/testing/system_path.h"
#include "settings/testing/clean_inputs.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

struct OptionCase {
  const char* description;
  FileAttributes attributes;
  CleanSettings settings;
  bool deleted;
};

void PrintTo(const OptionCase& c, std::ostream* out) { *out << c.description; }

class DeletionOptionsTest : public testing::TestWithParam<OptionCase> {};

TEST_P(DeletionOptionsTest, SparedFilesAreLeftUntouched) {
  const OptionCase& c = GetParam();
  FakeFileSystem files;
  files.AddFile(SystemPath("/d/file"), c.attributes);

  EXPECT_EQ(DeleteListedFile(files, c.settings, SystemPath("/d/file")),
            c.deleted ? DeletionResult::kDeleted : DeletionResult::kSpared);
  EXPECT_EQ(files.Exists(SystemPath("/d/file")), !c.deleted);
  if (!c.deleted) {
    EXPECT_THAT(files.calls, ElementsAre("GetAttributes " + SystemPath("/d/file")));
    EXPECT_EQ(files.AttributesOf(SystemPath("/d/file")), c.attributes);
  }
}

constexpr FileAttributes kHiddenReadOnly = kAttributeHidden | kAttributeReadOnly;

INSTANTIATE_TEST_SUITE_P(
    Table, DeletionOptionsTest,
    testing::Values(
        OptionCase{"normal file, nothing allowed", kAttributeNormal, Allowing(0, 0, 0), true},
        OptionCase{"hidden file, hidden not allowed", kAttributeHidden, Allowing(0, 1, 1), false},
        OptionCase{"hidden file, hidden allowed", kAttributeHidden, Allowing(1, 0, 0), true},
        OptionCase{"read-only file, read-only not allowed", kAttributeReadOnly, Allowing(1, 0, 1),
                   false},
        OptionCase{"read-only file, read-only allowed", kAttributeReadOnly, Allowing(0, 1, 0),
                   true},
        OptionCase{"system file, system not allowed", kAttributeSystem, Allowing(1, 1, 0), false},
        OptionCase{"system file, system allowed", kAttributeSystem, Allowing(0, 0, 1), true},
        OptionCase{"hidden read-only file, only hidden allowed", kHiddenReadOnly, Allowing(1, 0, 0),
                   false},
        OptionCase{"hidden read-only file, only read-only allowed", kHiddenReadOnly,
                   Allowing(0, 1, 0), false},
        OptionCase{"hidden read-only file, both allowed", kHiddenReadOnly, Allowing(1, 1, 0), true},
        OptionCase{"hidden read-only system file, all allowed", kHiddenReadOnly | kAttributeSystem,
                   Allowing(1, 1, 1), true}));

TEST(DeletionTest, ReadOnlyFileIsMadeNormalThenDeleted) {
  FakeFileSystem files;
  files.AddFile(SystemPath("/d/file"), kAttributeReadOnly);
  EXPECT_EQ(DeleteListedFile(files, Allowing(0, 1, 0), SystemPath("/d/file")),
            DeletionResult::kDeleted);
  EXPECT_THAT(files.calls, ElementsAre("GetAttributes " + SystemPath("/d/file"),
                                       "SetNormal " + SystemPath("/d/file"),
                                       "RemoveFile " + SystemPath("/d/file")));
}

TEST(DeletionTest, FailedDeletionGivesTheAttributesBack) {
  FakeFileSystem files;
  files.AddFile(SystemPath("/d/in-use"), kHiddenReadOnly);
  files.refuseRemoval.insert(SystemPath("/d/in-use"));
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 0), SystemPath("/d/in-use")),
            DeletionResult::kFailed);
  EXPECT_TRUE(files.Exists(SystemPath("/d/in-use")));
  EXPECT_EQ(files.AttributesOf(SystemPath("/d/in-use")), kHiddenReadOnly);
}

TEST(DeletionTest, MissingFileIsPassedOverSilentlyWhateverTheOptions) {
  FakeFileSystem files;
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 0), SystemPath("/gone")),
            DeletionResult::kSpared);
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 1), SystemPath("/gone")),
            DeletionResult::kNotAFile);
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 1), ""), DeletionResult::kNotAFile);
  EXPECT_THAT(files.PathsOf("SetNormal"), IsEmpty());
  EXPECT_THAT(files.PathsOf("RemoveFile"), IsEmpty());
}

TEST(DeletionTest, DirectoryIsNeverTouched) {
  FakeFileSystem files;
  files.AddDirectory(SystemPath("/d/folder"), kAttributeReadOnly);
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 1), SystemPath("/d/folder")),
            DeletionResult::kNotAFile);
  EXPECT_THAT(files.calls, ElementsAre("GetAttributes " + SystemPath("/d/folder")));
}

TEST(DeletionTest, FileInADirectoryReplacedSinceTheSweepIsLeftAlone) {
  FakeFileSystem files;
  files.AddFile(SystemPath("/d/kept"), kAttributeReadOnly);
  files.AddFile(SystemPath("/d/gone"), kAttributeReadOnly);
  const DirectoryIdentity listedIn = files.IdentityOf(SystemPath("/d"));
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 1), SystemPath("/d/gone"), listedIn),
            DeletionResult::kDeleted);
  files.ReplaceDirectory(SystemPath("/d"));
  files.calls.clear();

  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 1), SystemPath("/d/kept"), listedIn),
            DeletionResult::kNotAFile);
  EXPECT_THAT(files.calls, ElementsAre("GetAttributes " + SystemPath("/d/kept")));
  EXPECT_EQ(files.AttributesOf(SystemPath("/d/kept")), kAttributeReadOnly);
  // Named by the user rather than listed, the path is taken as it is.
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 1), SystemPath("/d/kept")),
            DeletionResult::kDeleted);
}

}  // namespace
