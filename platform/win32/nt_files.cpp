#include "platform/win32/nt_files.h"

#include <sddl.h>

#include <cerrno>
#include <vector>

#include "platform/win32/wide_text.h"

int ErrnoFromWin32(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DELETE_PENDING:
      return ENOENT;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return EBUSY;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    default:
      return EIO;
  }
}

Opened OpenRelative(HANDLE directory, std::wstring_view name, ACCESS_MASK access, ULONG options) {
  Opened opened;
  // A UNICODE_STRING counts bytes in 16 bits; no single name comes near.
  if (name.size() > 0x7FFF) {
    opened.error = ENAMETOOLONG;
    return opened;
  }
  UNICODE_STRING text;
  text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  text.Buffer = const_cast<wchar_t*>(name.data());
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, directory, nullptr);
  IO_STATUS_BLOCK status;
  HANDLE handle = INVALID_HANDLE_VALUE;
  const NTSTATUS result =
      ::NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                     options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                         FILE_OPEN_FOR_BACKUP_INTENT,
                     nullptr, 0);
  if (result < 0) {
    opened.error = ErrnoFromWin32(::RtlNtStatusToDosError(result));
    return opened;
  }
  opened.handle = UniqueHandle(handle);
  return opened;
}

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE routine,
                                               PVOID context, PIO_STATUS_BLOCK status,
                                               PVOID information, ULONG length,
                                               FILE_INFORMATION_CLASS kind, BOOLEAN singleEntry,
                                               PUNICODE_STRING fileName, BOOLEAN restartScan);

std::optional<ListedName> LookUpListed(HANDLE directory, std::wstring_view name) {
  // A handle of its own: a search pattern sticks to the handle it was first
  // given on, and the caller's handle may be in the middle of its listing.
  Opened own = OpenRelative(directory, L"", FILE_LIST_DIRECTORY, FILE_DIRECTORY_FILE);
  if (!own.handle || name.empty() || name.size() > 255 ||
      name.find_first_of(L"*?<>\"\\/") != std::wstring_view::npos)
    return std::nullopt;
  alignas(8) std::byte buffer[sizeof(FILE_ID_BOTH_DIR_INFO) + 256 * sizeof(wchar_t)];
  UNICODE_STRING pattern;
  pattern.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  pattern.MaximumLength = pattern.Length;
  pattern.Buffer = const_cast<wchar_t*>(name.data());
  IO_STATUS_BLOCK status;
  if (::NtQueryDirectoryFile(own.handle.Get(), nullptr, nullptr, nullptr, &status, buffer,
                             sizeof buffer, FileIdBothDirectoryInformation, TRUE, &pattern,
                             TRUE) < 0)
    return std::nullopt;
  const auto* found = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);
  return ListedName{found->FileAttributes, static_cast<std::uint64_t>(found->FileId.QuadPart)};
}

Opened OpenRealSubdirectory(HANDLE directory, std::wstring_view name, ACCESS_MASK access) {
  // The listing tells a reparse point apart on every system; the handle,
  // opened without following, must then be the very entry listed.
  const auto listed = LookUpListed(directory, name);
  if (!listed) return Opened{UniqueHandle(), ENOENT};
  if (listed->attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Opened{UniqueHandle(), ELOOP};
  Opened opened = OpenRelative(directory, name, access, FILE_DIRECTORY_FILE);
  if (!opened.handle) return opened;
  const auto info = InformationOf(opened.handle.Get());
  if (!info || (info->attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      (listed->fileId != 0 && info->fileId != listed->fileId))
    return Opened{UniqueHandle(), ELOOP};
  return opened;
}

std::wstring ExtendedPath(std::string_view path) {
  std::wstring wide = WideFromNarrow(path);
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  if (wide.starts_with(L"\\\\?\\")) return wide;
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return wide;
  full.resize(written);
  if (full.starts_with(L"\\\\.\\")) return full;  // a device, left as named
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

Opened OpenPath(std::string_view path, DWORD access, bool followReparsePoint) {
  Opened opened;
  const std::wstring extended = ExtendedPath(path);
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
  if (!followReparsePoint) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE handle = ::CreateFileW(extended.c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    opened.error = ErrnoFromWin32(::GetLastError());
    return opened;
  }
  opened.handle = UniqueHandle(handle);
  return opened;
}

std::optional<HandleInformation> InformationOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file, &info)) return std::nullopt;
  HandleInformation result;
  result.attributes = info.dwFileAttributes;
  result.volume = info.dwVolumeSerialNumber;
  result.fileId = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  result.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  // FILETIME counts 100 ns from 1601; 1970 is 11,644,473,600 s later.
  const std::uint64_t ticks = (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                              info.ftLastWriteTime.dwLowDateTime;
  result.modified = (static_cast<std::int64_t>(ticks) - 116444736000000000LL) * 100;
  result.links = info.nNumberOfLinks;
  return result;
}

bool SetAttributesOf(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO basic{};  // times of 0 stay as they are
  basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

bool IsSingleName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("\\/") == std::string_view::npos;
}

bool DeleteOpenedFile(HANDLE file) {
  // FILE_DISPOSITION_INFO_EX of Windows 10 1607, spelled out: the headers
  // declare it only for builds that require that version.
  struct DispositionEx {
    ULONG flags;
  };
  constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
  constexpr ULONG kDelete = 0x1;
  constexpr ULONG kPosixSemantics = 0x2;
  DispositionEx disposition{kDelete | kPosixSemantics};
  if (::SetFileInformationByHandle(file, kFileDispositionInfoEx, &disposition, sizeof disposition))
    return true;
  // Systems before Windows 10 know only the plain disposition.
  FILE_DISPOSITION_INFO plain{TRUE};
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &plain, sizeof plain) != 0;
}

std::string CurrentUserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  const UniqueHandle owned(token);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<std::byte> buffer(size);
  if (!::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
  const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(user->User.Sid, &text)) return {};
  std::string sid = NarrowFromWide(text);
  ::LocalFree(text);
  return sid;
}
