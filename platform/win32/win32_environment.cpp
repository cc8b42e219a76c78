#include "platform/win32/win32_environment.h"

#include "platform/win32/nt_files.h"
#include "platform/win32/wide_text.h"

namespace {

std::optional<std::wstring> Variable(const std::wstring& name) {
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length =
        ::GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::wstring();
    }
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    value.resize(length);  // the size it needs, its terminating NUL included
  }
}

}  // namespace

std::optional<std::string> Win32Environment::Get(const std::string& name) const {
  if (name.empty() || name.find('=') != std::string::npos) return std::nullopt;
  if (auto value = Variable(WideFromNarrow(name))) return NarrowFromWide(*value);
  if (name != "TEMP") return std::nullopt;
  wchar_t temporary[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temporary);
  if (length == 0 || length > MAX_PATH) return std::nullopt;
  std::wstring_view folder(temporary, length);
  // Without the trailing separator, as the variable is usually set.
  if (folder.size() > 3 && folder.ends_with(L'\\')) folder.remove_suffix(1);
  return NarrowFromWide(folder);
}

const Environment& SystemEnvironment() {
  static const Win32Environment environment;
  return environment;
}
