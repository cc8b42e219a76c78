#include "app/application_paths.h"

#include "platform/program_module.h"

std::string ApplicationNameOf(const std::filesystem::path& executable) {
  return executable.stem().string();
}

std::filesystem::path HelpFileOf(const std::filesystem::path& executable) {
  std::filesystem::path help = executable;
  help.replace_extension(".HLP");
  return help;
}

std::vector<std::filesystem::path> HelpFileCandidates(const std::filesystem::path& executable,
                                                      const std::filesystem::path& dataFromBindir) {
  const std::filesystem::path data = executable.parent_path() / dataFromBindir;
  return {HelpFileOf(executable),
          (data / (ApplicationNameOf(executable) + ".html")).lexically_normal()};
}

std::filesystem::path FindHelpFile(const std::filesystem::path& executable) {
  const std::vector<std::filesystem::path> candidates =
      HelpFileCandidates(executable, DUSTRAL_DATA_DIR_FROM_BINDIR);
  for (const std::filesystem::path& candidate : candidates) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return candidates.back();
}

std::filesystem::path RunningExecutable(const char* argv0) {
  std::filesystem::path running = RunningProgramFile();
  if (!running.empty()) return running;
  std::error_code error;
  return std::filesystem::absolute(argv0 ? argv0 : "", error);
}
