// Measures loading and saving the settings with 1,000, 10,000 and 100,000
// custom entries through the registry file: the time of a load (reading and
// parsing the file, filling the list) and of a save (re-reading the file,
// applying every value, writing and renaming it), and the peak memory of
// the process. Each size runs in a child process of its own, so that its
// peak memory is its own.
//
//   dustral_settings_bench [PARENT] [SIZE...]   works in a fresh directory
//                                               under PARENT (default
//                                               $TMPDIR, else /tmp)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "settings/registry_profile.h"
#include "settings/settings_store.h"
#include "settings/testing/file_profile.h"

namespace {

using namespace bench;

// A list whose own cost stays out of the figures: rows go to the top in
// constant time.
class DequeList : public ListControl {
 public:
  int InsertRow(int row, const std::string& label) override {
    if (row < 0 || row > RowCount()) return -1;
    rows_.insert(rows_.begin() + row, Row{label, "", ""});
    return row;
  }
  bool SetCellText(int row, int column, const std::string& text) override {
    if (row < 0 || row >= RowCount() || column < 0 || column > 2) return false;
    rows_[row][column] = text;
    return true;
  }
  std::optional<std::string> CellText(int row, int column) const override {
    if (row < 0 || row >= RowCount() || column < 0 || column > 2) return std::nullopt;
    return rows_[row][column];
  }
  bool DeleteRow(int) override { return false; }
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int SelectedRow() const override { return -1; }
  void InsertColumn(int, const std::string&, int width) override { widths_.push_back(width); }
  std::optional<int> ColumnWidth(int column) const override {
    if (column < 0 || column >= static_cast<int>(widths_.size())) return std::nullopt;
    return widths_[column];
  }

 private:
  using Row = std::array<std::string, 3>;
  std::deque<Row> rows_;
  std::vector<int> widths_;
};

class Boxes : public CheckBoxes {
 public:
  int GetCheck(ControlId) const override { return 1; }
  void SetCheck(ControlId, int) override {}
  void Enable(ControlId, bool) override {}
};

class Messages : public MessageBox {
 public:
  MessageAnswer Show(const MessageRequest&) override { return MessageAnswer::kOk; }
};

// Runs in the child: writes `count` entries, then loads and saves them as a
// start and an exit of the program would.
int Measure(int count, const std::filesystem::path& file) {
  Boxes boxes;
  Messages messages;
  CleanSettings settings;
  {
    DequeList list;
    EntryList entries(list, messages);
    SettingsWindow window{boxes, entries, messages, "DUSTRAL"};
    for (int c = 0; c < 3; ++c) list.InsertColumn(c, "", 100);
    char path[64];
    for (int i = 0; i < count; ++i) {
      std::snprintf(path, sizeof path, "/home/user/projects/build-%06d", i);
      entries.InsertEntry(CleanEntry{i % 3 ? 0 : 1, path, i % 3 ? "*.tmp" : "", i % 2});
    }
    FileProfile profile(file, "DUSTRAL");
    SaveSettings(profile, settings, window);
  }

  DequeList list;
  EntryList entries(list, messages);
  SettingsWindow window{boxes, entries, messages, "DUSTRAL"};
  auto start = Clock::now();
  FileProfile profile(file, "DUSTRAL");
  LoadSettings(profile, settings, window);
  const double loadSeconds = SecondsSince(start);

  start = Clock::now();
  SaveSettings(profile, settings, window);
  const double saveSeconds = SecondsSince(start);

  std::error_code ignored;
  std::printf("%7d entries: load %7.3f s, save %7.3f s, file %6.1f MB, peak memory %7ld KiB\n",
              list.RowCount(), loadSeconds, saveSeconds,
              std::filesystem::file_size(file, ignored) / 1e6, PeakMemoryKiB());
  std::fflush(stdout);
  return list.RowCount() == count ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const char* tmpdir = std::getenv("TMPDIR");
  std::string parent = tmpdir && *tmpdir ? tmpdir : "/tmp";
  if (!args.empty() && !args[0].empty() && args[0][0] == '/') {
    parent = args[0];
    args.erase(args.begin());
  }
  std::vector<int> sizes{1000, 10000, 100000};
  if (!args.empty()) {
    sizes.clear();
    for (const auto& arg : args) sizes.push_back(std::atoi(arg.c_str()));
  }

  std::string pattern = parent + "/dustral-settings-bench-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) {
    std::perror("cannot make a directory for the settings file");
    return 1;
  }
  const std::filesystem::path directory(buffer.data());

  int failures = 0;
  for (int size : sizes) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) _exit(Measure(size, directory / ("registry-" + std::to_string(size) + ".reg")));
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
      ++failures;
  }
  std::error_code ignored;
  std::filesystem::remove_all(directory, ignored);
  return failures == 0 ? 0 : 1;
}
