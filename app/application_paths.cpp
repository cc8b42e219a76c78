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

std::filesystem::path RunningExecutable(const char* argv0) {
  std::filesystem::path running = RunningProgramFile();
  if (!running.empty()) return running;
  std::error_code error;
  return std::filesystem::absolute(argv0 ? argv0 : "", error);
}
