#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// One name of a directory listing. `name` stays valid until the next call
// to Next() on the same directory.
struct DirectoryEntry {
  std::string_view name;
  bool isDirectory = false;  // a real directory; a link to one is not
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
