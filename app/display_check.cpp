#include "app/display_check.h"

#include <string>

namespace {

bool IsSet(const Environment& environment, const char* name) {
  const auto value = environment.Get(name);
  return value && !value->empty();
}

}  // namespace

bool NamesADisplay(const Environment& environment) {
  const std::string chosen = environment.Get("QT_QPA_PLATFORM").value_or("");
  // "wayland;xcb" tries each in turn; the first decides whether one is named.
  const std::string first = chosen.substr(0, chosen.find(';'));
  if (first.starts_with("xcb")) return IsSet(environment, "DISPLAY");
  if (first.starts_with("wayland")) return IsSet(environment, "WAYLAND_DISPLAY");
  if (!first.empty()) return true;  // offscreen, vnc, eglfs...: no display server needed
  return IsSet(environment, "DISPLAY") || IsSet(environment, "WAYLAND_DISPLAY");
}
