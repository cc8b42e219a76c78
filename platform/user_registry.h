#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

// One change to the user's registry.
struct RegistryWrite {
  RegistryRoot root;
  std::string keyPath;  // below the root, "Software\\Orlemont Software\\dustral\\Entries"
  std::string valueName;
  std::optional<RegistryValue> value;  // nothing: delete the value
};

// The user's registry as the program reads and writes it: other programs'
// values and the program's own key. Read once when opened.
class UserRegistry : public RegistryStrings {
 public:
  // Nothing when it could be read (or does not exist yet); otherwise why
  // not, in words ("not a regular file", "dangling symbolic link"). An
  // unreadable registry is never written (Apply answers false).
  virtual std::optional<std::string> Unreadable() const = 0;
  // Where it lives, for messages: the file's path, or "HKEY_CURRENT_USER".
  virtual std::string Where() const = 0;
  // Stores the writes at once; everything else the registry holds stays
  // as it is (also what other programs changed since it was read). False
  // when they could not be stored.
  virtual bool Apply(const std::vector<RegistryWrite>& writes) = 0;
};

// Defined by each backend:
std::unique_ptr<UserRegistry> OpenUserRegistry();
// Other programs' folders as this system answers them: `registry`'s values,
// and where it has none, the desktop's answers (never stored).
std::unique_ptr<RegistryStrings> OtherProgramsRegistry(const RegistryStrings& registry);
