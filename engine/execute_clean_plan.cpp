#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/clean_plan_data.h"
#include "engine/folder_claims.h"
#include "engine/in_use_check.h"
#include "engine/look_ahead.h"
#include "engine/second_thread.h"
#include "engine/sweep.h"

namespace {

using Folder = CleanPlan::Data::Folder;
using Seen = CleanPlan::Data::Seen;

constexpr std::size_t kProgressEvery = 1024;

enum class Fate { kDeleted, kHidden, kReadOnly, kSystem, kInUse, kFailed, kVanished, kChanged };

// One planned file and the calls that reach it: in the directory the sweep
// kept open; else by its path, checked to lie in the directory it was listed
// in; a file the user named, by its path as named.
class Target {
 public:
  Target(FileSystem& files, const Folder& folder, const char* name, const std::string& folderPath)
      : files_(files), folder_(folder), name_(name) {
    if (folder.named)
      path_ = folder.name;
    else if (!folder.held)
      path_.append(folderPath).append(1, kPathSeparator).append(name);
  }

  FileStatus Status() {
    if (folder_.held) return files_.StatusIn(*folder_.held, name_);
    return files_.Status(path_, listedIn());
  }
  FileAttributes Attributes() {
    if (folder_.held) return files_.GetAttributesIn(*folder_.held, name_);
    return files_.GetAttributes(path_, listedIn());
  }
  void SetNormal(FileAttributes current) {
    if (folder_.held)
      files_.SetNormalIn(*folder_.held, name_, current);
    else
      files_.SetNormal(path_, current, listedIn());
  }
  void Restore(FileAttributes saved) {
    if (folder_.held)
      files_.RestoreAttributesIn(*folder_.held, name_, saved);
    else
      files_.RestoreAttributes(path_, saved, listedIn());
  }
  bool Remove() {
    if (folder_.held) return files_.RemoveFileIn(*folder_.held, name_);
    return files_.RemoveFile(path_, listedIn());
  }

 private:
  ListedIn listedIn() const {
    if (folder_.named) return std::nullopt;
    return folder_.identity;
  }

  FileSystem& files_;
  const Folder& folder_;
  const char* name_;
  std::string path_;  // where the file is reached by its path
};

// A look at the file that failed: gone, or not to be looked at.
Fate Unreadable(int error, const FileSystem& files, int& failure) {
  if (error == 0 || files.MeansGone(error)) return Fate::kVanished;
  failure = error;
  return Fate::kFailed;
}

// The deletion options' rules once the file's attributes are known, as
// DeleteListedFile has them: spared, not a file, or made normal and
// removed, with its attributes given back when the removal fails. A file
// in the bin is removed as it is, as the system's own delete would. A file
// in use stays as it is, as its deletion would fail on Windows.
Fate DeleteWithAttributes(Target& target, FileAttributes attributes, bool inUse,
                          const CleanSettings& options, bool inBin, FileSystem& files,
                          int& failure) {
  switch (inBin ? SpareReasonInBin(attributes) : SpareReasonOf(attributes, options)) {
    case SpareReason::kHidden:
      return Fate::kHidden;
    case SpareReason::kReadOnly:
      return Fate::kReadOnly;
    case SpareReason::kSystem:
      return Fate::kSystem;
    case SpareReason::kInUse:
    case SpareReason::kNone:
      break;
  }
  // Not (or no longer) a file: nothing a deletion could remove.
  if (attributes & kAttributeDirectory) return Fate::kVanished;
  if (inUse) return Fate::kInUse;
  if (!inBin) target.SetNormal(attributes);
  if (target.Remove()) return Fate::kDeleted;
  failure = files.LastError();
  if (!inBin) target.Restore(attributes);
  return Fate::kFailed;
}

// `looked`: the file's status, looked at just before on another thread.
// Where files are in use, each look is a whole one, which tells which
// file it is; so it is where the bytes are measured, which also gives a
// file removed without a check a look first. `size` gets the bytes a whole
// look found.
Fate DeleteUnguarded(Target& target, bool checkNeeded, bool measure, const FileStatus* looked,
                     const InUseCheck& inUse, const CleanSettings& options, bool inBin,
                     FileSystem& files, int& failure, std::uint64_t& size) {
  if (!checkNeeded) {
    if (measure) {
      const FileStatus status = looked ? *looked : target.Status();
      if (status.attributes != kInvalidAttributes) size = status.size;
    }
    if (target.Remove()) return Fate::kDeleted;
    // Gone, a directory now, or refused: the check tells which.
    looked = nullptr;
  }
  const bool whole = looked || (checkNeeded && (inUse.Active() || measure));
  FileStatus status;
  if (looked)
    status = *looked;
  else if (whole)
    status = target.Status();
  else
    status.attributes = target.Attributes();
  if (whole) size = status.size;
  const FileAttributes attributes = status.attributes;
  if (attributes == kInvalidAttributes)
    return Unreadable(whole ? status.error : files.LastError(), files, failure);
  if (!checkNeeded && !(attributes & (kAttributeReadOnly | kAttributeDirectory))) {
    failure = files.LastError();
    return Fate::kFailed;
  }
  return DeleteWithAttributes(target, attributes, checkNeeded && inUse.Holds(status), options,
                              inBin, files, failure);
}

// A file found in use when the plan was shown stays, even if it is no
// longer: the preview said so.
Fate DeleteGuarded(Target& target, const Seen& seen, std::uint64_t device, const InUseCheck& inUse,
                   const CleanSettings& options, bool inBin, FileSystem& files, int& failure) {
  const FileStatus now = target.Status();
  if (now.attributes == kInvalidAttributes)
    return seen.missing ? Fate::kVanished : Unreadable(now.error, files, failure);
  if (seen.missing || now.device != device || now.inode != seen.inode || now.size != seen.size ||
      now.modified != seen.modified || now.born != seen.born)
    return Fate::kChanged;
  return DeleteWithAttributes(target, now.attributes,
                              seen.spare == SpareReason::kInUse || inUse.Holds(now), options, inBin,
                              files, failure);
}

// A bin folder while its files are deleted: checked to be still its
// trash's own and the directory they were listed in, and made normal for
// the time (a read-only bin could not be emptied otherwise); it gets its
// attributes back after.
class BinInTurn {
 public:
  BinInTurn(FileSystem& files, TrashFolders& trash, const std::string& path,
            const DirectoryIdentity& listed)
      : files_(files), path_(path), verified_(trash.VerifyBinFolder(path) == listed) {
    if (!verified_) return;
    saved_ = files_.GetAttributes(path_);
    files_.SetNormal(path_, saved_);
  }
  ~BinInTurn() {
    if (verified_) files_.RestoreAttributes(path_, saved_);
  }
  BinInTurn(const BinInTurn&) = delete;
  BinInTurn& operator=(const BinInTurn&) = delete;

  bool Verified() const { return verified_; }

 private:
  FileSystem& files_;
  const std::string path_;
  const bool verified_;
  FileAttributes saved_ = kInvalidAttributes;
};

// The paths of the folders in the plan's order, each made from its
// parent's as the sweep made them, so that a deep tree costs no more than
// a flat one.
class FolderPaths {
 public:
  explicit FolderPaths(const CleanPlan::Data& plan) : plan_(plan) {}

  // Called for every folder that is not a named file, in order.
  const std::string& Enter(std::size_t folder) {
    const Folder& record = plan_.folders[folder];
    while (!entered_.empty() && entered_.back().folder != record.parent) entered_.pop_back();
    if (record.parent == CleanPlan::Data::kNoParent || entered_.empty()) {
      path_ = plan_.FolderPath(folder);
    } else {
      path_.resize(entered_.back().length);
      path_.append(1, kPathSeparator).append(record.name);
    }
    entered_.push_back({folder, path_.size()});
    return path_;
  }

 private:
  struct Entered {
    std::size_t folder;
    std::size_t length;
  };
  const CleanPlan::Data& plan_;
  std::string path_;
  std::vector<Entered> entered_;  // the folders on path_, the outermost first
};

void CountInGroup(CleanReport::GroupOutcome& group, Fate fate, std::uint64_t size) {
  switch (fate) {
    case Fate::kDeleted:
      ++group.deleted;
      group.bytesFreed += size;
      break;
    case Fate::kFailed:
      ++group.failed;
      break;
    case Fate::kVanished:
      ++group.vanished;
      break;
    case Fate::kHidden:
    case Fate::kReadOnly:
    case Fate::kSystem:
    case Fate::kInUse:
    case Fate::kChanged:
      ++group.leftAlone;
      break;
  }
}

void Count(CleanReport& report, Fate fate, std::uint64_t size) {
  switch (fate) {
    case Fate::kDeleted:
      ++report.deleted;
      report.bytesFreed += size;
      break;
    case Fate::kHidden:
      ++report.sparedHidden;
      break;
    case Fate::kReadOnly:
      ++report.sparedReadOnly;
      break;
    case Fate::kSystem:
      ++report.sparedSystem;
      break;
    case Fate::kInUse:
      ++report.inUse;
      break;
    case Fate::kFailed:
      ++report.failed;
      break;
    case Fate::kVanished:
      ++report.vanished;
      break;
    case Fate::kChanged:
      ++report.changed;
      break;
  }
}

// How far the second thread looks ahead of the deletions. Wide enough
// that it rarely waits and works on files the first thread has not touched
// lately (the two then seldom pull the same data back and forth between
// their processors); it bounds the time between a file's look and its
// deletion to that of deleting as many files, some tens of milliseconds.
constexpr std::size_t kLookAhead = 4096;

// The folders before the bin's, which come last.
std::size_t FirstBinFolder(const CleanPlan::Data& data) {
  std::size_t folder = 0;
  while (folder < data.folders.size() && !data.folders[folder].bin) ++folder;
  return folder;
}

// Files done by every deleting thread, and the progress told of them on
// the first one.
class Progress {
 public:
  Progress(const std::function<void(std::size_t, std::size_t)>& tell, std::size_t total)
      : tell_(tell), total_(total) {}
  void OneDone() {
    if (tell_) done_.fetch_add(1, std::memory_order_relaxed);
  }
  // On the first thread.
  void Tell() {
    if (!tell_) return;
    const std::size_t done = done_.load(std::memory_order_relaxed);
    if (done < nextTold_) return;
    tell_(done, total_);
    nextTold_ = done - done % kProgressEvery + kProgressEvery;
  }
  void TellAllDone() {
    if (tell_) tell_(total_, total_);
  }

 private:
  const std::function<void(std::size_t, std::size_t)>& tell_;
  const std::size_t total_;
  std::atomic<std::size_t> done_{0};
  std::size_t nextTold_ = kProgressEvery;
};

// One thread's deletions: its own calls on the file system, its own check
// of files in use, its own counts. Every folder is entered in the plan's
// order, also those another thread deletes, so that each path is made from
// its parent's.
class Deleter {
 public:
  Deleter(const CleanPlan::Data& data, const CleanSettings& options, FileSystem& files,
          const InUseCheck& inUse, bool measure)
      : data_(data),
        options_(options),
        files_(files),
        inUse_(inUse),
        measure_(measure),
        anyKindAllowed_(options.m_bDelReadOnlyFiles && options.m_bDelSystemFiles),
        paths_(data) {
    report_.groups.resize(data.groups.size());
  }

  const std::string& Enter(std::size_t folder) {
    const Folder& record = data_.folders[folder];
    folderPath_ = record.named ? record.name : paths_.Enter(folder);
    return folderPath_;
  }

  // Deletes the files of the folder entered last, in order, until
  // `stopping` says another thread has failed or the run is being left.
  void DeleteFiles(std::size_t folder, const BinInTurn* bin, LookAhead* ahead, Progress& progress,
                   bool tellsProgress, const std::atomic<bool>& stopping) {
    const Folder& record = data_.folders[folder];
    // Without a check, files are told apart by their listed inodes, once a
    // look at the first shows those can be trusted here.
    const bool unlooked =
        !data_.guarded && !record.named && !record.bin && anyKindAllowed_ && inUse_.Active();
    if (unlooked && record.firstFile < data_.EndOf(folder)) {
      Target first(files_, record, data_.NameOf(folder, record.firstFile), folderPath_);
      inUse_.EnterFolder(record.identity, first.Status(), data_.listedInode[record.firstFile]);
    }
    for (std::size_t file = record.firstFile, end = data_.EndOf(folder); file < end; ++file) {
      if (stopping.load(std::memory_order_relaxed)) return;
      const char* name = data_.NameOf(folder, file);
      Target target(files_, record, name, folderPath_);
      int failure = 0;
      std::uint64_t size = 0;
      Fate fate;
      if (bin && !bin->Verified()) {
        fate = Fate::kVanished;  // the bin is no longer where its files were listed
      } else if (data_.guarded) {
        const Seen& seen = data_.seen[file];
        size = seen.size;
        fate = DeleteGuarded(target, seen, data_.DeviceOf(folder, file), inUse_, options_,
                             record.bin, files_, failure);
      } else {
        const bool checkNeeded = record.named || record.bin || !anyKindAllowed_ ||
                                 (name[0] == '.' && !options_.m_bDelHiddenFiles) ||
                                 (unlooked && inUse_.FolderNeedsLooks());
        const FileStatus* looked = ahead ? ahead->Take(file) : nullptr;
        if (!checkNeeded && unlooked && inUse_.ListedInUse(data_.listedInode[file]))
          fate = Fate::kInUse;
        else
          fate = DeleteUnguarded(target, checkNeeded, measure_, looked, inUse_, options_,
                                 record.bin, files_, failure, size);
        if (!measure_) size = 0;
      }
      if (ahead) ahead->Done(file);
      if (fate == Fate::kDeleted && record.bin)
        data_.trash->ForgetDeletedFile(folderPath_, record.identity, name);
      Count(report_, fate, size);
      CountInGroup(report_.groups[record.group], fate, size);
      if (fate == Fate::kFailed)
        failures_.push_back({file,
                             {data_.FilePath(folder, file),
                              failure ? files_.ErrorText(failure) : "unknown error"}});
      progress.OneDone();
      if (tellsProgress) progress.Tell();
    }
  }

  // One of two threads' part of the folders before `folders`: those it
  // takes from `claims`, starting with `taken`, and on the first thread
  // those it keeps. Every folder is entered all the same, in order.
  void DeleteShare(FolderClaims& claims, std::size_t taken, std::size_t folders, bool first,
                   Progress& progress, const std::atomic<bool>& stopping) {
    for (std::size_t folder = 0; folder < folders && !stopping.load(); ++folder) {
      Enter(folder);
      if (folder != taken && !(first && claims.KeptByFirst(folder))) continue;
      DeleteFiles(folder, nullptr, nullptr, progress, first, stopping);
      if (folder == taken) taken = claims.Take();
    }
  }

  // This thread's counts with `other`'s added, failures in the plan's order.
  CleanReport Report(const Deleter* other) {
    if (other) {
      AddCounts(report_, other->report_);
      for (std::size_t group = 0; group < report_.groups.size(); ++group)
        AddCounts(report_.groups[group], other->report_.groups[group]);
      const auto middle = static_cast<std::ptrdiff_t>(failures_.size());
      failures_.insert(failures_.end(), other->failures_.begin(), other->failures_.end());
      std::inplace_merge(failures_.begin(), failures_.begin() + middle, failures_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    report_.failures.reserve(failures_.size());
    for (auto& [file, failure] : failures_) report_.failures.push_back(std::move(failure));
    return std::move(report_);
  }

 private:
  static void AddCounts(CleanReport& to, const CleanReport& from) {
    to.deleted += from.deleted;
    to.bytesFreed += from.bytesFreed;
    to.sparedHidden += from.sparedHidden;
    to.sparedReadOnly += from.sparedReadOnly;
    to.sparedSystem += from.sparedSystem;
    to.inUse += from.inUse;
    to.failed += from.failed;
    to.vanished += from.vanished;
    to.changed += from.changed;
  }
  static void AddCounts(CleanReport::GroupOutcome& to, const CleanReport::GroupOutcome& from) {
    to.deleted += from.deleted;
    to.bytesFreed += from.bytesFreed;
    to.leftAlone += from.leftAlone;
    to.failed += from.failed;
    to.vanished += from.vanished;
  }

  const CleanPlan::Data& data_;
  const CleanSettings& options_;
  FileSystem& files_;
  InUseCheck inUse_;
  const bool measure_;
  // Where no option could spare a file, a swept file of an unguarded plan
  // is removed without looking at it first; the look follows only when the
  // removal fails. Its name tells whether it is hidden.
  const bool anyKindAllowed_;
  FolderPaths paths_;
  std::string folderPath_;
  CleanReport report_;
  std::vector<std::pair<std::size_t, CleanReport::Failure>> failures_;  // by file
};

}  // namespace

CleanReport ExecuteCleanPlan(
    const CleanPlan& plan, const CleanSettings& options, FileSystem& files,
    const std::function<void(std::size_t done, std::size_t total)>& progress,
    const std::function<void()>& reachingTheBin, bool measure) {
  const CleanPlan::Data& data = plan.data();
  const std::size_t total = plan.Count();
  const std::size_t firstBin = FirstBinFolder(data);
  FolderClaims claims(data, firstBin);
  std::unique_ptr<FileSystem> other = claims.WorthSharing() ? files.ForAnotherThread() : nullptr;
  // On one thread, every file that gets a look can have it taken ahead on
  // a second thread.
  const bool everyFileLooked =
      !(options.m_bDelReadOnlyFiles && options.m_bDelSystemFiles) || measure;
  std::optional<LookAhead> ahead;
  if (!other && !data.guarded && everyFileLooked && files.LooksFromAnotherThread() && total > 0)
    ahead.emplace(data, files, kLookAhead);
  const InUseCheck inUse(data, files);
  Progress told(progress, total);
  std::atomic<bool> stopping{false};
  ScopedFileBatch batch(files);
  Deleter first(data, options, files, inUse, measure);
  std::optional<Deleter> second;

  if (other) {
    // Each thread starts with a folder of its own, so that both surely
    // work, then takes the next free one as it ends the last.
    const std::size_t firstTaken = claims.Take(), secondTaken = claims.Take();
    second.emplace(data, options, *other, inUse, measure);
    SecondThread thread([&](const std::stop_token& stop) {
      // Leaving early on a failure of the first thread stops this one.
      const std::stop_callback leaving(stop, [&stopping] { stopping.store(true); });
      try {
        ScopedFileBatch itsBatch(*other);
        second->DeleteShare(claims, secondTaken, firstBin, /*first=*/false, told, stopping);
      } catch (...) {
        stopping.store(true);  // the first thread stops and meets this failure at the join
        throw;
      }
    });
    first.DeleteShare(claims, firstTaken, firstBin, /*first=*/true, told, stopping);
    thread.Join();
  } else {
    for (std::size_t folder = 0; folder < firstBin; ++folder) {
      first.Enter(folder);
      first.DeleteFiles(folder, nullptr, ahead ? &*ahead : nullptr, told, true, stopping);
    }
  }

  bool binReached = false;
  const auto reachTheBin = [&] {
    if (binReached || !data.binAsked) return;
    binReached = true;
    if (reachingTheBin) reachingTheBin();
  };
  for (std::size_t folder = firstBin; folder < data.folders.size(); ++folder) {
    const Folder& record = data.folders[folder];
    const std::string& folderPath = first.Enter(folder);
    std::optional<BinInTurn> bin;
    if (record.bin) {
      reachTheBin();
      if (record.firstFile < data.EndOf(folder))
        bin.emplace(files, *data.trash, folderPath, record.identity);
    }
    first.DeleteFiles(folder, bin ? &*bin : nullptr, ahead ? &*ahead : nullptr, told, true,
                      stopping);
  }
  reachTheBin();
  told.TellAllDone();
  return first.Report(second ? &*second : nullptr);
}
