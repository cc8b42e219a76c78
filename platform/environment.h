#pragma once

#include <optional>
#include <string>

// The process environment, as the discovery of the cleanable locations
// reads it.
class Environment {
 public:
  virtual ~Environment() = default;
  // The variable's value, or nothing when it is unset.
  virtual std::optional<std::string> Get(const std::string& name) const = 0;
};

// The real environment. "TEMP", which POSIX systems rarely set, falls back
// to $TMPDIR and then to "/tmp", since the system always has a temporary
// directory; every other variable, "TMP" included, is read as it is.
class PosixEnvironment : public Environment {
 public:
  std::optional<std::string> Get(const std::string& name) const override;
};
