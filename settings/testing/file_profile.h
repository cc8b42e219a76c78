#pragma once

// A profile on a registry file, as the program opens it. Test-only.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/posix/file_user_registry.h"
#include "settings/registry_profile.h"

namespace file_profile_detail {
struct OwnedRegistry {
  std::unique_ptr<FileUserRegistry> registry;
};
}  // namespace file_profile_detail

class FileProfile : private file_profile_detail::OwnedRegistry, public RegistryProfile {
 public:
  explicit FileProfile(const std::filesystem::path& file, std::string applicationName = "dustral",
                       std::chrono::milliseconds lockWait = RegistryFileLock::kWait)
      : OwnedRegistry{std::make_unique<FileUserRegistry>(file, lockWait)},
        RegistryProfile(*registry, std::move(applicationName)) {}
};
