#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// FileSystem on POSIX calls. The attribute word is made from lstat:
// read-only is a missing owner write bit, hidden a name beginning with '.',
// system anything that is neither a regular file, a symbolic link nor a
// directory (sockets, FIFOs, device nodes). Only the owner write bit can be
// cleared or given back; links are never followed.
class PosixFileSystem : public FileSystem {
 public:
  PosixFileSystem() = default;
  ~PosixFileSystem() override { EndBatch(); }
  PosixFileSystem(const PosixFileSystem&) = delete;
  PosixFileSystem& operator=(const PosixFileSystem&) = delete;

  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override;
  void BeginBatch() override { batching_ = true; }
  void EndBatch() override;

 private:
  // Where a path's last name is to be looked up: a directory descriptor
  // (or AT_FDCWD) and the name relative to it. found() is false when the
  // path's directory isn't the one the file was listed in, or can't be
  // opened to tell. A directory opened for this one call alone is closed
  // with the location.
  class Location;
  Location Locate(const std::string& path, const ListedIn& listedIn);
  // Opens `directory` as the one held for the batch, and notes which it is.
  void Hold(std::string_view directory);

  FileAttributes DoGetAttributes(const std::string& path, const ListedIn& listedIn) override;
  bool DoSetNormal(const std::string& path, FileAttributes current,
                   const ListedIn& listedIn) override;
  bool DoRestoreAttributes(const std::string& path, FileAttributes saved,
                           const ListedIn& listedIn) override;
  bool DoRemoveFile(const std::string& path, const ListedIn& listedIn) override;
  bool SetOwnerWritable(const std::string& path, bool writable, const ListedIn& listedIn);

  bool batching_ = false;
  std::string heldPath_;  // the directory held open during a batch
  int heldDirectory_ = -1;
  std::optional<DirectoryIdentity> heldIdentity_;  // read once, when it was opened
};
