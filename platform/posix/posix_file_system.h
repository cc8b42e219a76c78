#pragma once

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/posix/posix_directory_walk.h"

struct stat;

// FileSystem on POSIX calls. The attribute word is made from lstat:
// read-only is a missing owner write bit, hidden a name beginning with '.',
// system anything that is neither a regular file, a symbolic link nor a
// directory (sockets, FIFOs, device nodes). Only the owner write bit can be
// cleared or given back; links are never followed. A path too long for the
// system to open at once is reached name by name. A read-only file with
// other hard links keeps its mode on those links when this one is removed.
class PosixFileSystem : public FileSystem {
 public:
  PosixFileSystem() = default;
  ~PosixFileSystem() override { EndBatch(); }
  PosixFileSystem(const PosixFileSystem&) = delete;
  PosixFileSystem& operator=(const PosixFileSystem&) = delete;

  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override;
  void BeginBatch() override { batching_ = true; }
  void EndBatch() override;
  int LastError() const override { return lastError_; }
  bool MeansGone(int error) const override { return error == ENOENT || error == ENOTDIR; }
  std::string ErrorText(int error) const override;
  std::size_t DirectoryBudget() const override;
  bool LooksFromAnotherThread() const override { return true; }
  // Nothing but the last error, the batch and a linked file is kept between
  // calls: another object is all another thread needs.
  std::unique_ptr<FileSystem> ForAnotherThread() override {
    return std::make_unique<PosixFileSystem>();
  }
  // Linux only: read from /proc.
  std::shared_ptr<FilesInUse> FindFilesInUse() override;

 private:
  // Where a path's last name is to be looked up: a directory descriptor
  // (or AT_FDCWD) and the name relative to it. found() is false when the
  // path's directory isn't the one the file was listed in, or can't be
  // opened to tell. A directory opened for this one call alone is closed
  // with the location.
  class Location;
  Location Locate(const std::string& path, const ListedIn& listedIn);

  // Which file a call was about, to tell whether the next call is about the
  // same one: its path (directory -1), or its name in a directory opened.
  struct FileKey {
    int directory;
    std::string name;
    bool operator==(const FileKey&) const = default;
  };
  bool MakeLinkedFileWritable(const FileKey& key, int directory, const char* name,
                              const struct stat& status);
  void ReleaseLinkedFile();
  bool RestoreLinkedFile(const FileKey& key, bool& restored);
  bool SetOwnerWritable(const std::string& path, bool writable, const ListedIn& listedIn);
  bool SetOwnerWritableAt(const FileKey& key, int directory, const char* name, bool writable);
  bool SetNormalAt(const FileKey& key, int directory, const char* name, FileAttributes current);
  bool RemoveAt(const FileKey& key, int directory, const char* name);
  // Keeps `error` (by default errno) for LastError(); false.
  bool Failed(int error = errno);

  FileAttributes DoGetAttributes(const std::string& path, const ListedIn& listedIn) override;
  bool DoSetNormal(const std::string& path, FileAttributes current,
                   const ListedIn& listedIn) override;
  bool DoRestoreAttributes(const std::string& path, FileAttributes saved,
                           const ListedIn& listedIn) override;
  bool DoRemoveFile(const std::string& path, const ListedIn& listedIn) override;
  FileStatus DoStatus(const std::string& path, const ListedIn& listedIn) override;
  FileStatus DoStatusIn(Directory& directory, const char* name) override;
  FileAttributes DoGetAttributesIn(Directory& directory, const char* name) override;
  bool DoSetNormalIn(Directory& directory, const char* name, FileAttributes current) override;
  bool DoRestoreAttributesIn(Directory& directory, const char* name, FileAttributes saved) override;
  bool DoRemoveFileIn(Directory& directory, const char* name) override;

  // A read-only file with other names, made writable through this
  // descriptor by the last SetNormal, with the mode it had before.
  struct LinkedFile {
    int fd;
    bool pathOnly;  // opened only to name the file
    unsigned mode;
    FileKey key;
  };

  bool batching_ = false;
  PosixDirectoryWalk walk_;  // the directories held open during a batch
  std::optional<LinkedFile> linkedFile_;
  int lastError_ = 0;
};
