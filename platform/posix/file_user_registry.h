#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/registry_file_lock.h"
#include "platform/registry_file.h"
#include "platform/user_registry.h"

// The user's registry as one file (see RegistryFile), read when made.
//
// Apply takes the writers' lock (RegistryFileLock), reads the file again
// as it is on disk then, applies the writes to it and replaces it as a
// whole, so that what other programs changed meanwhile is kept. A file
// that exists but can't be read (no regular file, too large, a link that
// leads nowhere) is never replaced: that would lose what it holds.
class FileUserRegistry : public UserRegistry {
 public:
  explicit FileUserRegistry(std::filesystem::path file,
                            std::chrono::milliseconds lockWait = RegistryFileLock::kWait);

  std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                          std::string_view valueName) const override;
  std::size_t CountValues(RegistryRoot root, std::string_view keyPath) const override;
  std::optional<std::string> Unreadable() const override { return unreadable_; }
  std::string Where() const override { return file_.string(); }
  bool Apply(const std::vector<RegistryWrite>& writes) override;

 private:
  static void Write(RegistryFile& registry, const RegistryWrite& write);

  std::filesystem::path file_;
  std::chrono::milliseconds lockWait_;
  std::optional<std::string> unreadable_;
  // The file's bytes when last read or written (nothing when unreadable).
  // An update that finds them unchanged needs no second parse.
  std::optional<std::string> fileBytes_;
  RegistryFile registry_;  // fileBytes_ parsed
};
