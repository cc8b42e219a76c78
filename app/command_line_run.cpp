#include "app/command_line_run.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>

#include "app/clean_notification.h"
#include "app/command_line.h"
#include "app/message_text.h"
#include "app/progress_line.h"
#include "app/startup_sources.h"
#include "engine/clean_plan.h"
#include "platform/environment.h"
#include "platform/platform_services.h"
#include "platform/terminal.h"
#include "resources/main_window_template.h"
#include "session/memory_session.h"
#include "session/size_text.h"

namespace {

void Print(std::FILE* stream, const std::string& text) { WriteText(stream, text); }

// Builds the window's start-up state from the saved settings and hands it
// to `act`; a settings file that exists but can't be read ends the run
// with status 2, since cleaning by the defaults instead could delete what
// the user never chose.
int WithSavedSettings(const CommandLineRun& run, const std::function<int(CleanerSession&)>& act) {
  StartupSources sources(run.applicationName);
  if (const std::optional<std::string> why = sources.Registry().Unreadable()) {
    Print(run.err, run.programName + ": cannot read the settings file " +
                       QuotedForMessage(sources.Registry().Where()) + ": " + *why + "\n");
    return kExitUsage;
  }
  // Settings are read, never committed.
  MemorySession window(sources.ForSession(), SystemPlatformServices(), std::cerr);
  window.session.Start();
  return act(window.session);
}

// A preview's plan is guarded, for a clean that follows what was shown; a
// clean's is not: nobody has seen it, and each file's check at its deletion
// decides, as in the window's run.
CleanPlan GatherSavedPlan(CleanerSession& session, ProgressLine& progress, bool guard) {
  GatherObserver observer;
  observer.onProgress = [&progress](std::size_t gathered) {
    progress.Update([gathered] { return "Gathering: " + GroupedDigits(gathered) + " files"; });
  };
  return guard ? session.GatherPreview(observer) : session.GatherClean(observer);
}

// Numbers as the progress line writes them: "1,234".
std::string Number(std::uint64_t count) { return GroupedDigits(count); }

std::string Files(std::uint64_t count) { return Number(count) + (count == 1 ? " file" : " files"); }

// "5,119,000 bytes (5.1 MB)": exact for scripts, readable for people.
std::string Bytes(std::uint64_t bytes) {
  if (bytes < 1000) return ReadableSize(bytes);
  return Number(bytes) + " bytes (" + ReadableSize(bytes) + ")";
}

// A group by its category's caption, or its entry's path and wildcard; a
// bin folder's group adds the folder. Paths are quoted as in messages, so
// that a newline in one keeps the line whole.
std::string GroupName(const PlanGroup& group) {
  if (!group.category) return QuotedForMessage(group.label);
  const std::string caption = main_window_template::CategoryCaption(*group.category);
  return group.label.empty() ? caption : caption + " " + QuotedForMessage(group.label);
}

// "Remove Temp Files: 3 files deleted, 15 bytes freed, 1 left alone".
std::string GroupLine(const PlanGroup& group, const CleanReport::GroupOutcome& outcome) {
  std::string line = GroupName(group) + ": ";
  if (outcome.deleted)
    line += Files(outcome.deleted) + " deleted, " + Bytes(outcome.bytesFreed) + " freed";
  else
    line += "nothing deleted";
  if (outcome.leftAlone) line += ", " + Number(outcome.leftAlone) + " left alone";
  if (outcome.failed) line += ", " + Number(outcome.failed) + " failed";
  if (outcome.vanished) line += ", " + Number(outcome.vanished) + " gone";
  return line + "\n";
}

}  // namespace

int RunPreview(const CommandLineRun& run, bool nullSeparated) {
  return WithSavedSettings(run, [&run, nullSeparated](CleanerSession& session) {
    ProgressLine progress(run.err, IsTerminal(run.err));
    const CleanPlan plan = GatherSavedPlan(session, progress, /*guard=*/true);
    progress.Clear();

    const char separator = nullSeparated ? '\0' : '\n';
    std::uint64_t files = 0, hidden = 0, readOnly = 0, system = 0, inUse = 0;
    for (std::size_t index = 0; index < plan.Count(); ++index) {
      if (plan.MissingAt(index)) continue;  // an entry naming no file: nothing to delete
      switch (plan.SpareAt(index)) {
        case SpareReason::kNone: {
          ++files;
          const std::string path = plan.PathAt(index);
          WriteText(run.out, path);
          WriteText(run.out, std::string_view(&separator, 1));
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
                       "Would spare: " + Number(hidden) + " hidden, " + Number(readOnly) +
                       " read-only, " + Number(system) + " system\n" + "In use: " + Number(inUse) +
                       "\n");
    return kExitSuccess;
  });
}

int RunSavedClean(const CommandLineRun& run) {
  return WithSavedSettings(run, [&run](CleanerSession& session) {
    PlatformServices& platform = session.Platform();
    const CleanSettings& settings = session.Settings();
    ProgressLine progress(run.err, IsTerminal(run.err));
    const CleanPlan plan = GatherSavedPlan(session, progress, /*guard=*/false);
    // Measured: the report tells the bytes each deleted file held.
    const CleanReport report = ExecuteCleanPlan(
        plan, settings, platform.files,
        [&progress](std::size_t done, std::size_t total) {
          progress.Update([done, total] {
            return "Deleting: " + GroupedDigits(done) + " of " + GroupedDigits(total) + " files";
          });
        },
        {}, /*measure=*/true);
    progress.Clear();

    // The step after the deletions (the bin's among them), as the window's
    // run takes it.
    if (settings.m_bAutoRun) platform.launcher.Open(settings.m_strExeToRun);

    for (const CleanReport::Failure& failure : report.failures)
      Print(run.err, run.programName + ": cannot delete " + QuotedForMessage(failure.path) + ": " +
                         failure.reason + "\n");
    // Each category and entry in the order they were cleaned, the bin's
    // folders last; then the totals.
    std::ostringstream text;
    for (std::size_t group = 0; group < plan.Groups().size() && group < report.groups.size();
         ++group)
      text << GroupLine(plan.Groups()[group], report.groups[group]);
    text << "Deleted: " << Files(report.deleted) << ", " << Bytes(report.bytesFreed) << " freed\n"
         << "Spared: " << Number(report.sparedHidden) << " hidden, "
         << Number(report.sparedReadOnly) << " read-only, " << Number(report.sparedSystem)
         << " system\n"
         << "Failed: " << Number(report.failed) << "\n"
         << "Vanished: " << Number(report.vanished) << "\n"
         << "Changed since found: " << Number(report.changed) << "\n"
         << "In use: " << Number(report.inUse) << "\n";
    Print(run.out, text.str());
    const bool reportLost = std::fflush(run.out) != 0 || std::ferror(run.out);
    const int lostBecause = errno;
    if (run.notify) NotifyCleanReport(platform.launcher, report);
    // A report that was lost (standard output full or closed) is a failure:
    // a script reading it would take silence for success.
    if (reportLost) {
      Print(run.err,
            run.programName + ": cannot write the report: " + std::strerror(lostBecause) + "\n");
      return kExitFailure;
    }
    return report.failed > 0 ? kExitFailure : kExitSuccess;
  });
}
