#pragma once

// The Windows headers, with the definitions of the NT calls that open a file
// relative to a directory handle; and the few helpers every part of the
// Win32 backend needs for files.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Owns a handle of a file or directory; closes it when it goes.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.Release();
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  void Reset() {
    if (*this) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The errno value that stands for a Windows error, so that the engine's
// messages and its "the file is gone" tests read the same on every system.
int ErrnoFromWin32(DWORD error);

// What opening a file gave: the handle, or the errno value of the failure.
struct Opened {
  UniqueHandle handle;
  int error = 0;
};

// Opens the single name `name` in the directory `directory`, never through
// a reparse point (a junction, a symbolic link, a mount point is opened
// itself). The name is looked up relative to the handle, so that no path
// length limit applies and a directory moved or replaced meanwhile cannot
// lead elsewhere. `options` adds FILE_DIRECTORY_FILE or
// FILE_NON_DIRECTORY_FILE.
Opened OpenRelative(HANDLE directory, std::wstring_view name, ACCESS_MASK access, ULONG options);

// What the directory `directory` lists under the single name `name`: its
// attributes and file id, as a listing gives them (a reparse point is
// listed as itself on every system, also where opening it follows it).
// Nothing when the name isn't listed.
struct ListedName {
  DWORD attributes = 0;
  std::uint64_t fileId = 0;
};
std::optional<ListedName> LookUpListed(HANDLE directory, std::wstring_view name);

// Opens the sub-directory `name` of `directory` only when it is a real
// directory: never a junction, a link or a mount point, also where opening
// one would follow it (Wine does).
Opened OpenRealSubdirectory(HANDLE directory, std::wstring_view name, ACCESS_MASK access);

// The full path of `path` in the form that lifts the length limit
// ("\\?\C:\..." or "\\?\UNC\server\..."); relative paths are taken from the
// current directory, '/' is read as '\'.
std::wstring ExtendedPath(std::string_view path);

// Opens `path`, a file or directory. With `followReparsePoint` false, a
// reparse point is opened itself.
Opened OpenPath(std::string_view path, DWORD access, bool followReparsePoint);

// What the system tells of an open file.
struct HandleInformation {
  DWORD attributes = 0;
  std::uint64_t volume = 0;
  std::uint64_t fileId = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since 1970
  DWORD links = 0;
};
std::optional<HandleInformation> InformationOf(HANDLE file);

// Sets the attribute word of an open file (opened with
// FILE_WRITE_ATTRIBUTES), its times unchanged.
bool SetAttributesOf(HANDLE file, DWORD attributes);

// Whether `name` is a single name that a directory can hold: not empty, no
// separator, not "." nor "..".
bool IsSingleName(std::string_view name);

// Marks an open file (opened with DELETE) for deletion: its name goes at
// once where the system can, else when its last handle closes.
bool DeleteOpenedFile(HANDLE file);

// The user running the program, as the text of a security identifier
// ("S-1-5-21-..."); empty when it can't be told.
std::string CurrentUserSid();
