#include "platform/win32/win32_file_system.h"

#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/win32/wide_text.h"

namespace {

// What a directory handle is opened with: enough to list it, to open names
// relative to it and to tell which directory it is.
constexpr ACCESS_MASK kDirectoryAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

// The attributes a program may set; the others (directory, reparse point,
// compressed, encrypted...) the file system keeps itself.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kJudgedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Directories kept open after their listing, by every caller together.
std::atomic<std::size_t> keptDirectories{0};

constexpr std::size_t kListingBufferBytes = 64 * 1024;

std::optional<DirectoryIdentity> IdentityOf(HANDLE directory) {
  const auto info = InformationOf(directory);
  if (!info) return std::nullopt;
  return DirectoryIdentity{info->volume, info->fileId};
}

std::unique_ptr<Directory> MakeDirectory(UniqueHandle handle);

class Win32Directory : public Directory {
 public:
  explicit Win32Directory(UniqueHandle handle)
      : handle_(std::move(handle)), buffer_(new std::byte[kListingBufferBytes]) {}
  ~Win32Directory() override {
    if (!buffer_) --keptDirectories;
  }
  Win32Directory(const Win32Directory&) = delete;
  Win32Directory& operator=(const Win32Directory&) = delete;

  bool Next(DirectoryEntry& entry) override {
    if (!buffer_) return false;
    for (;;) {
      if (!current_ && !Fill()) return false;
      const auto* found = current_;
      current_ = found->NextEntryOffset
                     ? reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
                           reinterpret_cast<const std::byte*>(found) + found->NextEntryOffset)
                     : nullptr;
      const std::wstring_view wide(found->FileName, found->FileNameLength / sizeof(wchar_t));
      if (wide == L"." || wide == L"..") continue;
      name_ = NarrowFromWide(wide);
      entry.name = name_;
      // A junction or a link to a directory is listed as a directory that is
      // a reparse point: it is not a real one.
      entry.isDirectory = (found->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                          !(found->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
      return true;
    }
  }

  std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) override {
    if (!IsSingleName(name)) return nullptr;
    // A junction, a link or a mount point is never entered.
    Opened opened = OpenRealSubdirectory(handle_.Get(), WideFromNarrow(name), kDirectoryAccess);
    if (!opened.handle) return nullptr;
    return MakeDirectory(std::move(opened.handle));
  }

  std::unique_ptr<Directory> OpenParent() override {
    // The directory's own NT name ("\Device\HarddiskVolume1\a\b"), which,
    // unlike a Win32 path, has no length limit on the way back in.
    std::vector<std::byte> buffer(sizeof(UNICODE_STRING) + 65536);
    ULONG length = 0;
    if (::NtQueryObject(handle_.Get(), ObjectNameInformation, buffer.data(),
                        static_cast<ULONG>(buffer.size()), &length) < 0)
      return nullptr;
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    const std::wstring_view self(name->Buffer, name->Length / sizeof(wchar_t));
    const std::size_t slash = self.find_last_of(L'\\');
    // A volume's root ends in its separator: it has no parent.
    if (slash == std::wstring_view::npos || slash + 1 == self.size()) return nullptr;
    std::wstring parent(self.substr(0, slash));
    Opened opened = OpenRelative(nullptr, parent, kDirectoryAccess, FILE_DIRECTORY_FILE);
    // A volume's root is named with its separator; without, the volume itself.
    if (!opened.handle)
      opened = OpenRelative(nullptr, parent + L'\\', kDirectoryAccess, FILE_DIRECTORY_FILE);
    if (!opened.handle) return nullptr;
    return MakeDirectory(std::move(opened.handle));
  }

  std::optional<DirectoryIdentity> Identity() override {
    if (!looked_) {
      looked_ = true;
      identity_ = IdentityOf(handle_.Get());
    }
    return identity_;
  }

  void FinishListing() override {
    if (!buffer_) return;
    buffer_.reset();
    current_ = nullptr;
    name_.clear();
    name_.shrink_to_fit();
    ++keptDirectories;
  }

  HANDLE Handle() const { return handle_.Get(); }

 private:
  bool Fill() {
    if (atEnd_) return false;
    if (!::GetFileInformationByHandleEx(handle_.Get(), FileIdBothDirectoryInfo, buffer_.get(),
                                        kListingBufferBytes)) {
      atEnd_ = true;
      return false;
    }
    current_ = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer_.get());
    return true;
  }

  UniqueHandle handle_;
  std::unique_ptr<std::byte[]> buffer_;  // while listing
  const FILE_ID_BOTH_DIR_INFO* current_ = nullptr;
  std::string name_;  // of the entry Next() gave last
  bool atEnd_ = false;
  bool looked_ = false;
  std::optional<DirectoryIdentity> identity_;
};

std::unique_ptr<Directory> MakeDirectory(UniqueHandle handle) {
  return std::make_unique<Win32Directory>(std::move(handle));
}

// The handle of a directory this file system opened, or null.
HANDLE HandleOf(Directory& directory) {
  const auto* opened = dynamic_cast<Win32Directory*>(&directory);
  return opened ? opened->Handle() : nullptr;
}

FileAttributes AttributesOf(DWORD attributes) {
  return attributes == 0 ? kAttributeNormal : static_cast<FileAttributes>(attributes);
}

}  // namespace

std::unique_ptr<Directory> Win32FileSystem::OpenDirectory(const std::string& path) {
  Opened opened = OpenPath(path, kDirectoryAccess, true);
  if (!opened.handle) return nullptr;
  const auto info = InformationOf(opened.handle.Get());
  if (!info || !(info->attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
  return MakeDirectory(std::move(opened.handle));
}

void Win32FileSystem::EndBatch() {
  batching_ = false;
  held_.Reset();
  heldPath_.clear();
  heldIdentity_.reset();
  ReleaseLinkedFile();
}

std::size_t Win32FileSystem::DirectoryBudget() const {
  // Handles are plentiful on Windows; the bound keeps the kernel memory of
  // a huge tree's handles in reason.
  constexpr std::size_t kMost = 1 << 15;
  const std::size_t kept = keptDirectories;
  return kept < kMost ? kMost - kept : 0;
}

bool Win32FileSystem::Failed(int error) {
  lastError_ = error;
  return false;
}

Win32FileSystem::Located Win32FileSystem::Locate(const std::string& path,
                                                 const ListedIn& listedIn) {
  single_.Reset();
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string::npos
                                    ? std::string_view(path)
                                    : std::string_view(path).substr(slash + 1);
  if (!IsSingleName(name)) return {};
  std::string directory = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  // "C:\name" and "\name" lie in a root, which keeps its separator.
  if (directory.empty() || directory.back() == ':') directory = path.substr(0, slash + 1);

  Located located;
  located.name = WideFromNarrow(name);
  const std::wstring wideDirectory = WideFromNarrow(directory);
  if (batching_ && held_ && heldPath_ == wideDirectory) {
    if (listedIn && heldIdentity_ != listedIn) return {};
    located.directory = held_.Get();
    return located;
  }
  Opened opened = OpenPath(directory, kDirectoryAccess, true);
  if (!opened.handle) {
    lastError_ = opened.error;
    return {};
  }
  const std::optional<DirectoryIdentity> identity = IdentityOf(opened.handle.Get());
  if (listedIn && identity != listedIn) {
    lastError_ = ENOENT;
    return {};
  }
  located.directory = opened.handle.Get();
  if (batching_) {
    held_ = std::move(opened.handle);
    heldPath_ = wideDirectory;
    heldIdentity_ = identity;
  } else {
    single_ = std::move(opened.handle);
  }
  return located;
}

FileStatus Win32FileSystem::StatusAt(HANDLE directory, const std::wstring& name) {
  FileStatus status;
  Opened opened = OpenRelative(directory, name, FILE_READ_ATTRIBUTES, 0);
  if (!opened.handle) {
    status.error = opened.error;
    return status;
  }
  const auto info = InformationOf(opened.handle.Get());
  if (!info) {
    status.error = ErrnoFromWin32(::GetLastError());
    return status;
  }
  status.attributes = AttributesOf(info->attributes);
  status.device = info->volume;
  status.inode = info->fileId;
  status.size = info->size;
  status.modified = info->modified;
  return status;
}

bool Win32FileSystem::SetNormalAt(const FileKey& key, HANDLE directory, const std::wstring& name,
                                  FileAttributes current) {
  ReleaseLinkedFile();
  if (current == kInvalidAttributes) return false;
  if (!(current & kJudgedAttributes)) return true;
  Opened opened = OpenRelative(directory, name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0);
  if (!opened.handle) return Failed(opened.error);
  const auto info = InformationOf(opened.handle.Get());
  if (!info) return Failed(ErrnoFromWin32(::GetLastError()));
  const DWORD before = info->attributes & kSettableAttributes;
  if (!SetAttributesOf(opened.handle.Get(), before & ~kJudgedAttributes))
    return Failed(ErrnoFromWin32(::GetLastError()));
  if ((before & FILE_ATTRIBUTE_READONLY) && info->links > 1 &&
      !(info->attributes & FILE_ATTRIBUTE_DIRECTORY))
    linkedFile_ = LinkedFile{std::move(opened.handle), before, key};
  return true;
}

bool Win32FileSystem::RestoreAt(const FileKey& key, HANDLE directory, const std::wstring& name,
                                FileAttributes saved) {
  if (saved == kInvalidAttributes) return false;
  if (linkedFile_ && linkedFile_->key == key) {
    const bool restored = SetAttributesOf(linkedFile_->handle.Get(), linkedFile_->attributes);
    ReleaseLinkedFile();
    return restored || Failed(ErrnoFromWin32(::GetLastError()));
  }
  Opened opened = OpenRelative(directory, name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0);
  if (!opened.handle) return Failed(opened.error);
  const auto info = InformationOf(opened.handle.Get());
  if (!info) return Failed(ErrnoFromWin32(::GetLastError()));
  const DWORD wanted =
      (info->attributes & kSettableAttributes & ~kJudgedAttributes) | (saved & kJudgedAttributes);
  if (wanted == (info->attributes & kSettableAttributes)) return true;
  return SetAttributesOf(opened.handle.Get(), wanted) || Failed(ErrnoFromWin32(::GetLastError()));
}

bool Win32FileSystem::RemoveAt(const FileKey& key, HANDLE directory, const std::wstring& name) {
  // Opened by its name in the very directory that was checked, and never a
  // directory: a junction or a link to a directory is one too.
  Opened opened =
      OpenRelative(directory, name, DELETE | FILE_READ_ATTRIBUTES, FILE_NON_DIRECTORY_FILE);
  if (!opened.handle) {
    ReleaseLinkedFile();
    return Failed(opened.error);
  }
  const bool deleted = DeleteOpenedFile(opened.handle.Get());
  const int error = deleted ? 0 : ErrnoFromWin32(::GetLastError());
  if (linkedFile_ && linkedFile_->key == key) {
    // The file's other names keep it read-only, as it was.
    if (deleted) SetAttributesOf(linkedFile_->handle.Get(), linkedFile_->attributes);
    ReleaseLinkedFile();
  }
  opened.handle.Reset();
  return deleted || Failed(error);
}

FileStatus Win32FileSystem::DoStatus(const std::string& path, const ListedIn& listedIn) {
  const Located located = Locate(path, listedIn);
  if (!located.directory) {
    FileStatus missing;
    missing.error = lastError_ = ENOENT;
    return missing;
  }
  const FileStatus status = StatusAt(located.directory, located.name);
  if (status.error) lastError_ = status.error;
  single_.Reset();
  return status;
}

FileAttributes Win32FileSystem::DoGetAttributes(const std::string& path, const ListedIn& listedIn) {
  return DoStatus(path, listedIn).attributes;
}

bool Win32FileSystem::DoSetNormal(const std::string& path, FileAttributes current,
                                  const ListedIn& listedIn) {
  ReleaseLinkedFile();
  if (current == kInvalidAttributes) return false;
  if (!(current & kJudgedAttributes)) return true;
  const Located located = Locate(path, listedIn);
  if (!located.directory) return Failed(ENOENT);
  const bool done = SetNormalAt({nullptr, path}, located.directory, located.name, current);
  single_.Reset();
  return done;
}

bool Win32FileSystem::DoRestoreAttributes(const std::string& path, FileAttributes saved,
                                          const ListedIn& listedIn) {
  if (saved == kInvalidAttributes) return false;
  if (linkedFile_ && linkedFile_->key == FileKey{nullptr, path})
    return RestoreAt({nullptr, path}, nullptr, {}, saved);
  const Located located = Locate(path, listedIn);
  if (!located.directory) return Failed(ENOENT);
  const bool done = RestoreAt({nullptr, path}, located.directory, located.name, saved);
  single_.Reset();
  return done;
}

bool Win32FileSystem::DoRemoveFile(const std::string& path, const ListedIn& listedIn) {
  const Located located = Locate(path, listedIn);
  if (!located.directory) {
    ReleaseLinkedFile();
    return Failed(ENOENT);
  }
  const bool done = RemoveAt({nullptr, path}, located.directory, located.name);
  single_.Reset();
  return done;
}

// Changes nothing of this object: it may run on another thread.
FileStatus Win32FileSystem::DoStatusIn(Directory& directory, const char* name) {
  const HANDLE handle = HandleOf(directory);
  if (!handle || !IsSingleName(name)) {
    FileStatus missing;
    missing.error = ENOENT;
    return missing;
  }
  return StatusAt(handle, WideFromNarrow(name));
}

FileAttributes Win32FileSystem::DoGetAttributesIn(Directory& directory, const char* name) {
  const FileStatus status = DoStatusIn(directory, name);
  if (status.error) lastError_ = status.error;
  return status.attributes;
}

bool Win32FileSystem::DoSetNormalIn(Directory& directory, const char* name,
                                    FileAttributes current) {
  const HANDLE handle = HandleOf(directory);
  if (!handle || !IsSingleName(name)) return Failed(ENOENT);
  return SetNormalAt({handle, name}, handle, WideFromNarrow(name), current);
}

bool Win32FileSystem::DoRestoreAttributesIn(Directory& directory, const char* name,
                                            FileAttributes saved) {
  const HANDLE handle = HandleOf(directory);
  if (!handle || !IsSingleName(name)) return Failed(ENOENT);
  return RestoreAt({handle, name}, handle, WideFromNarrow(name), saved);
}

bool Win32FileSystem::DoRemoveFileIn(Directory& directory, const char* name) {
  const HANDLE handle = HandleOf(directory);
  if (!handle || !IsSingleName(name)) return Failed(ENOENT);
  return RemoveAt({handle, name}, handle, WideFromNarrow(name));
}
