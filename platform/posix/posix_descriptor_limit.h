#pragma once

#include <sys/resource.h>

#include <optional>

// The descriptor limit the process started with, when RaiseDescriptorLimit()
// changed it: a program we start gets it back, since programs that use
// select() break on descriptors past 1,024.
std::optional<struct rlimit> DescriptorLimitAtStart();
