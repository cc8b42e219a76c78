#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_file.h"
#include "platform/registry_file_lock.h"
#include "settings/profile.h"

// The company key under HKEY_CURRENT_USER\Software.
inline constexpr const char* kRegistryCompanyKey = "Orlemont Software";

// The profile in the registry file: section S of the program lives in the
// key HKEY_CURRENT_USER\Software\Orlemont Software\<application name>\S,
// integers as dword values, texts as string values.
//
// The file is read when the profile is made. A commit takes the writers'
// lock (RegistryFileLock), reads the file again as it is on disk then,
// applies this program's writes to it and replaces it as a whole, so that
// what other programs changed meanwhile is kept.
class RegistryProfile : public Profile {
 public:
  RegistryProfile(std::filesystem::path file, std::string applicationName,
                  std::chrono::milliseconds lockWait = RegistryFileLock::kWait);

  int32_t GetProfileInt(const std::string& section, const std::string& entry,
                        int32_t defaultValue) const override;
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) const override;
  std::size_t CountValues(const std::string& section) const override;
  void WriteProfileInt(const std::string& section, const std::string& entry,
                       int32_t value) override;
  void WriteProfileString(const std::string& section, const std::string& entry,
                          const std::optional<std::string>& text) override;
  // Also false, without touching the file, when the file exists but can't
  // be read (or is no regular file, or too large): replacing it would lose
  // what it holds.
  bool Commit() override;

 private:
  // The value a write left is the one registry_ holds (none after a
  // deletion), so only the name is kept.
  struct PendingWrite {
    std::string section;
    std::string entry;
  };

  std::string SectionKey(const std::string& section) const;
  void Write(const std::string& section, const std::string& entry,
             std::optional<RegistryValue> value);  // nothing: delete
  static void Apply(RegistryFile& registry, const std::string& keyPath, const std::string& entry,
                    const std::optional<RegistryValue>& value);

  std::filesystem::path file_;
  std::string applicationName_;
  std::chrono::milliseconds lockWait_;
  // The file's bytes when last read or written (nothing when unreadable).
  // A commit that finds them unchanged needs no second parse.
  std::optional<std::string> fileBytes_;
  RegistryFile registry_;  // fileBytes_ parsed, with the pending writes applied
  std::vector<PendingWrite> pending_;
};
