#include "session/category_tips.h"

#include "settings/categories.h"

namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";  // "…" in UTF-8
constexpr char kLocationsSection[] = "Telling Dustral where the browser folders are";
constexpr char kCategoriesSection[] = "What each category deletes";

const Category* CategoryOf(ControlId box) {
  for (const Category& category : kCategories)
    if (category.box == box) return &category;
  return nullptr;
}

// A category without sweeps (the waste basket) is always there; one with
// sweeps only when one of its folders was found.
bool Found(const Category& category, const CleanLocations& locations) {
  if (category.sweeps.empty()) return true;
  for (const CategorySweep& sweep : category.sweeps)
    if (!(locations.*sweep.directory).empty()) return true;
  return false;
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// Whose disk cache a folder found on this desktop is, from the path the
// discovery gives it; empty for a folder named in the settings file.
std::string BrowserOf(const std::string& cache) {
  if (Contains(cache, "/mozilla/firefox/")) return "Firefox";
  if (Contains(cache, "/microsoft-edge/")) return "Microsoft Edge";
  if (Contains(cache, "/google-chrome/")) return "Google Chrome";
  if (Contains(cache, "/chromium/")) return "Chromium";
  return "";
}

std::string CacheTip(const std::string& cache, const std::string& home, const char* which,
                     const char* files) {
  const std::string browser = BrowserOf(cache);
  const std::string whose =
      browser.empty() ? std::string("The ") + which + " cache folder" : browser + "'s disk cache";
  return whose + (browser.empty() ? " " : ": ") + ShortPath(cache, home) + " (" + files + ")";
}

std::string TempTip(const CleanLocations& at, const std::string& home) {
  std::string tip;
  if (!at.m_strTemp.empty())
    tip = "The *.tmp files directly in TEMP=" + ShortPath(at.m_strTemp, home);
  if (!at.m_strTmp.empty()) {
    tip += tip.empty() ? "The *.tmp files of TMP=" : ", and those of TMP=";
    tip += ShortPath(at.m_strTmp, home) + " and every folder below it";
  }
  return tip;
}

std::string BinTip(const std::vector<std::string>& bins, const std::string& home) {
  if (bins.empty()) return "Empties the trash: no trash folder was found on a local disk now";
  std::string tip = "Empties the trash: every file directly in ";
  for (size_t i = 0; i < bins.size(); ++i) {
    if (i > 0) tip += i + 1 == bins.size() ? " and " : ", ";
    tip += ShortPath(bins[i], home);
  }
  return tip;
}

std::string FoundTip(ControlId box, const CategoryTipSources& sources) {
  const CleanLocations& at = sources.locations;
  const std::string& home = sources.home;
  switch (box) {
    case ControlId::kRecentBox:
      return "The shortcuts (*.lnk) directly in the recent-documents folder " +
             ShortPath(at.m_strRecent, home);
    case ControlId::kTempBox:
      return TempTip(at, home);
    case ControlId::kNetscapeBox:
      return CacheTip(at.m_strNetscapeCache, home, "Netscape", "every file directly in it");
    case ControlId::kIECacheBox:
      return CacheTip(at.m_strIECache, home, "Internet Explorer",
                      "every file in it and in every folder below it");
    case ControlId::kIEHistoryBox:
      return "The history folder " + ShortPath(at.m_strIEHistory, home) +
             " (every file directly in it)";
    case ControlId::kRecycleBinBox:
      return BinTip(sources.binFolders, home);
  }
  return "";
}

struct OffReason {
  const char* why;
  const char* section;
};

OffReason ReasonSwitchedOff(ControlId box) {
  switch (box) {
    case ControlId::kRecentBox:
      return {
          "this desktop keeps no folder of shortcuts to recent documents, and the settings "
          "file names none",
          kLocationsSection};
    case ControlId::kTempBox:
      return {"neither TEMP nor TMP names a folder", kCategoriesSection};
    case ControlId::kNetscapeBox:
      return {
          "no disk cache of Firefox was found, and the settings file names no Netscape cache "
          "folder",
          kLocationsSection};
    case ControlId::kIECacheBox:
      return {
          "no disk cache of Microsoft Edge, Google Chrome or Chromium was found, and the "
          "settings file names no Internet Explorer cache folder",
          kLocationsSection};
    case ControlId::kIEHistoryBox:
      return {
          "browsers here keep their history inside their profile, together with bookmarks "
          "and passwords, so there is no folder of history alone to empty, and the settings "
          "file names none",
          kLocationsSection};
    case ControlId::kRecycleBinBox:
      break;
  }
  return {"nothing to clean was found", kCategoriesSection};
}

}  // namespace

std::string ShortPath(const std::string& path, const std::string& home) {
  std::string shown = path;
  if (!home.empty() && home != "/") {
    const std::string base = home.back() == '/' ? home.substr(0, home.size() - 1) : home;
    if (shown == base)
      shown = "~";
    else if (shown.starts_with(base + "/"))
      shown = "~" + shown.substr(base.size());
  }
  // .../firefox/<profile>/cache2/...: the profile's name says nothing.
  const std::string firefox = "/mozilla/firefox/";
  const size_t profile = shown.find(firefox);
  if (profile != std::string::npos) {
    const size_t start = profile + firefox.size();
    const size_t end = shown.find('/', start);
    if (end != std::string::npos && end > start) shown.replace(start, end - start, kEllipsis);
  }
  return shown;
}

std::string CategoryTip(ControlId box, const CategoryTipSources& sources) {
  const Category* category = CategoryOf(box);
  if (!category) return "";
  if (Found(*category, sources.locations)) return FoundTip(box, sources) + ".";
  const OffReason reason = ReasonSwitchedOff(box);
  return std::string("Switched off: ") + reason.why + ". The help's section \"" + reason.section +
         "\" tells more (F1).";
}
