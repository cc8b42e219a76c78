#include "app/application_paths.h"

std::string ApplicationNameOf(const std::filesystem::path& executable) {
  return executable.stem().string();
}

std::filesystem::path HelpFileOf(const std::filesystem::path& executable) {
  std::filesystem::path help = executable;
  help.replace_extension(".HLP");
  return help;
}
