#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/clean_plan_data.h"
#include "engine/in_use_check.h"
#include "engine/look_ahead.h"
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
// file it is.
Fate DeleteUnguarded(Target& target, bool checkNeeded, const FileStatus* looked,
                     const InUseCheck& inUse, const CleanSettings& options, bool inBin,
                     FileSystem& files, int& failure) {
  if (!checkNeeded) {
    if (target.Remove()) return Fate::kDeleted;
    // Gone, a directory now, or refused: the check tells which.
    looked = nullptr;
  }
  const bool whole = looked || (checkNeeded && inUse.Active());
  FileStatus status;
  if (looked)
    status = *looked;
  else if (whole)
    status = target.Status();
  else
    status.attributes = target.Attributes();
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
Fate DeleteGuarded(Target& target, const Seen& seen, const InUseCheck& inUse,
                   const CleanSettings& options, bool inBin, FileSystem& files, int& failure) {
  const FileStatus now = target.Status();
  if (now.attributes == kInvalidAttributes)
    return seen.missing ? Fate::kVanished : Unreadable(now.error, files, failure);
  if (seen.missing || now.device != seen.device || now.inode != seen.inode ||
      now.size != seen.size || now.modified != seen.modified || now.born != seen.born)
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

}  // namespace

CleanReport ExecuteCleanPlan(
    const CleanPlan& plan, const CleanSettings& options, FileSystem& files,
    const std::function<void(std::size_t done, std::size_t total)>& progress,
    const std::function<void()>& reachingTheBin) {
  const CleanPlan::Data& data = plan.data();
  const std::size_t total = plan.Count();
  // Where no option could spare a file, a swept file of an unguarded plan is
  // removed without looking at it first; the look follows only when the
  // removal fails. Its name tells whether it is hidden.
  const bool anyKindAllowed = options.m_bDelReadOnlyFiles && options.m_bDelSystemFiles;
  // Else every file gets a look, which the second thread can take ahead.
  std::optional<LookAhead> ahead;
  if (!data.guarded && !anyKindAllowed && files.LooksFromAnotherThread() && total > 0)
    ahead.emplace(data, files, kLookAhead);
  InUseCheck inUse(data, files);
  CleanReport report;
  report.groups.resize(data.groups.size());
  ScopedFileBatch batch(files);
  FolderPaths paths(data);
  std::string folderPath;
  bool binReached = false;
  const auto reachTheBin = [&] {
    if (binReached || !data.binAsked) return;
    binReached = true;
    if (reachingTheBin) reachingTheBin();
  };
  std::optional<BinInTurn> bin;
  for (std::size_t folder = 0; folder < data.folders.size(); ++folder) {
    const Folder& record = data.folders[folder];
    folderPath = record.named ? record.name : paths.Enter(folder);
    bin.reset();
    if (record.bin) {
      reachTheBin();
      if (record.firstFile < data.EndOf(folder))
        bin.emplace(files, *data.trash, folderPath, record.identity);
    }
    // The files removed without a look are told apart by their listed
    // inodes, once a look at the first shows those can be trusted here.
    const bool unlooked =
        !data.guarded && !record.named && !record.bin && anyKindAllowed && inUse.Active();
    if (unlooked && record.firstFile < data.EndOf(folder)) {
      Target first(files, record, data.NameOf(folder, record.firstFile), folderPath);
      inUse.EnterFolder(record.identity, first.Status(), data.listedInode[record.firstFile]);
    }
    for (std::size_t file = record.firstFile, end = data.EndOf(folder); file < end; ++file) {
      const char* name = data.NameOf(folder, file);
      Target target(files, record, name, folderPath);
      int failure = 0;
      Fate fate;
      if (bin && !bin->Verified()) {
        fate = Fate::kVanished;  // the bin is no longer where its files were listed
      } else if (data.guarded) {
        fate = DeleteGuarded(target, data.seen[file], inUse, options, record.bin, files, failure);
      } else {
        const bool checkNeeded = record.named || record.bin || !anyKindAllowed ||
                                 (name[0] == '.' && !options.m_bDelHiddenFiles) ||
                                 (unlooked && inUse.FolderNeedsLooks());
        const FileStatus* looked = ahead ? ahead->Take(file) : nullptr;
        if (!checkNeeded && unlooked && inUse.ListedInUse(data.listedInode[file]))
          fate = Fate::kInUse;
        else
          fate = DeleteUnguarded(target, checkNeeded, looked, inUse, options, record.bin, files,
                                 failure);
      }
      if (ahead) ahead->Done(file);
      if (fate == Fate::kDeleted && record.bin)
        data.trash->ForgetDeletedFile(folderPath, record.identity, name);
      const std::uint64_t size = data.guarded ? data.seen[file].size : 0;
      Count(report, fate, size);
      CountInGroup(report.groups[record.group], fate, size);
      if (fate == Fate::kFailed)
        report.failures.push_back(
            {data.FilePath(folder, file), failure ? files.ErrorText(failure) : "unknown error"});
      if (progress && (file + 1) % kProgressEvery == 0) progress(file + 1, total);
    }
  }
  bin.reset();
  reachTheBin();
  if (progress) progress(total, total);
  return report;
}
