#include "app/application_paths.h"

std::string ApplicationNameOf(const std::filesystem::path& executable) {
  return executable.stem().string();
}

std::filesystem::path HelpFileOf(const std::filesystem::path& executable) {
  std::filesystem::path help = executable;
  help.replace_extension(".HLP");
  return help;
}

std::filesystem::path RunningExecutable(const char* argv0) {
  std::error_code error;
  std::filesystem::path running = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && running.is_absolute()) return running;
  return std::filesystem::absolute(argv0 ? argv0 : "", error);
}
