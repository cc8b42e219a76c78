#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/deletion.h"  // SpareReason
#include "platform/file_system.h"
#include "platform/trash_folders.h"
#include "settings/clean_entry.h"
#include "settings/clean_locations.h"
#include "settings/clean_settings.h"
#include "window/control_ids.h"

// A clean in two halves: gathering makes a plan of every file a clean would
// delete, in the order it would delete them; executing deletes them. Between
// the two, the plan can be shown, counted and cancelled. A guarded plan also
// remembers what each file was at gathering, so that the execution deletes
// nothing that changed since.

// Where planned files came from: one category sweep, or one custom entry.
struct PlanGroup {
  // For a wildcard entry: path + " (" + wildcard + ")", followed by ", with
  // sub-folders" when it recurses; for an individual entry: its path; empty
  // for a category, which whoever shows the plan captions by its box.
  std::string label;
  // The category's check box, for a category's group.
  std::optional<ControlId> category;
};

// What to gather: the same order and rules as the window's clean run
// (categories in the category table's order, each when its box is ticked and
// its location is absolute; then the entries top row first; relative and
// empty paths passed over; then, when its box is ticked, the files that
// emptying the bin would delete, each bin folder a group of its own). Each
// file is planned once (the same directory on disk and the same name), in
// the first place it is found.
struct CleanSelection {
  std::function<bool(ControlId box)> isTicked;  // asked when the run reaches the category
  const CleanLocations& locations;
  std::vector<CleanEntry> entries;  // top row first
  // Where the bin's folders are found; without it the bin is left out. It
  // must outlive the plan, whose execution tells it of the files deleted.
  TrashFolders* trash = nullptr;
};

// Told of the gathering as it goes.
struct GatherObserver {
  // The status text of each step as it is reached ("Searching for temp
  // files..." and the like, the window's own texts).
  std::function<void(const std::string& status)> onStep;
  // Files gathered so far; called every few thousand files.
  std::function<void(std::size_t gathered)> onProgress;
};

class CleanPlan {
 public:
  CleanPlan();
  ~CleanPlan();
  CleanPlan(CleanPlan&&) noexcept;
  CleanPlan& operator=(CleanPlan&&) noexcept;
  CleanPlan(const CleanPlan&) = delete;
  CleanPlan& operator=(const CleanPlan&) = delete;

  std::size_t Count() const;
  // The full path, built on demand.
  std::string PathAt(std::size_t index) const;
  // Bytes as seen at gathering; 0 when unknown (an unguarded plan).
  std::uint64_t SizeAt(std::size_t index) const;
  // Index into Groups().
  std::size_t GroupAt(std::size_t index) const;
  // As judged at gathering under the options given. An unguarded plan knows
  // only what the name tells (hidden); a guarded one every reason, and
  // whether a running process held the file open (kInUse).
  SpareReason SpareAt(std::size_t index) const;
  // In a guarded plan: nothing was there at gathering (an individual entry
  // naming no file, or a file gone between its listing and its look). Such
  // a file is not deleted; were one to appear, it counts as changed.
  bool MissingAt(std::size_t index) const;
  const std::vector<PlanGroup>& Groups() const;
  // The folder a group's files lie under: where its sweep began (the folder
  // its sweeps' starts share, when it has several), or a named file's
  // folder; without a separator at its end unless it is the root. Empty
  // for a group that holds nothing.
  std::string GroupFolder(std::size_t group) const;
  // Of the files that would not be spared.
  std::uint64_t TotalBytes() const;
  // Whether each file's identity, size and modification time were recorded.
  bool Guarded() const;

  // The plan's inside, shared by the gathering and the execution only.
  struct Data;
  Data& data() { return *data_; }
  const Data& data() const { return *data_; }

 private:
  std::unique_ptr<Data> data_;
};

// Gathers the plan. With `guard` on, each file's identity (device, inode),
// size, modification time and birth (FileStatus::born) are recorded so that the execution can
// refuse a file that changed since.
CleanPlan GatherCleanPlan(const CleanSelection& selection, const CleanSettings& options,
                          FileSystem& files, bool guard, const GatherObserver& observer = {});

struct CleanReport {
  std::uint64_t deleted = 0;
  // Of the deleted files, as seen at gathering (guarded) or at their
  // deletion (measured).
  std::uint64_t bytesFreed = 0;
  std::uint64_t sparedHidden = 0;
  std::uint64_t sparedReadOnly = 0;
  std::uint64_t sparedSystem = 0;
  std::uint64_t inUse = 0;  // left alone: a running process held them open
  std::uint64_t failed = 0;
  std::uint64_t vanished = 0;  // gone by their turn (or no longer a file)
  std::uint64_t changed = 0;   // replaced, modified or new since gathering (guarded plan)
  struct Failure {
    std::string path;
    std::string reason;  // the system's error text
  };
  std::vector<Failure> failures;
  // What became of each group's files, in the order of the plan's groups.
  struct GroupOutcome {
    std::uint64_t deleted = 0;
    std::uint64_t bytesFreed = 0;
    // Spared by the options, in use, or changed since gathering.
    std::uint64_t leftAlone = 0;
    std::uint64_t failed = 0;
    std::uint64_t vanished = 0;
  };
  std::vector<GroupOutcome> groups;
};

// Deletes the plan's files in order under the deletion options, with the
// attribute check of each file at its deletion as DeleteListedFile does;
// the bin's files by the bin's rules instead (the options play no part, a
// read-only file is refused and counts as spared read-only, what the trash
// keeps about a deleted file goes with it), each bin folder verified again
// and made normal while its files are deleted. `reachingTheBin` is called
// once where the bin's turn comes, when the plan asked for it. A
// guarded plan's file whose device, inode, size, modification time or birth differs
// from what was gathered, or that was missing at gathering and exists now, is
// not deleted and counts as changed. A file gone by then counts as vanished.
// A file a running process holds open (as found once per run, from the
// gathering on) is left alone and counts as in use, as Windows would refuse
// to delete it; so is one the plan showed in use.
//
// Where the file system offers one (FileSystem::ForAnotherThread) and the
// plan's folders give it a fair share, a second thread deletes too: each
// directory's files are deleted by one thread in the plan's order, each
// file checked right before its deletion; the bin's files follow once both
// are done, on this thread. `progress` and `reachingTheBin` are called on
// this thread only. What the second thread throws is thrown here, as if
// this thread had met it.
//
// `measure`: the bytes each deleted file held are counted also in an
// unguarded plan, from the look at it before its deletion, which every
// file then gets (else an unguarded plan counts no bytes).
CleanReport ExecuteCleanPlan(
    const CleanPlan& plan, const CleanSettings& options, FileSystem& files,
    const std::function<void(std::size_t done, std::size_t total)>& progress = {},
    const std::function<void()>& reachingTheBin = {}, bool measure = false);
