#pragma once

#include "platform/user_registry.h"
#include "platform/win32/nt_files.h"

// The Windows registry itself. Values are read when asked, so a value
// another program changed is seen as it is now; writes go value by value,
// and nothing else in the registry is touched. Text values (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-16 in the registry and UTF-8 here,
// their terminating NUL included; other values keep their bytes. Tests
// hand in keys of their own to stand for the two roots.
class Win32UserRegistry : public UserRegistry {
 public:
  explicit Win32UserRegistry(HKEY currentUser = HKEY_CURRENT_USER,
                             HKEY localMachine = HKEY_LOCAL_MACHINE)
      : currentUser_(currentUser), localMachine_(localMachine) {}

  std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                          std::string_view valueName) const override;
  std::size_t CountValues(RegistryRoot root, std::string_view keyPath) const override;
  std::optional<std::string> Unreadable() const override;
  std::string Where() const override { return "HKEY_CURRENT_USER"; }
  bool Apply(const std::vector<RegistryWrite>& writes) override;

 private:
  HKEY Root(RegistryRoot root) const {
    return root == RegistryRoot::kCurrentUser ? currentUser_ : localMachine_;
  }

  HKEY currentUser_;
  HKEY localMachine_;
};
