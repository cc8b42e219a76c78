#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "platform/registry.h"

// The emulated registry: a text file in the format that the Windows
// registry editor exports (REGEDIT4), holding keys of HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE. Everything in the file that this class does not
// understand (comments, unknown or malformed lines, keys of other roots) is
// kept in its place and written back byte for byte; so are values that were
// not changed. A file in UTF-16 (as the "Version 5.00" exports are) is
// written back in UTF-16. Lookups go through indexes, so that reading and
// writing many values takes time in proportion to their number.
class RegistryFile : public RegistryStrings {
 public:
  // An empty registry.
  RegistryFile() = default;

  // Reads the bytes of a file: UTF-8 (or any 8-bit encoding), or UTF-16 LE
  // with its byte-order mark.
  static RegistryFile Parse(std::string_view bytes);
  std::string Format() const;

  std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                          std::string_view valueName) const override;

  // Creates or replaces a value, creating its key when missing. An existing
  // value keeps the spelling of its name. False when a name holds a line
  // break and so can't be stored.
  bool SetValue(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                RegistryValue value);
  // How many values the key holds (a name stored twice counts twice).
  std::size_t CountValues(RegistryRoot root, std::string_view keyPath) const;
  // Removes the value wherever it is stored; a missing value is no error.
  void DeleteValue(RegistryRoot root, std::string_view keyPath, std::string_view valueName);

 private:
  struct StoredValue {
    std::string name;
    RegistryValue value;
    // The value's lines as read, joined by their line ends, in the file's
    // encoding; empty once the value changed.
    std::string lines;
    bool removed = false;  // deleted: written no more
  };
  // A line kept as it was read, in the file's encoding.
  struct VerbatimLine {
    std::string text;
  };
  using Item = std::variant<StoredValue, VerbatimLine>;
  struct Key {
    std::string path;                // below the root's name, as in the file
    std::string line;                // the key line as read, or empty for a new key
    std::vector<Item> items;         // up to the key's last value
    std::vector<VerbatimLine> tail;  // the comments and blank lines after it
    // Where the last live value of each name is in `items`, by the name in
    // lower case, so that a lookup doesn't walk the key.
    std::unordered_map<std::string, std::size_t> lastOfName;
    bool repeatsNames = false;  // some name is stored more than once
  };
  enum class Encoding { kUtf8, kUtf16Le };

  static std::string FullPath(RegistryRoot root, std::string_view keyPath);
  void AddParsedKey(Key key);
  static void Index(Key& key, std::size_t item);
  Key* LastKey(const std::string& fullPath);
  bool EndsWithBlankLine() const;
  // Appends a key, separated from what is before it by a blank line.
  Key& AddKey(const std::string& fullPath);
  // Where the value that a read finds is stored: the last one of that name
  // in the file, as an import of the file would leave it.
  struct Position {
    std::size_t key;
    std::size_t item;
  };
  std::optional<Position> LastValue(const std::string& fullPath, std::string_view valueName) const;
  StoredValue& At(Position position);
  // A line of the program's own, in the file's encoding (without line end).
  std::string Encoded(std::string_view line) const;
  std::string Decoded(std::string_view line) const;

  Encoding encoding_ = Encoding::kUtf8;
  std::string oddByte_;             // a UTF-16 file's last byte, when its length is odd
  std::string newline_ = "\n";      // the file's line ending, kept for new lines
  std::vector<VerbatimLine> head_;  // the lines before the first key
  std::vector<Key> keys_;           // in file order; a key may appear twice
  // The indexes in keys_ of each key path, in lower case.
  std::unordered_map<std::string, std::vector<std::size_t>> keysByPath_;
};
