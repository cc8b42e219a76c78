#include "platform/win32/win32_user_registry.h"

#include <vector>

#include "platform/win32/wide_text.h"

namespace {

class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_) ::RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// What the program keeps of a value's data: text as UTF-8, the rest as is.
std::string DataFromRegistry(DWORD type, const std::vector<BYTE>& bytes) {
  if (!IsText(type)) return std::string(bytes.begin(), bytes.end());
  // An odd last byte can't be a UTF-16 unit; it is dropped.
  const std::wstring_view units(reinterpret_cast<const wchar_t*>(bytes.data()),
                                bytes.size() / sizeof(wchar_t));
  return NarrowFromWide(units);
}

std::vector<BYTE> DataForRegistry(const RegistryValue& value) {
  if (!IsText(value.type)) return std::vector<BYTE>(value.data.begin(), value.data.end());
  const std::wstring units = WideFromNarrow(value.data);
  const auto* bytes = reinterpret_cast<const BYTE*>(units.data());
  return std::vector<BYTE>(bytes, bytes + units.size() * sizeof(wchar_t));
}

}  // namespace

std::optional<RegistryValue> Win32UserRegistry::QueryValue(RegistryRoot root,
                                                           std::string_view keyPath,
                                                           std::string_view valueName) const {
  OpenKey key;
  if (::RegOpenKeyExW(Root(root), WideFromNarrow(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.Out()) !=
      ERROR_SUCCESS)
    return std::nullopt;
  const std::wstring name = WideFromNarrow(valueName);
  std::vector<BYTE> data(256);
  for (;;) {
    DWORD type = REG_NONE;
    auto size = static_cast<DWORD>(data.size());
    const LONG result =
        ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, data.data(), &size);
    if (result == ERROR_MORE_DATA) {
      data.resize(size);  // changed meanwhile: asked again with room for it
      continue;
    }
    if (result != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    return RegistryValue{type, DataFromRegistry(type, data)};
  }
}

std::size_t Win32UserRegistry::CountValues(RegistryRoot root, std::string_view keyPath) const {
  OpenKey key;
  if (::RegOpenKeyExW(Root(root), WideFromNarrow(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.Out()) !=
      ERROR_SUCCESS)
    return 0;
  DWORD values = 0;
  if (::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  return values;
}

std::optional<std::string> Win32UserRegistry::Unreadable() const {
  OpenKey key;
  const LONG result = ::RegOpenKeyExW(currentUser_, L"Software", 0, KEY_READ, key.Out());
  if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (result == ERROR_ACCESS_DENIED) return std::string("access denied");
  return std::string("the registry can't be opened (error ") + std::to_string(result) + ")";
}

bool Win32UserRegistry::Apply(const std::vector<RegistryWrite>& writes) {
  if (Unreadable()) return false;
  bool stored = true;
  for (const RegistryWrite& write : writes) {
    const std::wstring keyPath = WideFromNarrow(write.keyPath);
    const std::wstring name = WideFromNarrow(write.valueName);
    OpenKey key;
    if (!write.value) {
      const LONG opened =
          ::RegOpenKeyExW(Root(write.root), keyPath.c_str(), 0, KEY_SET_VALUE, key.Out());
      if (opened == ERROR_FILE_NOT_FOUND) continue;  // nothing to delete
      const LONG deleted =
          opened == ERROR_SUCCESS ? ::RegDeleteValueW(key.Get(), name.c_str()) : opened;
      if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) stored = false;
      continue;
    }
    if (::RegCreateKeyExW(Root(write.root), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.Out(), nullptr) != ERROR_SUCCESS) {
      stored = false;
      continue;
    }
    const std::vector<BYTE> data = DataForRegistry(*write.value);
    if (::RegSetValueExW(key.Get(), name.c_str(), 0, write.value->type, data.data(),
                         static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
      stored = false;
  }
  return stored;
}

std::unique_ptr<UserRegistry> OpenUserRegistry() { return std::make_unique<Win32UserRegistry>(); }
