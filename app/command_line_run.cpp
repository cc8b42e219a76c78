#include "app/command_line_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>

#include "app/command_line.h"
#include "app/headless_window.h"
#include "app/message_text.h"
#include "app/progress_line.h"
#include "engine/clean_plan.h"
#include "engine/recycle_bin.h"
#include "platform/environment.h"
#include "platform/platform_services.h"
#include "platform/posix/desktop_registry.h"
#include "platform/registry_file.h"
#include "platform/registry_location.h"
#include "settings/registry_profile.h"

namespace fs = std::filesystem;

namespace {

void Print(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

// Why RegistryFile refused to read the settings file.
std::string WhyUnreadable(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  const int error = errno;
  ::close(fd);
  if (!known) return std::strerror(error);
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  if (static_cast<std::uintmax_t>(info.st_size) > RegistryFile::kMaxFileSize)
    return "larger than " + std::to_string(RegistryFile::kMaxFileSize >> 20) + " MiB";
  return "it could not be read whole";
}

// Builds the window's start-up state from the saved settings and hands it
// to `act`; a settings file that exists but can't be read ends the run
// with status 2, since cleaning by the defaults instead could delete what
// the user never chose.
int WithSavedSettings(const CommandLineRun& run, const std::function<int(HeadlessWindow&)>& act) {
  const fs::path file = UserRegistryFilePath();
  const std::optional<RegistryFile> registryFileValues = RegistryFile::ReadExisting(file);
  if (!registryFileValues) {
    Print(run.err, run.programName + ": cannot read the settings file " +
                       QuotedForMessage(file.string()) + ": " + WhyUnreadable(file) + "\n");
    return kExitUsage;
  }
  const DesktopRegistry otherPrograms(*registryFileValues);
  RegistryProfile profile(file, run.applicationName);  // read, never committed
  HeadlessWindow window(otherPrograms, profile, run.applicationName, std::cerr);
  window.OnInitDialog(SystemEnvironment());
  return act(window);
}

CleanPlan GatherSavedPlan(const HeadlessWindow& window, FileSystem& files, ProgressLine& progress) {
  const CleanSelection selection{
      [&window](ControlId box) { return window.Boxes().GetCheck(box) != 0; }, window.Locations(),
      window.Entries()};
  GatherObserver observer;
  observer.onProgress = [&progress](std::size_t gathered) {
    progress.Update([gathered] { return "Gathering: " + GroupedDigits(gathered) + " files"; });
  };
  return GatherCleanPlan(selection, window.Settings(), files, /*guard=*/true, observer);
}

std::string Files(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

// "5119000 bytes (5.1 MB)": exact for scripts, readable for people.
std::string Bytes(std::uint64_t bytes) {
  if (bytes < 1000) return ReadableSize(bytes);
  return std::to_string(bytes) + " bytes (" + ReadableSize(bytes) + ")";
}

}  // namespace

int RunPreview(const CommandLineRun& run, bool nullSeparated) {
  return WithSavedSettings(run, [&run, nullSeparated](HeadlessWindow& window) {
    PlatformServices platform = SystemPlatformServices();
    ProgressLine progress(fileno(run.err), ::isatty(fileno(run.err)) == 1);
    const CleanPlan plan = GatherSavedPlan(window, platform.files, progress);
    progress.Clear();

    const char separator = nullSeparated ? '\0' : '\n';
    std::uint64_t files = 0, hidden = 0, readOnly = 0, system = 0, inUse = 0;
    for (std::size_t index = 0; index < plan.Count(); ++index) {
      if (plan.MissingAt(index)) continue;  // an entry naming no file: nothing to delete
      switch (plan.SpareAt(index)) {
        case SpareReason::kNone: {
          ++files;
          const std::string path = plan.PathAt(index);
          std::fwrite(path.data(), 1, path.size(), run.out);
          std::fputc(separator, run.out);
          break;
        }
        case SpareReason::kHidden:
          ++hidden;
          break;
        case SpareReason::kReadOnly:
          ++readOnly;
          break;
        case SpareReason::kSystem:
          ++system;
          break;
        case SpareReason::kInUse:
          ++inUse;
          break;
      }
    }
    if (std::fflush(run.out) != 0 || std::ferror(run.out)) {
      Print(run.err,
            run.programName + ": cannot write the file names: " + std::strerror(errno) + "\n");
      return kExitFailure;
    }
    Print(run.err, "Would delete: " + Files(files) + ", " + Bytes(plan.TotalBytes()) + "\n" +
                       "Would spare: " + std::to_string(hidden) + " hidden, " +
                       std::to_string(readOnly) + " read-only, " + std::to_string(system) +
                       " system\n" + "In use: " + std::to_string(inUse) + "\n");
    return kExitSuccess;
  });
}

int RunSavedClean(const CommandLineRun& run) {
  return WithSavedSettings(run, [&run](HeadlessWindow& window) {
    PlatformServices platform = SystemPlatformServices();
    const CleanSettings& settings = window.Settings();
    ProgressLine progress(fileno(run.err), ::isatty(fileno(run.err)) == 1);
    const CleanPlan plan = GatherSavedPlan(window, platform.files, progress);
    const CleanReport report = ExecuteCleanPlan(
        plan, settings, platform.files, [&progress](std::size_t done, std::size_t total) {
          progress.Update([done, total] {
            return "Deleting: " + GroupedDigits(done) + " of " + GroupedDigits(total) + " files";
          });
        });
    progress.Clear();

    // The steps after the deletions, as the window's run takes them.
    if (window.Boxes().GetCheck(ControlId::kRecycleBinBox)) {
      NoWaitCursor noCursor;
      EmptyRecycleBin(platform.files, platform.trash, noCursor);
    }
    if (settings.m_bAutoRun) platform.launcher.Open(settings.m_strExeToRun);

    for (const CleanReport::Failure& failure : report.failures)
      Print(run.err, run.programName + ": cannot delete " + QuotedForMessage(failure.path) + ": " +
                         failure.reason + "\n");
    std::ostringstream text;
    text << "Deleted: " << Files(report.deleted) << ", " << Bytes(report.bytesFreed) << " freed\n"
         << "Spared: " << report.sparedHidden << " hidden, " << report.sparedReadOnly
         << " read-only, " << report.sparedSystem << " system\n"
         << "Failed: " << report.failed << "\n"
         << "Vanished: " << report.vanished << "\n"
         << "Changed since found: " << report.changed << "\n"
         << "In use: " << report.inUse << "\n";
    Print(run.out, text.str());
    std::fflush(run.out);
    return report.failed > 0 ? kExitFailure : kExitSuccess;
  });
}
