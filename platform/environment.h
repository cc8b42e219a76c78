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

// The environment of the process; it lives as long as the process.
const Environment& SystemEnvironment();
