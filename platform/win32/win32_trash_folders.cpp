#include "platform/win32/win32_trash_folders.h"

#include <set>
#include <utility>

#include "platform/win32/nt_files.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr ACCESS_MASK kDirectoryAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

std::vector<std::string> FixedDriveRoots() {
  std::vector<std::string> roots;
  const DWORD drives = ::GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(drives & (1u << letter))) continue;
    const wchar_t root[] = {static_cast<wchar_t>(L'A' + letter), L':', L'\\', L'\0'};
    if (::GetDriveTypeW(root) == DRIVE_FIXED) roots.push_back(NarrowFromWide(root));
  }
  return roots;
}

// The folders below `root` to a bin folder, each a real directory: no
// junction, link or mount point on the way. Nothing when one is missing or
// is none.
UniqueHandle OpenFolders(const std::string& root, const std::vector<std::string>& folders) {
  Opened current = OpenPath(root, kDirectoryAccess, true);
  for (const std::string& folder : folders) {
    if (!current.handle) return {};
    Opened next =
        OpenRealSubdirectory(current.handle.Get(), WideFromNarrow(folder), kDirectoryAccess);
    if (!next.handle) return {};
    current = std::move(next);
  }
  return std::move(current.handle);
}

std::optional<DirectoryIdentity> IdentityOf(HANDLE directory) {
  const auto info = InformationOf(directory);
  if (!info) return std::nullopt;
  return DirectoryIdentity{info->volume, info->fileId};
}

std::string JoinFolders(std::string root, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (!root.empty() && root.back() != '\\' && root.back() != '/') root += '\\';
    root += folder;
  }
  return root;
}

// "$I..." for "$R..." and the other way round, or nothing for another name.
std::optional<std::wstring> PartnerName(std::string_view name, char from, char to) {
  if (name.size() < 3 || name[0] != '$' || (name[1] != from && name[1] != from + ('a' - 'A')))
    return std::nullopt;
  if (name.find_first_of("\\/") != std::string_view::npos) return std::nullopt;
  std::string partner(name);
  partner[1] = to;
  return WideFromNarrow(partner);
}

}  // namespace

std::vector<std::string> Win32TrashFolders::BinFolders() {
  offered_.clear();
  const std::string sid = sources_.userSid ? *sources_.userSid : CurrentUserSid();
  std::vector<std::vector<std::string>> candidates;
  if (!sid.empty()) {
    candidates.push_back({"$Recycle.Bin", sid});
    candidates.push_back({"RECYCLER", sid});
  }
  candidates.push_back({"Recycled"});

  std::vector<std::string> bins;
  std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
  for (const std::string& root : sources_.roots ? *sources_.roots : FixedDriveRoots()) {
    for (const auto& folders : candidates) {
      const UniqueHandle bin = OpenFolders(root, folders);
      if (!bin) continue;
      const auto identity = IdentityOf(bin.Get());
      if (!identity) continue;
      // One bin folder per drive: the newest kind the drive holds.
      if (seen.insert({identity->device, identity->inode}).second) {
        const std::string path = JoinFolders(root, folders);
        bins.push_back(path);
        offered_[path] = Offered{root, folders, *identity};
      }
      break;
    }
  }
  return bins;
}

std::optional<DirectoryIdentity> Win32TrashFolders::VerifyBinFolder(const std::string& binFolder) {
  const auto offered = offered_.find(binFolder);
  if (offered == offered_.end()) return std::nullopt;
  const UniqueHandle bin = OpenFolders(offered->second.root, offered->second.folders);
  if (!bin) return std::nullopt;
  const auto identity = IdentityOf(bin.Get());
  if (identity != offered->second.identity) return std::nullopt;
  return identity;
}

void Win32TrashFolders::ForgetDeletedFile(const std::string& binFolder,
                                          const DirectoryIdentity& bin, std::string_view name) {
  const auto info = PartnerName(name, 'R', 'I');
  const auto offered = offered_.find(binFolder);
  if (!info || offered == offered_.end()) return;
  const UniqueHandle folder = OpenFolders(offered->second.root, offered->second.folders);
  if (!folder || IdentityOf(folder.Get()) != bin) return;
  Opened opened =
      OpenRelative(folder.Get(), *info, DELETE | FILE_READ_ATTRIBUTES, FILE_NON_DIRECTORY_FILE);
  if (opened.handle) DeleteOpenedFile(opened.handle.Get());
}

bool Win32TrashFolders::Keeps(const std::string& binFolder, const DirectoryIdentity& bin,
                              std::string_view name) {
  const auto item = PartnerName(name, 'I', 'R');
  const auto offered = offered_.find(binFolder);
  if (!item || offered == offered_.end()) return false;
  const UniqueHandle folder = OpenFolders(offered->second.root, offered->second.folders);
  if (!folder || IdentityOf(folder.Get()) != bin) return false;
  Opened opened = OpenRelative(folder.Get(), *item, FILE_READ_ATTRIBUTES, 0);
  if (!opened.handle) return false;
  const auto info = InformationOf(opened.handle.Get());
  return info && (info->attributes & FILE_ATTRIBUTE_DIRECTORY);
}
