#include "session/plan_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/testing/fake_file_system.h"
#include "engine/testing/system_path.h"

namespace {

// A path within a group's folder, written with the system's separator.
std::string InFolder(std::string relative) {
  for (char& c : relative)
    if (c == '/') c = kPathSeparator;
  return relative;
}

// A plan over the in-memory file system: the temp category, a wildcard
// entry and an entry naming a file that isn't there.
class PlanListingTest : public testing::Test {
 protected:
  PlanListingTest() {
    files_.directoryBudget = 8;
    locations_.m_strTemp = SystemPath("/temp");
    files_.AddFile(SystemPath("/temp/a.tmp"));
    files_.Modify(SystemPath("/temp/a.tmp"), 3, 1);
    files_.AddFile(SystemPath("/junk/b-big"));
    files_.Modify(SystemPath("/junk/b-big"), 30, 1);
    files_.AddFile(SystemPath("/junk/A-small"));
    files_.Modify(SystemPath("/junk/A-small"), 1, 1);
    files_.AddFile(SystemPath("/junk/sub/Ça-mid"));
    files_.Modify(SystemPath("/junk/sub/Ça-mid"), 10, 1);
    files_.AddFile(SystemPath("/junk/.hidden"), kAttributeHidden);
    files_.Modify(SystemPath("/junk/.hidden"), 2, 1);
  }

  CleanPlan Gather() {
    const CleanSelection selection{
        [](ControlId box) { return box == ControlId::kTempBox; },
        locations_,
        {{1, SystemPath("/gone"), "", 0}, {0, SystemPath("/junk"), "*", 1}}};
    return GatherCleanPlan(selection, CleanSettings(), files_, true);
  }

  // Each group's heading, then its files as "path|size|kept".
  static std::vector<std::string> Lines(const PlanListing& listing) {
    std::vector<std::string> lines;
    for (std::size_t group = 0; group < listing.GroupCount(); ++group) {
      lines.push_back(listing.GroupHeading(group));
      for (const std::size_t file : listing.Rows(group))
        lines.push_back(listing.FileText(file) + "|" + listing.SizeText(file) + "|" +
                        listing.KeptText(file));
    }
    return lines;
  }

  // The names a group lists, in order.
  static std::vector<std::string> Names(const PlanListing& listing, std::size_t group) {
    std::vector<std::string> names;
    for (const std::size_t file : listing.Rows(group)) names.push_back(listing.FileText(file));
    return names;
  }

  FakeFileSystem files_;
  CleanLocations locations_;
};

TEST_F(PlanListingTest, GroupsTheFilesBelowTheirFolderWithCountsAndReasons) {
  const CleanPlan plan = Gather();
  ASSERT_EQ(plan.Count(), 6u);
  const PlanListing listing(plan);
  EXPECT_EQ(Lines(listing),
            (std::vector<std::string>{
                "Remove Temp Files (" + SystemPath("/temp): 1 file to delete (3 bytes)"),
                "a.tmp|3 bytes|",
                SystemPath("/gone") + ": nothing to delete, 1 left alone",
                "gone||not found",
                SystemPath("/junk") + " (*), with sub-folders: 3 files to delete (41 bytes), 1 "
                                      "left alone",
                "b-big|30 bytes|",
                "A-small|1 byte|",
                ".hidden|2 bytes|hidden",
                InFolder("sub/Ça-mid") + "|10 bytes|",
            }));
  EXPECT_TRUE(listing.IsKept(plan.Count() - 2));
  EXPECT_EQ(listing.ContainingFolder(plan.Count() - 1), SystemPath("/junk/sub"));
  EXPECT_EQ(PreviewTotalsText(listing.Totals()),
            "4 files would be deleted, freeing 44 bytes. 2 files would be left alone: 1 hidden, "
            "1 not found.");
}

TEST_F(PlanListingTest, SortsAndFiltersWhatIsListedButNeverThePlan) {
  const CleanPlan plan = Gather();
  ASSERT_EQ(plan.Count(), 6u);
  PlanListing listing(plan);
  const std::size_t junk = 2;
  listing.Sort(PlanListing::kSizeColumn, true);
  EXPECT_EQ(Names(listing, junk),
            (std::vector<std::string>{"A-small", ".hidden", InFolder("sub/Ça-mid"), "b-big"}));
  listing.Sort(PlanListing::kFileColumn, false);
  EXPECT_EQ(Names(listing, junk),
            (std::vector<std::string>{InFolder("sub/Ça-mid"), "b-big", "A-small", ".hidden"}));
  listing.Sort(PlanListing::kKeptColumn, false);
  EXPECT_EQ(Names(listing, junk).front(), ".hidden");
  listing.Sort(-1, true);
  EXPECT_EQ(Names(listing, junk),
            (std::vector<std::string>{"b-big", "A-small", ".hidden", InFolder("sub/Ça-mid")}));

  // Letters of either case, beyond ASCII too.
  listing.SetFilter("çA");
  EXPECT_EQ(Names(listing, junk), (std::vector<std::string>{InFolder("sub/Ça-mid")}));
  EXPECT_TRUE(listing.Rows(0).empty());
  EXPECT_EQ(listing.ShownCount(), 1u);
  EXPECT_EQ(
      listing.GroupHeading(0),
      "Remove Temp Files (" + SystemPath("/temp): 1 file to delete (3 bytes); 0 of them shown"));
  listing.SetFilter("");
  EXPECT_EQ(listing.ShownCount(), 6u);
}

TEST_F(PlanListingTest, HeadingsTellWhatTheCleanDid) {
  const CleanPlan plan = Gather();
  ASSERT_EQ(plan.Count(), 6u);
  PlanListing listing(plan);
  files_.Modify(SystemPath("/junk/b-big"), 31, 2);
  const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), files_);
  listing.SetOutcome(report);
  EXPECT_EQ(listing.GroupHeading(0),
            "Remove Temp Files (" + SystemPath("/temp): 1 file deleted (3 bytes)"));
  EXPECT_EQ(
      listing.GroupHeading(2),
      SystemPath("/junk") + " (*), with sub-folders: 2 files deleted (11 bytes), 2 left alone");
  EXPECT_EQ(
      CleanReportLines(report),
      (std::vector<std::string>{
          "Deleted 3 files, freeing 14 bytes.", "Left alone: 1 hidden.",
          "Not deleted because they changed or appeared after the preview: 1.", "Not found: 1."}));
}

TEST(PlanListingTexts, PathsShowOnOneLine) {
  const struct {
    const char* path;
    const char* line;
  } cases[] = {
      {"/a b/new\nline\ttab\x01\x7f", "/a b/new\\nline\\ttab\\x01\\x7f"},
      {"/not-utf8-\xff", "/not-utf8-\xEF\xBF\xBD"},
      {"/overlong-\xC0\xAF", "/overlong-\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"/café-日本", "/café-日本"},
  };
  for (const auto& c : cases) EXPECT_EQ(PathLineText(c.path), c.line) << c.path;
}

TEST(PlanListingTexts, TheFilterNoteSaysCleanTakesEveryFileUntilItHasRun) {
  EXPECT_EQ(FilterNoteText(1, 1234, false),
            "Showing 1 of 1,234 files. The filter only narrows what is shown: Clean still "
            "deletes every file of the list, shown or not.");
  EXPECT_EQ(FilterNoteText(0, 1, true), "Showing 0 of 1 file.");
}

}  // namespace
