#pragma once

#include <filesystem>

// The registry file of the user running the program:
// ${XDG_CONFIG_HOME:-$HOME/.config}/Orlemont Software/registry.reg.
// A relative XDG_CONFIG_HOME is ignored, as the XDG base directory rules
// demand.
std::filesystem::path UserRegistryFilePath();
