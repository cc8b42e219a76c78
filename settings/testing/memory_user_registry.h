#pragma once

// The user's registry in memory: counts the batches stored, and reads and
// writes the values of one application's own section. Test-only.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry_file.h"
#include "platform/user_registry.h"

class MemoryUserRegistry : public UserRegistry {
 public:
  explicit MemoryUserRegistry(std::string application = "dustral")
      : application_(std::move(application)) {}

  std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                          std::string_view valueName) const override {
    return file.QueryValue(root, keyPath, valueName);
  }
  std::size_t CountValues(RegistryRoot root, std::string_view keyPath) const override {
    return file.CountValues(root, keyPath);
  }
  std::optional<std::string> Unreadable() const override { return std::nullopt; }
  std::string Where() const override { return "memory"; }
  bool Apply(const std::vector<RegistryWrite>& writes) override {
    ++batches;
    for (const RegistryWrite& write : writes)
      if (write.value) file.SetValue(write.root, write.keyPath, write.valueName, *write.value);
    return true;
  }

  // A value of the application's section, as the profile keeps it.
  std::optional<RegistryValue> Stored(const std::string& section, const std::string& name) const {
    return file.QueryValue(RegistryRoot::kCurrentUser, Key(section), name);
  }
  void Store(const std::string& section, const std::string& name, RegistryValue value) {
    file.SetValue(RegistryRoot::kCurrentUser, Key(section), name, std::move(value));
  }

  RegistryFile file;
  int batches = 0;

 private:
  std::string Key(const std::string& section) const {
    return "Software\\Orlemont Software\\" + application_ + "\\" + section;
  }

  std::string application_;
};
