#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/clean_plan.h"

// What a preview of a clean shows, the same in every toolkit's window: the
// plan's files grouped by the category or entry they came from, each group
// with a heading that counts its files, each file with its path within the
// group's folder, its size and why it would be left alone; the totals; and,
// once the plan was carried out, what became of each group. The window only
// puts these texts on screen.

// What a plan holds, counted once: the files that would go and their bytes,
// and the files that would be left alone for each reason, the options' or
// because nothing was found at their path.
struct PlanTotals {
  std::size_t toDelete = 0;
  std::uint64_t bytes = 0;
  std::size_t hidden = 0, readOnly = 0, system = 0, inUse = 0, missing = 0;

  std::size_t Kept() const { return hidden + readOnly + system + inUse + missing; }
};

// A plan as groups of rows. Nothing is made per file but its index: the
// texts are built when a row is shown, so a plan of a million files lists
// as fast as one of ten. Sorting and the filter change which rows are
// listed and in what order, never the plan.
class PlanListing {
 public:
  enum Column { kFileColumn, kSizeColumn, kKeptColumn, kColumnCount };

  // The plan must outlive the listing.
  explicit PlanListing(const CleanPlan& plan);

  const CleanPlan& Plan() const { return plan_; }
  const PlanTotals& Totals() const { return totals_; }
  std::size_t GroupCount() const { return groups_.size(); }

  // The plan's indexes of the files the group lists now: all of them, in
  // the order chosen, or those the filter lets through.
  const std::vector<std::size_t>& Rows(std::size_t group) const;
  // Files listed under the filter, in all groups.
  std::size_t ShownCount() const;

  // "Remove Temp Files (/home/u/tmp): 2 files to delete (1.0 kB), 1 left
  // alone"; after the Clean, what became of them instead.
  std::string GroupHeading(std::size_t group) const;
  // The folder a group's files lie under (empty when they share none).
  const std::string& GroupFolder(std::size_t group) const { return groups_[group].folder; }

  // A file's cells: its path below its group's folder (the whole path when
  // it lies elsewhere), its size (empty when nothing was there), and why it
  // would be left alone (empty when it would be deleted).
  std::string FileText(std::size_t file) const;
  std::string SizeText(std::size_t file) const;
  std::string KeptText(std::size_t file) const;
  // Whether the file would be left alone, for any reason.
  bool IsKept(std::size_t file) const;
  // The folder that holds the file.
  std::string ContainingFolder(std::size_t file) const;

  // Lists only the files whose path within their group's folder holds
  // `text`, letters of either case; an empty text lists every file.
  void SetFilter(std::string text);
  const std::string& Filter() const { return filter_; }

  // Sorts each group's files by `column`; any other column gives back the
  // plan's order. Files that compare equal keep the plan's order.
  void Sort(int column, bool ascending);

  // After the plan was carried out: the headings tell what became of their
  // files instead of what would.
  void SetOutcome(const CleanReport& report);
  bool HasOutcome() const { return !outcome_.empty(); }

 private:
  struct Group {
    std::vector<std::size_t> files;  // the plan's indexes, in the order chosen
    std::vector<std::size_t> shown;  // those the filter lets through, when there is one
    std::uint64_t bytes = 0;         // of the files that would go
    std::size_t kept = 0;
    std::string folder;
  };

  std::string RelativePath(std::size_t file) const;
  void ApplyFilter();

  const CleanPlan& plan_;
  std::vector<Group> groups_;
  PlanTotals totals_;
  std::string filter_;
  std::string foldedFilter_;
  std::vector<CleanReport::GroupOutcome> outcome_;  // empty before the Clean
};

// "1 file", "1,234 files".
std::string FilesText(std::uint64_t count);

// The word for a reason to keep a file, as the preview and its report show it.
std::string KeptReasonText(SpareReason reason);

// A path as one line of text: bytes that aren't UTF-8 show as the
// replacement character and control characters as escapes ("\n" for a
// newline in a name), so that every row keeps the height of one line.
std::string PathLineText(std::string_view path);

// UTF-8 text with its letters in lower case (the Latin, Greek and Cyrillic
// letters that have one), for comparing without regard to case.
std::string FoldedText(std::string_view text);

// The texts around the list.
extern const char* const kPreviewIntroText;
extern const char* const kPreviewCleanedIntroText;
// "3 files would be deleted, freeing 1.0 kB (1,010 bytes). 2 files would be
// left alone: 1 hidden, 1 not found."
std::string PreviewTotalsText(const PlanTotals& totals);
// While the filter narrows the list: how many of the files are shown, and
// before the Clean that the Clean still takes them all.
std::string FilterNoteText(std::size_t shown, std::size_t total, bool cleaned);
// "Deleting files... 1,000 of 4,000".
std::string DeletingProgressText(std::size_t done, std::size_t total);
// What the Clean did, one line a finding.
std::vector<std::string> CleanReportLines(const CleanReport& report);
// A file that could not be deleted, with the reason.
std::string FailureLineText(const CleanReport::Failure& failure);
