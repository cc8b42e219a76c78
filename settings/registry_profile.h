#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/user_registry.h"
#include "settings/profile.h"

// The company key under HKEY_CURRENT_USER\Software.
inline constexpr const char* kRegistryCompanyKey = "Orlemont Software";

// The profile in the user's registry: section S of the program lives in the
// key HKEY_CURRENT_USER\Software\Orlemont Software\<application name>\S,
// integers as dword values, texts as string values. Reads see the writes
// made since the last commit; a commit hands them to the registry at once
// (which keeps what other programs changed meanwhile).
class RegistryProfile : public Profile {
 public:
  RegistryProfile(UserRegistry& registry, std::string applicationName);

  int32_t GetProfileInt(const std::string& section, const std::string& entry,
                        int32_t defaultValue) const override;
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) const override;
  std::size_t CountValues(const std::string& section) const override;
  void WriteProfileInt(const std::string& section, const std::string& entry,
                       int32_t value) override;
  void WriteProfileString(const std::string& section, const std::string& entry,
                          const std::optional<std::string>& text) override;
  // Also false, without touching the store, when the registry could not be
  // read: replacing it would lose what it holds.
  bool Commit() override;

 private:
  std::string SectionKey(const std::string& section) const;
  std::optional<RegistryValue> Read(const std::string& section, const std::string& entry) const;
  void Write(const std::string& section, const std::string& entry,
             std::optional<RegistryValue> value);  // nothing: delete

  UserRegistry& registry_;
  std::string applicationName_;
  std::vector<RegistryWrite> pending_;  // in the order made
  // The last pending write of each value, by key and name in lower case.
  std::unordered_map<std::string, std::size_t> pendingByName_;
};
