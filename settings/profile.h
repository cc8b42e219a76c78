#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The program's own store of settings: sections holding named integers and
// texts. Reads give the default when the value is missing or of another
// type. Writes are collected and reach the store in one go at Commit.
class Profile {
 public:
  virtual ~Profile() = default;

  virtual int32_t GetProfileInt(const std::string& section, const std::string& entry,
                                int32_t defaultValue) const = 0;
  virtual std::string GetProfileString(const std::string& section, const std::string& entry,
                                       const std::string& defaultValue) const = 0;

  // How many values the section holds.
  virtual std::size_t CountValues(const std::string& section) const = 0;

  virtual void WriteProfileInt(const std::string& section, const std::string& entry,
                               int32_t value) = 0;
  // A null text deletes the value.
  virtual void WriteProfileString(const std::string& section, const std::string& entry,
                                  const std::optional<std::string>& text) = 0;

  // Stores every write since the last commit at once. False when the store
  // could not be written; the writes are then still pending.
  virtual bool Commit() = 0;
};
