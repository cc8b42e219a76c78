#include "platform/registry.h"

namespace {
constexpr std::size_t kStringBufferSize = 256;
}

std::string_view RegistryRootName(RegistryRoot root) {
  return root == RegistryRoot::kCurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

RegistryValue RegistryValue::String(std::string_view text) {
  std::string data(text);
  data.push_back('\0');
  return {registry_type::kString, std::move(data)};
}

RegistryValue RegistryValue::Dword(uint32_t number) {
  std::string data(4, '\0');
  for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((number >> (8 * i)) & 0xff);
  return {registry_type::kDword, std::move(data)};
}

std::optional<uint32_t> RegistryValue::AsDword() const {
  if (type != registry_type::kDword || data.size() != 4) return std::nullopt;
  uint32_t number = 0;
  for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(data[i]);
  return number;
}

bool RegistryStrings::ReadRegistryString(RegistryRoot root, std::string_view keyPath,
                                         std::string_view valueName, std::string& text) const {
  const auto value = QueryValue(root, keyPath, valueName);
  if (!value || value->data.size() > kStringBufferSize) return false;
  if (value->type != registry_type::kString && value->type != registry_type::kNone) return false;

  const std::string_view data = value->data;
  std::size_t end = data.find('\0');
  if (end == std::string_view::npos) {
    // Data without a NUL that fills the whole buffer leaves no room for the
    // terminator, so the text would not fit.
    if (data.size() == kStringBufferSize) return false;
    end = data.size();
  }
  text.assign(data.substr(0, end));
  return true;
}
