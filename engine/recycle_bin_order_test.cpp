#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/recycle_bin.h"
#include "engine/testing/fake_file_system.h"
#include "engine/testing/fake_platform.h"
#include "engine/testing/system_path.h"
#include "testing/recording_controls.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;
using testing::Pair;

namespace {

TEST(RecycleBinOrderTest, BinsAreEmptiedInTurnEachWithItsOwnAttributes) {
  FakeFileSystem files;
  FakeTrashFolders trash;
  CountingWaitCursor cursor;
  files.AddDirectory(SystemPath("/first/files"),
                     kAttributeDirectory | kAttributeHidden | kAttributeSystem);
  files.AddFile(SystemPath("/first/files/a"));
  files.AddFile(SystemPath("/second/files/b"));
  files.AddFile(SystemPath("/second/files/c"), kAttributeHidden | kAttributeSystem);
  trash.bins = SystemPaths({"/first/files", "/missing/files", "/second/files"});
  trash.verified = {{SystemPath("/first/files"), files.IdentityOf(SystemPath("/first/files"))},
                    {SystemPath("/second/files"), files.IdentityOf(SystemPath("/second/files"))}};

  EmptyRecycleBin(files, trash, cursor);
  EXPECT_THAT(trash.forgotten, ElementsAre(Pair(SystemPath("/first/files"), "a"),
                                           Pair(SystemPath("/second/files"), "b"),
                                           Pair(SystemPath("/second/files"), "c")));
  EXPECT_EQ(files.AttributesOf(SystemPath("/first/files")),
            kAttributeDirectory | kAttributeHidden | kAttributeSystem);
  // A bin folder that isn't there is never searched.
  EXPECT_THAT(files.PathsOf("OpenDirectory"),
              ElementsAreArray(SystemPaths({"/first/files", "/second/files"})));
}

TEST(RecycleBinOrderTest, FileThatCannotBeDeletedKeepsItsInfo) {
  FakeFileSystem files;
  FakeTrashFolders trash;
  CountingWaitCursor cursor;
  files.AddFile(SystemPath("/t/files/busy"));
  files.refuseRemoval.insert(SystemPath("/t/files/busy"));
  trash.bins = {SystemPath("/t/files")};
  trash.verified = {{SystemPath("/t/files"), files.IdentityOf(SystemPath("/t/files"))}};
  EmptyRecycleBin(files, trash, cursor);
  EXPECT_THAT(trash.forgotten, IsEmpty());
}

}  // namespace
