#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/clean_plan_data.h"
#include "engine/look_ahead.h"
#include "engine/sweep.h"

namespace {

using Folder = CleanPlan::Data::Folder;
using Seen = CleanPlan::Data::Seen;

constexpr std::size_t kProgressEvery = 1024;

enum class Fate { kDeleted, kHidden, kReadOnly, kSystem, kFailed, kVanished, kChanged };

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
Fate Unreadable(int error, int& failure) {
  if (error == 0 || error == ENOENT || error == ENOTDIR) return Fate::kVanished;
  failure = error;
  return Fate::kFailed;
}

// The deletion options' rules once the file's attributes are known, as
// DeleteListedFile has them: spared, not a file, or made normal and
// removed, with its attributes given back when the removal fails.
Fate DeleteWithAttributes(Target& target, FileAttributes attributes, const CleanSettings& options,
                          FileSystem& files, int& failure) {
  switch (SpareReasonOf(attributes, options)) {
    case SpareReason::kHidden:
      return Fate::kHidden;
    case SpareReason::kReadOnly:
      return Fate::kReadOnly;
    case SpareReason::kSystem:
      return Fate::kSystem;
    case SpareReason::kNone:
      break;
  }
  // Not (or no longer) a file: nothing a deletion could remove.
  if (attributes & kAttributeDirectory) return Fate::kVanished;
  target.SetNormal(attributes);
  if (target.Remove()) return Fate::kDeleted;
  failure = files.LastError();
  target.Restore(attributes);
  return Fate::kFailed;
}

// `looked`: the file's status, looked at just before on another thread.
Fate DeleteUnguarded(Target& target, bool checkNeeded, const FileStatus* looked,
                     const CleanSettings& options, FileSystem& files, int& failure) {
  if (!checkNeeded) {
    if (target.Remove()) return Fate::kDeleted;
    // Gone, a directory now, or refused: the check tells which.
    looked = nullptr;
  }
  const FileAttributes attributes = looked ? looked->attributes : target.Attributes();
  if (attributes == kInvalidAttributes)
    return Unreadable(looked ? looked->error : files.LastError(), failure);
  if (!checkNeeded && !(attributes & (kAttributeReadOnly | kAttributeDirectory))) {
    failure = files.LastError();
    return Fate::kFailed;
  }
  return DeleteWithAttributes(target, attributes, options, files, failure);
}

Fate DeleteGuarded(Target& target, const Seen& seen, const CleanSettings& options,
                   FileSystem& files, int& failure) {
  const FileStatus now = target.Status();
  if (now.attributes == kInvalidAttributes)
    return seen.missing ? Fate::kVanished : Unreadable(now.error, failure);
  if (seen.missing || now.device != seen.device || now.inode != seen.inode ||
      now.size != seen.size || now.modified != seen.modified)
    return Fate::kChanged;
  return DeleteWithAttributes(target, now.attributes, options, files, failure);
}

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
    const std::function<void(std::size_t done, std::size_t total)>& progress) {
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
  CleanReport report;
  ScopedFileBatch batch(files);
  FolderPaths paths(data);
  std::string folderPath;
  for (std::size_t folder = 0; folder < data.folders.size(); ++folder) {
    const Folder& record = data.folders[folder];
    folderPath = record.named ? record.name : paths.Enter(folder);
    for (std::size_t file = record.firstFile, end = data.EndOf(folder); file < end; ++file) {
      const char* name = data.NameOf(folder, file);
      Target target(files, record, name, folderPath);
      int failure = 0;
      Fate fate;
      if (data.guarded) {
        fate = DeleteGuarded(target, data.seen[file], options, files, failure);
      } else {
        const bool checkNeeded =
            record.named || !anyKindAllowed || (name[0] == '.' && !options.m_bDelHiddenFiles);
        fate = DeleteUnguarded(target, checkNeeded, ahead ? ahead->Take(file) : nullptr, options,
                               files, failure);
        if (ahead) ahead->Done(file);
      }
      Count(report, fate, data.guarded ? data.seen[file].size : 0);
      // strerror's buffer is shared; the run's second threads never call it.
      if (fate == Fate::kFailed)
        report.failures.push_back({data.FilePath(folder, file),
                                   failure
                                       ? std::strerror(failure)  // NOLINT(concurrency-mt-unsafe)
                                       : "unknown error"});
      if (progress && (file + 1) % kProgressEvery == 0) progress(file + 1, total);
    }
  }
  if (progress) progress(total, total);
  return report;
}
