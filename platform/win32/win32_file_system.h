#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/win32/nt_files.h"

// FileSystem on Win32 and NT calls. Directories are handles, listed through
// the handle; every file is opened by its single name relative to its
// directory's handle, never through a reparse point, so that no path length
// limit applies and nothing a name was swapped for leads elsewhere. A
// directory's identity is its volume's serial number and its file id. The
// attribute word is the file's real one. A file is deleted through a handle
// opened on it in the directory that was checked; a file another program
// holds open without sharing deletion fails to delete.
//
// Clearing read-only on a file with other hard links clears it for all of
// them (attributes belong to the file, not the name): once this name is
// deleted, the file's other names get read-only back.
class Win32FileSystem : public FileSystem {
 public:
  Win32FileSystem() = default;
  ~Win32FileSystem() override { EndBatch(); }
  Win32FileSystem(const Win32FileSystem&) = delete;
  Win32FileSystem& operator=(const Win32FileSystem&) = delete;

  // The directory named is opened as named, also through a junction or a
  // link; only what lies inside it is never followed.
  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override;
  void BeginBatch() override { batching_ = true; }
  void EndBatch() override;
  int LastError() const override { return lastError_; }
  std::size_t DirectoryBudget() const override;
  bool LooksFromAnotherThread() const override { return true; }

 private:
  // Which file a call was about: its path (directory null), or its name in
  // a directory opened.
  struct FileKey {
    HANDLE directory;
    std::string name;
    bool operator==(const FileKey&) const = default;
  };
  // The directory of a path and the name in it; `directory` is null when
  // the path's directory isn't the one the file was listed in, or can't be
  // opened.
  struct Located {
    HANDLE directory = nullptr;
    std::wstring name;
  };
  Located Locate(const std::string& path, const ListedIn& listedIn);

  FileStatus StatusAt(HANDLE directory, const std::wstring& name);
  bool SetNormalAt(const FileKey& key, HANDLE directory, const std::wstring& name,
                   FileAttributes current);
  bool RestoreAt(const FileKey& key, HANDLE directory, const std::wstring& name,
                 FileAttributes saved);
  bool RemoveAt(const FileKey& key, HANDLE directory, const std::wstring& name);
  void ReleaseLinkedFile() { linkedFile_.reset(); }
  // Keeps `error` for LastError(); false.
  bool Failed(int error);

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

  // A read-only file with other names, made writable by the last SetNormal
  // through this handle, with the attributes it had before.
  struct LinkedFile {
    UniqueHandle handle;
    DWORD attributes;
    FileKey key;
  };

  bool batching_ = false;
  // The directory of the last path, held during a batch.
  std::wstring heldPath_;
  UniqueHandle held_;
  std::optional<DirectoryIdentity> heldIdentity_;
  // The directory opened for one call outside a batch.
  UniqueHandle single_;
  std::optional<LinkedFile> linkedFile_;
  int lastError_ = 0;
};
