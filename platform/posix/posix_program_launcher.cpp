#include "platform/posix/posix_program_launcher.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/posix/posix_descriptor_limit.h"

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// The program file for `command`, searched in PATH as a shell would, but
// before forking, where looking around is still safe.
std::optional<std::string> FindCommand(const std::string& command) {
  if (command.find('/') != std::string::npos) return command;
  const char* path = std::getenv("PATH");
  std::string_view directories = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const std::size_t colon = directories.find(':');
    // An empty entry means the current directory.
    const std::string_view directory = directories.substr(0, colon);
    std::string candidate(directory.empty() ? std::string_view(".") : directory);
    candidate.append(1, '/').append(command);
    if (IsExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return std::nullopt;
    directories.remove_prefix(colon + 1);
  }
}

// The opener would read a name beginning with '-' as an option.
std::string AsOperand(const std::string& path) {
  return path.starts_with('-') ? "./" + path : path;
}

// The number past the highest descriptor this process may hold, asked
// before forking.
int DescriptorLimit() {
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > 1 << 20)
    return 1 << 16;
  return static_cast<int>(limit.rlim_cur);
}

// Descriptors opened without O_CLOEXEC, by us or by a library, stay ours.
void CloseInheritedDescriptors(int limit) {
#ifdef __linux__
  if (::close_range(3, ~0U, 0) == 0) return;  // kernels before 5.9 lack it
#endif
  for (int fd = 3; fd < limit; ++fd) ::close(fd);
}

// Runs in the new process, between fork and exec: only calls that are safe
// there. It starts with every signal blocked, so that no handler of ours
// can run in it.
[[noreturn]] void BecomeDetached(const char* file, char* const argv[], int descriptorLimit,
                                 const std::optional<struct rlimit>& limitAtStart) {
  const int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  CloseInheritedDescriptors(descriptorLimit);
  // The limit we raised for ourselves is none of its business.
  if (limitAtStart) ::setrlimit(RLIMIT_NOFILE, &*limitAtStart);
  // Signals we ignore or block would stay ignored or blocked across exec.
  // The dispositions go first: a signal unblocked while our handler was
  // still in place would run that handler here.
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &byDefault, nullptr);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::execv(file, argv);
  ::_exit(127);
}

// Forks twice: the middle process starts a new session, forks the real one
// and exits at once, so that we can reap it now and the real one is
// adopted by init.
bool StartDetached(const std::string& file, std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const int descriptorLimit = DescriptorLimit();
  const std::optional<struct rlimit> limitAtStart = DescriptorLimitAtStart();

  sigset_t all, previous;
  sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &previous);
  const pid_t middle = ::fork();
  if (middle == 0) {
    ::setsid();
    const pid_t program = ::fork();
    if (program == 0) BecomeDetached(file.c_str(), argv.data(), descriptorLimit, limitAtStart);
    ::_exit(program < 0 ? 1 : 0);
  }
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (middle < 0) return false;
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool PosixProgramLauncher::Open(const std::string& path) {
  if (path.empty()) return false;
  if (IsExecutableFile(path)) return StartDetached(path, {path});
  const std::optional<std::string> opener = FindCommand(opener_);
  if (!opener) return false;
  return StartDetached(*opener, {opener_, AsOperand(path)});
}

bool PosixProgramLauncher::StartCommand(const std::string& command,
                                        const std::vector<std::string>& arguments) {
  const std::optional<std::string> file = FindCommand(command);
  if (!file) return false;
  std::vector<std::string> argv{command};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return StartDetached(*file, std::move(argv));
}
