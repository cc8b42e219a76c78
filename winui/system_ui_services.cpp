#include "winui/system_ui_services.h"

#include <filesystem>
#include <vector>

#include "platform/win32/wide_text.h"
// After windows.h.
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// COM for the shell's folder browser, for as long as a chooser is open; a
// thread that has it already keeps it.
class ComForThisThread {
 public:
  ComForThisThread()
      : initialised_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ComForThisThread() {
    if (initialised_) CoUninitialize();
  }
  ComForThisThread(const ComForThisThread&) = delete;
  ComForThisThread& operator=(const ComForThisThread&) = delete;

 private:
  bool initialised_;
};

// Selects the starting folder once the folder browser is up.
int CALLBACK SelectStartingFolder(HWND browser, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED && folder)
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, folder);
  return 0;
}

// The parsing name of a shell item: the full path of a file-system folder.
std::optional<std::wstring> ParsingNameOf(PCIDLIST_ABSOLUTE item) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return std::nullopt;
  STRRET name = {};
  std::optional<std::wstring> path;
  if (SUCCEEDED(desktop->GetDisplayNameOf(item, SHGDN_FORPARSING, &name))) {
    wchar_t* text = nullptr;
    if (SUCCEEDED(StrRetToStrW(&name, item, &text)) && text) {
      path = text;
      CoTaskMemFree(text);
    }
  }
  desktop->Release();
  return path;
}

}  // namespace

UINT MessageBoxStyleOf(const MessageRequest& request) {
  UINT style = 0;
  switch (request.icon) {
    case MessageIcon::kNone:
      break;
    case MessageIcon::kStop:
      style |= MB_ICONSTOP;
      break;
    case MessageIcon::kExclamation:
      style |= MB_ICONEXCLAMATION;
      break;
    case MessageIcon::kQuestion:
      style |= MB_ICONQUESTION;
      break;
  }
  switch (request.buttons) {
    case MessageButtons::kOk:
      style |= MB_OK;
      break;
    case MessageButtons::kOkCancelDefaultCancel:
      style |= MB_OKCANCEL | MB_DEFBUTTON2;
      break;
  }
  return style;
}

std::wstring FilterListOf(const FileChooserRequest& request) {
  std::wstring list;
  for (const auto& [display, pattern] : request.filters) {
    list += WideFromNarrow(display);
    list += L'\0';
    list += WideFromNarrow(pattern);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

std::wstring StartingFolderOf(const std::string& typedPath) {
  if (typedPath.empty()) return {};
  const std::wstring typed = WideFromNarrow(typedPath);
  if (IsFolder(typed)) return typed;
  const std::wstring parent = std::filesystem::path(typed).parent_path().native();
  return !parent.empty() && IsFolder(parent) ? parent : std::wstring();
}

MessageAnswer SystemUiServices::ShowMessage(HWND owner, const MessageRequest& request) {
  const int answer =
      MessageBoxW(owner, WideFromNarrow(request.text).c_str(),
                  WideFromNarrow(request.caption).c_str(), MessageBoxStyleOf(request));
  return answer == IDOK ? MessageAnswer::kOk : MessageAnswer::kCancel;
}

std::optional<std::string> SystemUiServices::ChooseFile(HWND owner,
                                                        const FileChooserRequest& request) {
  // Room for the longest path the system allows, so that no choice is cut.
  std::vector<wchar_t> chosen(32768, L'\0');
  const std::wstring filters = FilterListOf(request);
  const std::wstring title = WideFromNarrow(request.title);
  const std::wstring folder = StartingFolderOf(request.typedPath);
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  // The chooser would otherwise make the folder it was left in the
  // program's working directory.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return NarrowFromWide(chosen.data());
}

std::optional<std::string> SystemUiServices::ChooseDirectory(HWND owner, const std::string& title,
                                                             const std::string& typedPath) {
  const ComForThisThread com;
  const std::wstring caption = WideFromNarrow(title);
  const std::wstring folder = StartingFolderOf(typedPath);
  BROWSEINFOW browse = {};
  browse.hwndOwner = owner;
  browse.lpszTitle = caption.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = SelectStartingFolder;
  browse.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
  if (!item) return std::nullopt;
  const std::optional<std::wstring> path = ParsingNameOf(item);
  CoTaskMemFree(item);
  if (!path || path->empty()) return std::nullopt;
  return NarrowFromWide(*path);
}
