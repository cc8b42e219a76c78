#include "app/window_module_loader.h"

#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/window_module.h"
#include "platform/program_module.h"

namespace {

// Where the module may lie, first found first taken.
std::vector<std::filesystem::path> ModuleCandidates(const std::filesystem::path& executable) {
  const std::filesystem::path directory = executable.parent_path();
  return {directory / kWindowModuleName,
          directory / DUSTRAL_WINDOW_MODULE_DIR_FROM_BINDIR / kWindowModuleName};
}

}  // namespace

int RunWindowModule(const std::filesystem::path& executable, const std::string& programName,
                    StartupSources& sources, bool autoCleanAllowed, int argc, char** argv) {
  std::string why = "not found";
  for (const std::filesystem::path& candidate : ModuleCandidates(executable)) {
    std::error_code error;
    if (!std::filesystem::exists(candidate, error)) continue;
    using Entry = int (*)(const char*, StartupSources*, int, int, char**);
    if (void* entry = LoadModuleFunction(candidate, kWindowEntryPoint, why))
      return reinterpret_cast<Entry>(entry)(executable.c_str(), &sources, autoCleanAllowed ? 1 : 0,
                                            argc, argv);
  }
  std::cerr << programName << ": cannot open the window: " << kWindowModuleName << ": " << why
            << '\n';
  return kExitFailure;
}
