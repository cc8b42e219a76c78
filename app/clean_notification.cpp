#include "app/clean_notification.h"

#include "session/size_text.h"

namespace {

std::string Files(std::uint64_t count) {
  return GroupedDigits(count) + (count == 1 ? " file" : " files");
}

}  // namespace

std::string CleanNotificationText(const CleanReport& report) {
  std::string text = report.deleted == 0 ? std::string("Nothing was deleted.")
                                         : "Deleted " + Files(report.deleted) + ", freeing " +
                                               ReadableTotal(report.bytesFreed) + ".";
  if (report.failed > 0)
    text += " " + GroupedDigits(report.failed) + " could not be deleted" +
            " (run dustral --clean in a terminal to see why).";
  return text;
}

void NotifyCleanReport(ProgramLauncher& launcher, const CleanReport& report) {
  // The text is the program's own; it goes to notify-send as one argument,
  // never through a shell.
  launcher.StartCommand("notify-send", {"--app-name=Dustral", "--icon=dustral",
                                        report.failed > 0 ? "--urgency=normal" : "--urgency=low",
                                        "Dustral: clean done", CleanNotificationText(report)});
}
