#include "platform/posix/firefox_profiles.h"

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// One "[section]" of an ini text and its "key=value" lines, in order.
struct IniSection {
  std::string_view name;
  std::vector<std::pair<std::string_view, std::string_view>> entries;

  std::optional<std::string_view> Get(std::string_view key) const {
    for (const auto& [name, value] : entries)
      if (name == key) return value;
    return std::nullopt;
  }
};

// Lines that are neither a section nor a "key=value" are passed over, as
// Firefox does.
std::vector<IniSection> ParseIni(std::string_view text) {
  std::vector<IniSection> sections;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.starts_with('[') && line.ends_with(']')) {
      sections.push_back({line.substr(1, line.size() - 2), {}});
    } else if (const auto equals = line.find('=');
               equals != std::string_view::npos && !sections.empty()) {
      sections.back().entries.emplace_back(Trimmed(line.substr(0, equals)),
                                           Trimmed(line.substr(equals + 1)));
    }
  }
  return sections;
}

std::optional<FirefoxProfile> FirstInstallDefault(const std::vector<IniSection>& sections,
                                                  bool (*isInstall)(std::string_view)) {
  for (const IniSection& section : sections) {
    if (!isInstall(section.name)) continue;
    if (const auto path = section.Get("Default"); path && !path->empty())
      return FirefoxProfile{std::string(*path), !path->starts_with('/')};
  }
  return std::nullopt;
}

}  // namespace

std::optional<FirefoxProfile> DefaultFirefoxProfile(std::string_view installsIni,
                                                    std::string_view profilesIni) {
  // installs.ini holds nothing but install sections, named by a hash.
  if (auto profile =
          FirstInstallDefault(ParseIni(installsIni), [](std::string_view) { return true; }))
    return profile;
  const auto profiles = ParseIni(profilesIni);
  if (auto profile = FirstInstallDefault(
          profiles, [](std::string_view name) { return name.starts_with("Install"); }))
    return profile;
  for (const IniSection& section : profiles) {
    if (!section.name.starts_with("Profile") || section.Get("Default") != "1") continue;
    const auto path = section.Get("Path");
    if (!path || path->empty()) return std::nullopt;
    return FirefoxProfile{std::string(*path), section.Get("IsRelative") == "1"};
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> RelativeProfileFolders(std::string_view path) {
  if (path.starts_with('/') || path.find('\0') != std::string_view::npos) return std::nullopt;
  std::vector<std::string> folders;
  while (!path.empty()) {
    const auto slash = path.find('/');
    const std::string_view folder = path.substr(0, slash);
    path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    if (folder == "..") return std::nullopt;
    if (!folder.empty() && folder != ".") folders.emplace_back(folder);
  }
  if (folders.empty()) return std::nullopt;
  return folders;
}
