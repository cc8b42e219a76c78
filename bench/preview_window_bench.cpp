// Measures the preview window on a plan of 100,000 files: how long the
// window takes to fill its model, lay out its tree and first draw itself, and
// to draw again after a jump to the last row; then how long its Clean takes
// to delete what it shows. The plan is gathered from a
// tree of 4 folders with 250 sub-folders of 100 files each (one in ten of
// them hidden, so that the list shows files left alone too).
//
//   dustral_preview_bench [PARENT]   makes the tree in a fresh directory under
//                                    PARENT (default $TMPDIR, else /tmp) and
//                                    removes it at the end
//
// Runs with any Qt platform: QT_QPA_PLATFORM=offscreen for no display.
//
// On a shared two-core machine (offscreen and under Xvfb alike) the model
// alone takes 10-20 ms, filling it and laying out the expanded tree
// 100-250 ms, the first show and draw 25-50 ms, a jump to the last row and
// its drawing 3-6 ms; the whole program peaks at about 55 MiB. Cleaning the
// 90,000 files from the preview takes about 1 s.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/clean_plan.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_program_launcher.h"
#include "ui/clean_plan_model.h"
#include "ui/preview_dialog.h"
#include "ui/qt_window_controls.h"

namespace {

constexpr int kGroups = 4;
constexpr int kFoldersPerGroup = 250;
constexpr int kFilesPerFolder = 100;

using namespace bench;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool MakeTree(const std::string& root) {
  char name[64];
  for (int g = 0; g < kGroups; ++g) {
    std::snprintf(name, sizeof name, "/group%d", g);
    const std::string group = root + name;
    if (::mkdir(group.c_str(), 0755) != 0) return false;
    for (int d = 0; d < kFoldersPerGroup; ++d) {
      std::snprintf(name, sizeof name, "/folder%03d", d);
      const std::string folder = group + name;
      if (::mkdir(folder.c_str(), 0755) != 0) return false;
      for (int f = 0; f < kFilesPerFolder; ++f) {
        std::snprintf(name, sizeof name, f % 10 ? "/file%03d.tmp" : "/.hidden%03d", f);
        if (!MakeEmptyFile(folder + name)) return false;
      }
    }
  }
  return true;
}

bool Measure(const std::string& root) {
  PosixFileSystem files;
  const CleanSettings options;
  const CleanLocations noCategories;
  CleanSelection selection{[](ControlId) { return false; }, noCategories, {}};
  for (int g = 0; g < kGroups; ++g)
    selection.entries.push_back({0, root + "/group" + std::to_string(g), "*", 1});

  auto start = Clock::now();
  CleanPlan plan = GatherCleanPlan(selection, options, files, /*guard=*/true);
  std::printf("gathered %zu files in %.0f ms\n", plan.Count(), MillisecondsSince(start));
  const std::size_t count = plan.Count();

  start = Clock::now();
  {
    const CleanPlanModel alone(plan);
    std::printf("the model alone: %.0f ms\n", MillisecondsSince(start));
  }

  QtWaitCursor cursor;
  PosixProgramLauncher launcher;  // the row menu is never used here
  {
    // The program has its fonts and style loaded before any preview opens;
    // an empty preview loads them here, so that they don't count below.
    PreviewDialog warmUp(CleanPlan(), options, files, launcher, cursor, nullptr);
    warmUp.show();
    warmUp.grab();
  }
  start = Clock::now();
  PreviewDialog preview(std::move(plan), options, files, launcher, cursor, nullptr);
  std::printf("filled the model and laid out the tree in %.0f ms\n", MillisecondsSince(start));

  start = Clock::now();
  preview.show();
  QApplication::processEvents();
  preview.grab();  // draws every visible row
  std::printf("first shown and drawn in %.0f ms\n", MillisecondsSince(start));

  auto* view = preview.findChild<QTreeView*>();
  start = Clock::now();
  view->scrollToBottom();
  view->grab();
  std::printf("jumped to the last row and drew it in %.0f ms\n", MillisecondsSince(start));

  start = Clock::now();
  view->sortByColumn(CleanPlanModel::kFileColumn, Qt::DescendingOrder);
  view->grab();
  std::printf("sorted by name and drew it in %.0f ms\n", MillisecondsSince(start));
  start = Clock::now();
  preview.findChild<QLineEdit*>(QStringLiteral("previewFilter"))->setText(QStringLiteral("7"));
  view->grab();
  std::printf("filtered by name and drew it in %.0f ms\n", MillisecondsSince(start));
  std::printf("peak memory %ld KiB\n", PeakMemoryKiB());

  start = Clock::now();
  preview.findChild<QPushButton*>(QStringLiteral("previewClean"))->click();
  std::printf("cleaned %llu files from the preview in %.0f ms\n",
              static_cast<unsigned long long>(preview.Report()->deleted), MillisecondsSince(start));
  return count == static_cast<std::size_t>(kGroups * kFoldersPerGroup * kFilesPerFolder);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList args = QApplication::arguments().mid(1);
  if (args.size() > 1) {
    std::fprintf(stderr, "usage: %s [PARENT]\n", argv[0]);
    return 2;
  }
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string parent =
      !args.empty() ? args[0].toStdString() : (tmpdir && *tmpdir ? tmpdir : "/tmp");
  // Entries name absolute paths only.
  const std::string root =
      FreshDirectoryUnder(std::filesystem::absolute(parent).string(), "dustral-preview-bench");
  if (root.empty()) {
    std::perror("cannot make a directory for the tree");
    return 1;
  }
  const bool measured = MakeTree(root) && Measure(root);
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return measured ? 0 : 1;
}
