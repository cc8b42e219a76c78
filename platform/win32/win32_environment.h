#pragma once

#include "platform/environment.h"

// The process environment, read through the wide calls and given as UTF-8.
// "TEMP" that is unset falls back to the system's temporary folder.
class Win32Environment : public Environment {
 public:
  std::optional<std::string> Get(const std::string& name) const override;
};
