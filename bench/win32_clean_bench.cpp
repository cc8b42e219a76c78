// The clean of a tree of 100,000 files in 1,000 directories on the Win32
// backend, and a floor program that deletes the same tree with the same NT
// calls and nothing else (bench/wine_compare.sh runs both and "del" under
// Wine).
//
//   win32_clean_bench make DIR    makes the tree in DIR
//   win32_clean_bench clean DIR   sweeps DIR for "*.*" and deletes as the
//                                 window's clean run does
//   win32_clean_bench floor DIR   deletes every file below DIR: directory
//                                 handles listed, each file opened relative
//                                 to its directory and marked for deletion

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "platform/win32/nt_files.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDirectories = 1000;
constexpr int kFilesPerDirectory = 100;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool MakeTree(const std::string& root) {
  const std::wstring base = ExtendedPath(root);
  if (!::CreateDirectoryW(base.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
    return false;
  for (int d = 0; d < kDirectories; ++d) {
    const std::wstring directory = base + L"\\dir" + std::to_wstring(d);
    if (!::CreateDirectoryW(directory.c_str(), nullptr)) return false;
    for (int f = 0; f < kFilesPerDirectory; ++f) {
      const std::wstring file =
          directory + L"\\file" + std::to_wstring(f) + (f % 2 ? L".tmp" : L".txt");
      HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE) return false;
      DWORD written = 0;
      ::WriteFile(handle, "x", 1, &written, nullptr);
      ::CloseHandle(handle);
    }
  }
  return true;
}

bool Clean(const std::string& root) {
  Win32FileSystem files;
  const CleanSettings settings;
  CleanLocations locations;
  const CleanSelection selection{{}, locations, {{0, root, "*.*", 1}}};
  const auto start = Clock::now();
  const CleanPlan gathered = GatherCleanPlan(selection, settings, files, /*guard=*/false);
  const double sweepSeconds = SecondsSince(start);
  const std::size_t deleted = ExecuteCleanPlan(gathered, settings, files).deleted;
  const double totalSeconds = SecondsSince(start);
  std::printf("dustral: gathered %zu files in %.3f s, deleted %zu in %.3f s (%.0f files/s)\n",
              gathered.Count(), sweepSeconds, deleted, totalSeconds - sweepSeconds,
              deleted / totalSeconds);
  return deleted == gathered.Count();
}

std::size_t FloorDelete(HANDLE directory) {
  std::size_t deleted = 0;
  std::vector<std::byte> buffer(64 * 1024);
  std::vector<std::wstring> subdirectories;
  while (::GetFileInformationByHandleEx(directory, FileIdBothDirectoryInfo, buffer.data(),
                                        static_cast<DWORD>(buffer.size()))) {
    for (auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());;
         entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
             reinterpret_cast<const std::byte*>(entry) + entry->NextEntryOffset)) {
      const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (name != L"." && name != L".." &&
            !(entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
          subdirectories.push_back(name);
      } else {
        Opened file = OpenRelative(directory, name, DELETE, FILE_NON_DIRECTORY_FILE);
        if (file.handle && DeleteOpenedFile(file.handle.Get())) ++deleted;
      }
      if (!entry->NextEntryOffset) break;
    }
  }
  for (const std::wstring& name : subdirectories) {
    Opened sub =
        OpenRelative(directory, name, FILE_LIST_DIRECTORY | FILE_TRAVERSE, FILE_DIRECTORY_FILE);
    if (sub.handle) deleted += FloorDelete(sub.handle.Get());
  }
  return deleted;
}

bool Floor(const std::string& root) {
  const auto start = Clock::now();
  Opened opened = OpenPath(root, FILE_LIST_DIRECTORY | FILE_TRAVERSE, true);
  if (!opened.handle) return false;
  const std::size_t deleted = FloorDelete(opened.handle.Get());
  const double seconds = SecondsSince(start);
  std::printf("floor: deleted %zu in %.3f s (%.0f files/s)\n", deleted, seconds, deleted / seconds);
  return deleted > 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "make") return MakeTree(args[1]) ? 0 : 1;
  if (args.size() == 2 && args[0] == "clean") return Clean(args[1]) ? 0 : 1;
  if (args.size() == 2 && args[0] == "floor") return Floor(args[1]) ? 0 : 1;
  std::fprintf(stderr, "usage: %s make|clean|floor DIR\n", argv[0]);
  return 2;
}
