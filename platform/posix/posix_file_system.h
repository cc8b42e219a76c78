#pragma once

#include "platform/file_system.h"

// FileSystem on POSIX calls. The attribute word is made from lstat:
// read-only is a missing owner write bit, hidden a name beginning with '.',
// system anything that is neither a regular file, a symbolic link nor a
// directory (sockets, FIFOs, device nodes). Only the owner write bit can be
// cleared or given back; links are never followed.
class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override;
  FileAttributes GetAttributes(const std::string& path) override;
  bool SetNormal(const std::string& path, FileAttributes current) override;
  bool RestoreAttributes(const std::string& path, FileAttributes saved) override;
  bool RemoveFile(const std::string& path) override;
};
