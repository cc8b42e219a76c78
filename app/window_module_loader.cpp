#include "app/window_module_loader.h"

#include <dlfcn.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/window_module.h"

namespace {

// Where the module may lie, first found first taken.
std::vector<std::filesystem::path> ModuleCandidates(const std::filesystem::path& executable) {
  const std::filesystem::path directory = executable.parent_path();
  return {directory / kWindowModuleName,
          directory / DUSTRAL_WINDOW_MODULE_DIR_FROM_BINDIR / kWindowModuleName};
}

}  // namespace

int RunWindowModule(const std::filesystem::path& executable, const std::string& programName,
                    bool autoCleanAllowed, int argc, char** argv) {
  std::string why = "not found";
  for (const std::filesystem::path& candidate : ModuleCandidates(executable)) {
    std::error_code error;
    if (!std::filesystem::exists(candidate, error)) continue;
    // Never unloaded: the toolkit keeps running parts of it until the exit.
    void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      why = ::dlerror();
      continue;
    }
    using Entry = int (*)(const char*, int, int, char**);
    if (auto* run = reinterpret_cast<Entry>(::dlsym(module, kWindowEntryPoint)))
      return run(executable.c_str(), autoCleanAllowed ? 1 : 0, argc, argv);
    why = std::string(candidate) + " has no entry point";
  }
  std::cerr << programName << ": cannot open the window: " << kWindowModuleName << ": " << why
            << '\n';
  return kExitFailure;
}
