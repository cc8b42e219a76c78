#pragma once

#include <filesystem>
#include <string>

// Loads the module (a shared library) at `module` for good and finds the
// function it exports as `name`. Nothing (null) when either fails; `whyNot`
// then says why in the system's words. Defined by each backend.
void* LoadModuleFunction(const std::filesystem::path& module, const char* name,
                         std::string& whyNot);

// The running program's own file as the system reports it (links
// resolved); empty where the system can't tell. Defined by each backend.
std::filesystem::path RunningProgramFile();
