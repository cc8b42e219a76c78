#pragma once

#include <filesystem>

// The registry file of the user running the program:
// ${XDG_CONFIG_HOME:-$HOME/.config}/Orlemont Software/registry.reg.
// A relative XDG_CONFIG_HOME is ignored, as the XDG base directory rules
// demand. Empty when there is no valid place (HOME unset or relative as
// well): such a file is neither read nor written.
std::filesystem::path UserRegistryFilePath();
