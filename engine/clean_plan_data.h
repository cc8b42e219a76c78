#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/clean_plan.h"
#include "platform/trash_folders.h"

// How a plan is kept: names rather than paths, each directory once. The
// files of one directory come one after another, so a directory record
// tells where its run of files begins, and a file needs only where its name
// begins among its directory's names. Deques grow without copying what they
// hold, so a plan never needs twice its size while it is gathered.
struct CleanPlan::Data {
  static constexpr std::uint32_t kNoParent = UINT32_MAX;

  // A directory a sweep listed, or one file the user named.
  struct Folder {
    std::uint32_t parent = kNoParent;  // index in `folders`; kNoParent at a sweep's start
    std::uint32_t group = 0;
    bool named = false;     // `name` is the whole path of one file the user named
    bool bin = false;       // a bin folder of the trash, emptied by the bin's own rules
    bool repeated = false;  // another folder of the plan lies in the same directory
    std::string name;       // within the parent; at a sweep's start the path it was given
    std::string names;      // the names of its gathered files, each ended by '\0'
    std::size_t firstFile = 0;
    DirectoryIdentity identity;
    // Kept open since the sweep listed it, while the file system's budget
    // lasted: its files are deleted in it without looking a path up again.
    std::shared_ptr<Directory> held;
  };

  // A file as it was at gathering, in a guarded plan. Its device is its
  // folder's, but for the few files on another (otherDevices): a plan of a
  // million files is kept in a few tens of megabytes.
  struct Seen {
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t born = 0;
    SpareReason spare = SpareReason::kNone;
    bool missing = false;      // nothing (readable) was there
    bool otherDevice = false;  // not on its folder's device
  };

  std::deque<Folder> folders;
  std::deque<std::uint32_t> nameAt;  // of each file, in its folder's names
  std::deque<Seen> seen;             // of each file; empty in an unguarded plan
  // The device of each file of `seen` not on its folder's, by file.
  std::unordered_map<std::size_t, std::uint64_t> otherDevices;
  // Of each file of an unguarded plan, the inode its listing gave (0 for
  // none, and for a named file); empty in a guarded plan.
  std::deque<std::uint64_t> listedInode;
  // The files running processes held open, found while the plan was
  // gathered, from when; nothing where the file system can't tell.
  std::shared_ptr<FilesInUse> inUse;
  std::chrono::steady_clock::time_point inUseSince;
  std::vector<PlanGroup> groups;
  bool guarded = false;
  bool hiddenAllowed = false;  // under the options the plan was gathered with
  std::uint64_t totalBytes = 0;
  // The bin was asked to be emptied; its folders were found in `trash`.
  bool binAsked = false;
  TrashFolders* trash = nullptr;

  std::size_t FolderOf(std::size_t file) const;
  // The device a guarded plan's file was seen on.
  std::uint64_t DeviceOf(std::size_t folder, std::size_t file) const {
    return seen[file].otherDevice ? otherDevices.at(file) : folders[folder].identity.device;
  }
  // The end of the folder's run of files.
  std::size_t EndOf(std::size_t folder) const {
    return folder + 1 < folders.size() ? folders[folder + 1].firstFile : nameAt.size();
  }
  std::string FolderPath(std::size_t folder) const;
  std::string FilePath(std::size_t folder, std::size_t file) const;
  const char* NameOf(std::size_t folder, std::size_t file) const {
    return folders[folder].names.data() + nameAt[file];
  }
};
