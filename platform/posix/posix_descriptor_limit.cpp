#include "platform/posix/posix_descriptor_limit.h"

#include <algorithm>

#include "platform/descriptor_limit.h"

namespace {

std::optional<struct rlimit> limitAtStart;

}  // namespace

void RaiseDescriptorLimit() {
  struct rlimit limit;
  if (limitAtStart || ::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  constexpr rlim_t kMost = 1 << 16;
  const rlim_t wanted = std::min(limit.rlim_max, kMost);
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= wanted) return;
  struct rlimit raised = limit;
  raised.rlim_cur = wanted;
  if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limitAtStart = limit;
}

std::optional<struct rlimit> DescriptorLimitAtStart() { return limitAtStart; }
