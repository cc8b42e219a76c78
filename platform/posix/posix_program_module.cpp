#include <dlfcn.h>

#include "platform/program_module.h"

void* LoadModuleFunction(const std::filesystem::path& module, const char* name,
                         std::string& whyNot) {
  // Never unloaded: a toolkit keeps running parts of it until the exit.
  void* loaded = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!loaded) {
    const char* error = ::dlerror();
    whyNot = error ? error : "cannot be loaded";
    return nullptr;
  }
  void* function = ::dlsym(loaded, name);
  if (!function) whyNot = module.string() + " has no entry point";
  return function;
}

std::filesystem::path RunningProgramFile() {
#ifdef __linux__
  // Linux names the running program's file in /proc.
  std::error_code error;
  std::filesystem::path running = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && running.is_absolute()) return running;
#endif
  return {};
}
