#pragma once

// Running the built program as the user nobody from a test that runs as
// root, so that the program meets permissions and other processes as a
// user's program does: root deletes from a read-only directory all the
// same, and sees every process. Linux only. Test-only.

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "testing/scoped_test_home.h"

inline constexpr uid_t kNobody = 65534;

// Whether this runs as root and nobody can start `program` and get into
// the scratch tree of `home`: not where the checkout lies in a folder only
// root enters.
inline bool CanRunAsNobody(const ScopedTestHome& home, const char* program) {
  if (::geteuid() != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    const bool reaches = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
                         ::access(program, X_OK) == 0 &&
                         ::access(home.Root().parent_path().c_str(), X_OK) == 0;
    ::_exit(reaches ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// Makes nobody the owner of everything in the scratch tree.
inline void GiveToNobody(const ScopedTestHome& home) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home.Root()))
    ::lchown(entry.path().c_str(), kNobody, kNobody);
  ::lchown(home.Root().c_str(), kNobody, kNobody);
}

// In a child process about to start the program: becomes nobody, or ends
// with status 111.
inline void BecomeNobody() {
  if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(111);
}
