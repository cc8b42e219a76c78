#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The two registry roots the program reads and writes.
enum class RegistryRoot { kCurrentUser, kLocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
std::string_view RegistryRootName(RegistryRoot root);

// Value types, numbered as in the Windows registry.
namespace registry_type {
inline constexpr uint32_t kNone = 0;
inline constexpr uint32_t kString = 1;        // REG_SZ
inline constexpr uint32_t kExpandString = 2;  // REG_EXPAND_SZ
inline constexpr uint32_t kBinary = 3;        // REG_BINARY
inline constexpr uint32_t kDword = 4;         // REG_DWORD, little-endian
}  // namespace registry_type

// One value: its type and its data bytes. A string's data ends with its
// terminating NUL, as in the Windows registry.
struct RegistryValue {
  uint32_t type = registry_type::kNone;
  std::string data;

  static RegistryValue String(std::string_view text);
  static RegistryValue Dword(uint32_t number);

  // The number of a REG_DWORD value of four bytes; nothing for any other.
  std::optional<uint32_t> AsDword() const;

  bool operator==(const RegistryValue&) const = default;
};

// A read-only source of registry values: the registry file, or a test's
// stand-in. Key paths are given below the root ("Software\\Netscape");
// key and value names match without regard to ASCII case, and the empty
// value name is the key's default value.
class RegistryStrings {
 public:
  virtual ~RegistryStrings() = default;

  // The value, or nothing when the key or the value is missing.
  virtual std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                                  std::string_view valueName) const = 0;

  // Reads a text value through a 256-byte buffer: only REG_SZ and REG_NONE
  // values are accepted, and only when their data and the text's
  // terminating NUL fit into the buffer (255 characters pass, 256 fail).
  // The text is the data up to its first NUL; a value without data bytes
  // gives the empty text. On failure returns false and leaves `text` as it
  // was.
  bool ReadRegistryString(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                          std::string& text) const;
};
