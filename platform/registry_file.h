#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/registry.h"

// The emulated registry: a text file in the format that the Windows
// registry editor exports (REGEDIT4), holding keys of HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE. Everything in the file that this class does not
// understand (comments, unknown or malformed lines, keys of other roots) is
// kept in its place and written back byte for byte; so are values that were
// not changed.
class RegistryFile : public RegistryStrings {
 public:
  // An empty registry.
  RegistryFile() = default;

  static RegistryFile Parse(std::string_view text);
  std::string Format() const;

  // Reads the file at `path`; a missing or unreadable file gives an empty
  // registry. Never throws on the file's content.
  static RegistryFile Load(const std::filesystem::path& path);
  // Reads the file at `path`: empty when it doesn't exist, nothing when it
  // exists but can't be read (so that a save doesn't overwrite it).
  static std::optional<RegistryFile> ReadExisting(const std::filesystem::path& path);
  // Writes the whole registry as a new file beside `path` and renames it
  // over `path`, creating the directory when missing, so that the file is
  // always either the old one or the new one. False when nothing changed on
  // disk; an empty `path` is never written.
  bool Save(const std::filesystem::path& path) const;

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
    std::vector<std::string> lines;  // as read; empty once changed
  };
  // A line kept as it was read.
  struct VerbatimLine {
    std::string text;
  };
  using Item = std::variant<StoredValue, VerbatimLine>;
  struct Key {
    std::string path;  // below the root's name, as in the file
    std::string line;  // the key line as read, or empty for a new key
    std::vector<Item> items;
  };

  static std::string FullPath(RegistryRoot root, std::string_view keyPath);
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

  std::string newline_ = "\n";      // the file's line ending, kept for new lines
  std::vector<VerbatimLine> head_;  // the lines before the first key
  std::vector<Key> keys_;           // in file order; a key may appear twice
};
