#include "winui/help_opener.h"

#include <utility>

#include "platform/win32/wide_text.h"
// After windows.h.
#include <shellapi.h>
#include <shlwapi.h>

namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

std::string PercentEncoded(const std::string& bytes, const char* keep) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (IsUnreserved(c) || (c != 0 && std::string_view(keep).find(byte) != std::string::npos)) {
      encoded += byte;
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0xF];
    }
  }
  return encoded;
}

// Wine's browser launcher turns a local file's address into a path, and
// gives up on one that carries an anchor.
bool LauncherDropsAnchoredFiles() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace

std::wstring FileUrlOf(const std::filesystem::path& file, const std::string& section) {
  std::string path = NarrowFromWide(file.native());
  for (char& c : path)
    if (c == '\\') c = '/';
  std::string url = "file:";
  if (path.starts_with("//"))
    url += PercentEncoded(path, "/");  // file://server/share/...
  else
    url += "///" + PercentEncoded(path, "/:");
  if (!section.empty()) url += "#" + PercentEncoded(section, "");
  return WideFromNarrow(url);
}

BrowserHelpOpener::BrowserHelpOpener(std::filesystem::path helpFile, std::string applicationName,
                                     Win32UiServices& ui, OpenUrl openUrl)
    : helpFile_(std::move(helpFile)),
      applicationName_(std::move(applicationName)),
      ui_(ui),
      openUrl_(std::move(openUrl)) {}

// The contents open the document at its top, without an anchor: some
// browser launchers (Wine's among them) can't pass an anchor on with a
// local file, and the contents are where the document begins.
void BrowserHelpOpener::ShowContents(HWND owner) { ShowSection(owner, ""); }

void BrowserHelpOpener::ShowSection(HWND owner, const std::string& section) {
  const DWORD attributes = GetFileAttributesW(helpFile_.c_str());
  const bool present =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (present && openUrl_(owner, FileUrlOf(helpFile_, section))) return;
  ui_.ShowMessage(owner, {"Failed to launch help.", applicationName_, MessageIcon::kExclamation,
                          MessageButtons::kOk});
}

bool BrowserHelpOpener::OpenInDefaultBrowser(HWND owner, const std::wstring& url) {
  wchar_t browser[MAX_PATH * 4] = {};
  DWORD size = static_cast<DWORD>(std::size(browser));
  if (FAILED(AssocQueryStringW(ASSOCF_IS_PROTOCOL | ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE,
                               L"http", L"open", browser, &size)))
    return false;
  // There the document opens at its top rather than not at all.
  const std::wstring address = LauncherDropsAnchoredFiles() && url.starts_with(L"file:")
                                   ? url.substr(0, url.find(L'#'))
                                   : url;
  const std::wstring argument = L"\"" + address + L"\"";
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"open", browser, argument.c_str(), nullptr, SW_SHOWNORMAL));
  return result > 32;
}
