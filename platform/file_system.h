#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files_in_use.h"

// The attribute word of a file, in the bits the cleaner judges files by.
using FileAttributes = std::uint32_t;
inline constexpr FileAttributes kAttributeReadOnly = 0x01;
inline constexpr FileAttributes kAttributeHidden = 0x02;
inline constexpr FileAttributes kAttributeSystem = 0x04;
inline constexpr FileAttributes kAttributeDirectory = 0x10;
inline constexpr FileAttributes kAttributeNormal = 0x80;
// What GetAttributes answers when the attributes can't be read: every bit
// set, so the file counts as hidden, read-only, system and a directory.
inline constexpr FileAttributes kInvalidAttributes = 0xFFFFFFFF;

// Which directory on disk a directory is: the same pair names the same
// directory for as long as it exists, whatever path leads to it.
struct DirectoryIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const DirectoryIdentity&, const DirectoryIdentity&) = default;
};

// The directory a gathered file was listed in. A call given one acts on the
// file only while the directory its path leads to is still that directory:
// a path whose directory was since replaced (say by a link to another one)
// names a file that is gone. Nothing means the path is taken as named.
using ListedIn = std::optional<DirectoryIdentity>;

// What one look at a file tells: its attribute word and, where it could be
// read, which file it is, how big it is and when its contents last changed.
struct FileStatus {
  FileAttributes attributes = kInvalidAttributes;
  int error = 0;  // the system's error number when the file couldn't be looked at
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since 1970
  // When the file was made, where the file system tells it; else when its
  // status last changed. Unlike the modification time no program can set
  // it, so a file deleted and made anew under its name, even with the freed
  // inode number, its size and its time, shows here as another file.
  std::int64_t born = 0;  // nanoseconds since 1970
};

// One name of a directory listing. `name` stays valid until the next call
// to Next() on the same directory.
struct DirectoryEntry {
  std::string_view name;
  bool isDirectory = false;  // a real directory; a link to one is not
  // The inode the listing gives; 0 where it gives none. It need not be the
  // one a look at the file gives (some file systems stack others).
  std::uint64_t inode = 0;
};

// An open directory, read once from start to end.
class Directory {
 public:
  virtual ~Directory() = default;
  // The next entry in listing order, "." and ".." left out. False at the
  // end, or when the listing can't be read any further.
  virtual bool Next(DirectoryEntry& entry) = 0;
  // Opens the sub-directory `name` of this directory, never through a
  // symbolic link. Nothing when it can't be opened.
  virtual std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) = 0;
  // Opens the directory this one lies in (its ".."), never through a
  // symbolic link. Nothing when it can't be opened. Which directory that is
  // depends on where this one has been moved meanwhile: the caller checks
  // its identity.
  virtual std::unique_ptr<Directory> OpenParent() = 0;
  // Which directory this is; nothing when that can't be told. Its device
  // tells which file system it lies on.
  virtual std::optional<DirectoryIdentity> Identity() = 0;
  // Which mount this directory was reached through. It tells apart a
  // directory mounted here from elsewhere on the same disk (a bind mount),
  // which the device does not. Nothing where the system can't tell.
  virtual std::optional<std::uint64_t> Mount() { return std::nullopt; }
  // The listing is over (Next() answered false): what reading it needed can
  // be freed. The directory stays open for the calls above and for the
  // file system's calls on the files listed in it.
  virtual void FinishListing() {}
};

// The files and directories the engine reads and deletes. Paths are narrow
// strings passed to the system unchanged, whatever bytes they hold.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens `path` for listing, or nothing when it can't be opened.
  virtual std::unique_ptr<Directory> OpenDirectory(const std::string& path) = 0;

  // The attribute word of `path` itself (a link's own, not its target's),
  // or kInvalidAttributes.
  FileAttributes GetAttributes(const std::string& path, const ListedIn& listedIn = {}) {
    return DoGetAttributes(path, listedIn);
  }

  // Clears what can be cleared of `current`, the word GetAttributes has just
  // given for `path`. True when the file is now normal; false when `current`
  // is kInvalidAttributes or the change failed.
  bool SetNormal(const std::string& path, FileAttributes current, const ListedIn& listedIn = {}) {
    return DoSetNormal(path, current, listedIn);
  }

  // Gives `path` back the attributes `saved` that GetAttributes gave before
  // SetNormal. False when `saved` is kInvalidAttributes or the change failed.
  bool RestoreAttributes(const std::string& path, FileAttributes saved,
                         const ListedIn& listedIn = {}) {
    return DoRestoreAttributes(path, saved, listedIn);
  }

  // Removes the name `path`, whatever its attributes; a symbolic link is
  // removed itself, never its target. A directory is never removed. True
  // when this call removed it.
  bool RemoveFile(const std::string& path, const ListedIn& listedIn = {}) {
    return DoRemoveFile(path, listedIn);
  }

  // What lstat tells of `path` itself; the attribute word as GetAttributes
  // gives it.
  FileStatus Status(const std::string& path, const ListedIn& listedIn = {}) {
    return DoStatus(path, listedIn);
  }

  // The calls above on the file `name` listed in `directory`, a directory
  // this file system opened. They act in that very directory, wherever it
  // has been moved since, and never look a path up: nothing can lead them
  // elsewhere. `name` is one name, without separator.
  FileStatus StatusIn(Directory& directory, const char* name) {
    return DoStatusIn(directory, name);
  }
  FileAttributes GetAttributesIn(Directory& directory, const char* name) {
    return DoGetAttributesIn(directory, name);
  }
  bool SetNormalIn(Directory& directory, const char* name, FileAttributes current) {
    return DoSetNormalIn(directory, name, current);
  }
  bool RestoreAttributesIn(Directory& directory, const char* name, FileAttributes saved) {
    return DoRestoreAttributesIn(directory, name, saved);
  }
  bool RemoveFileIn(Directory& directory, const char* name) {
    return DoRemoveFileIn(directory, name);
  }

  // The system's error number of the last call that failed, where the file
  // system can tell; 0 otherwise.
  virtual int LastError() const { return 0; }
  // Whether the error number says the file is gone (no such file, or a
  // directory on its path is gone): a deletion that meets it had nothing
  // left to do.
  virtual bool MeansGone(int /*error*/) const { return false; }
  // The system's words for an error number, for reports.
  virtual std::string ErrorText(int error) const { return "error " + std::to_string(error); }

  // Whether StatusIn, and the calls of directories this file system opened,
  // may be made on another thread while this one makes the other calls (on
  // other files and directories).
  virtual bool LooksFromAnotherThread() const { return false; }

  // A file system over the same files for a second thread to delete with
  // while this one does: the same calls, with what they keep between calls
  // (the last error, a batch) its own. It takes the directories this one
  // opened. Nothing where the calls must all come from one thread.
  virtual std::unique_ptr<FileSystem> ForAnotherThread() { return nullptr; }

  // Starts finding the files running processes hold open or mapped, on a
  // thread of its own, and returns at once. Nothing where the system can't
  // tell, or refuses to delete such files itself.
  virtual std::shared_ptr<FilesInUse> FindFilesInUse() { return nullptr; }

  // How many directories a caller may keep open (for the calls on files in
  // them) besides those the file system holds itself. Beyond it, files are
  // reached by their paths. 0: none.
  virtual std::size_t DirectoryBudget() const { return 0; }

  // Between these two, the calls above may keep the directory of the last
  // path open and look the next name up in it when the next path lies in
  // the same directory, instead of walking the whole path again. A directory
  // moved away meanwhile is then still the one used, and a call given the
  // directory its file was listed in acts only when the held one is that
  // directory. Meant for one run of
  // calls over many gathered files; batches don't nest. ScopedFileBatch
  // holds one.
  virtual void BeginBatch() {}
  virtual void EndBatch() {}

 private:
  // What the calls above do; `listedIn` as they were given it.
  virtual FileAttributes DoGetAttributes(const std::string& path, const ListedIn& listedIn) = 0;
  virtual bool DoSetNormal(const std::string& path, FileAttributes current,
                           const ListedIn& listedIn) = 0;
  virtual bool DoRestoreAttributes(const std::string& path, FileAttributes saved,
                                   const ListedIn& listedIn) = 0;
  virtual bool DoRemoveFile(const std::string& path, const ListedIn& listedIn) = 0;
  // Only the attribute word, unless the file system tells more.
  virtual FileStatus DoStatus(const std::string& path, const ListedIn& listedIn) {
    FileStatus status;
    status.attributes = DoGetAttributes(path, listedIn);
    return status;
  }
  // A file system whose DirectoryBudget() is 0 needs none of these.
  virtual FileStatus DoStatusIn(Directory&, const char*) { return {}; }
  virtual FileAttributes DoGetAttributesIn(Directory& directory, const char* name) {
    return DoStatusIn(directory, name).attributes;
  }
  virtual bool DoSetNormalIn(Directory&, const char*, FileAttributes) { return false; }
  virtual bool DoRestoreAttributesIn(Directory&, const char*, FileAttributes) { return false; }
  virtual bool DoRemoveFileIn(Directory&, const char*) { return false; }
};

// Holds a batch of calls on a file system for one scope.
class ScopedFileBatch {
 public:
  explicit ScopedFileBatch(FileSystem& files) : files_(files) { files_.BeginBatch(); }
  ~ScopedFileBatch() { files_.EndBatch(); }
  ScopedFileBatch(const ScopedFileBatch&) = delete;
  ScopedFileBatch& operator=(const ScopedFileBatch&) = delete;

 private:
  FileSystem& files_;
};
