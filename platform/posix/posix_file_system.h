#pragma once

#include <string>

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
  FileAttributes GetAttributes(const std::string& path) override;
  bool SetNormal(const std::string& path, FileAttributes current) override;
  bool RestoreAttributes(const std::string& path, FileAttributes saved) override;
  bool RemoveFile(const std::string& path) override;
  void BeginBatch() override { batching_ = true; }
  void EndBatch() override;

 private:
  // Where a path's last name is to be looked up: a directory descriptor
  // (or AT_FDCWD) and the name relative to it.
  struct Location {
    int directory;
    const char* name;
  };
  Location Locate(const std::string& path);
  bool SetOwnerWritable(const std::string& path, bool writable);

  bool batching_ = false;
  std::string heldPath_;  // the directory held open during a batch
  int heldDirectory_ = -1;
};
