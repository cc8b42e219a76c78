#pragma once

#include "platform/environment.h"

// The real environment. "TEMP", which POSIX systems rarely set, falls back
// to $TMPDIR and then to "/tmp", since the system always has a temporary
// directory; every other variable, "TMP" included, is read as it is.
class PosixEnvironment : public Environment {
 public:
  std::optional<std::string> Get(const std::string& name) const override;
};
