#include "cadhost/dwg/helper_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace cadhost::dwg {
namespace {

constexpr std::size_t kMaxErrorText = 64 * 1024;

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1000));
}

// Owns the spawn attributes and file actions for one start.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  posix_spawn_file_actions_t actions{};
  posix_spawnattr_t attributes{};
};

}  // namespace

// Written on the C library's process calls: Debian's Boost.Process needs the
// compiled Boost.Filesystem, and one child with a time limit is all this needs.
HelperOutcome RunHelper(const std::vector<std::string>& arguments, std::chrono::milliseconds limit) {
  HelperOutcome outcome;
  if (arguments.empty()) return outcome;
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) return outcome;
  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&setup.actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&setup.actions, pipe[1], 2);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&setup.attributes, 0);

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int started = ::posix_spawnp(&child, argv[0], &setup.actions, &setup.attributes, argv.data(), environ);
  ::close(pipe[1]);
  if (started != 0) {
    ::close(pipe[0]);
    outcome.end = started == ENOENT ? HelperOutcome::End::NotFound : HelperOutcome::End::NotStarted;
    outcome.status = started;
    return outcome;
  }

  const Clock::time_point deadline = Clock::now() + limit;
  bool timedOut = false;
  pollfd watch{pipe[0], POLLIN, 0};
  char buffer[4096];
  while (true) {
    const int ready = ::poll(&watch, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0 && Clock::now() >= deadline) {
      timedOut = true;
      break;
    }
    if (ready <= 0) continue;
    const ssize_t n = ::read(pipe[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the child closed its standard error: it is ending
    if (outcome.errorText.size() < kMaxErrorText) outcome.errorText.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipe[0]);

  int status = 0;
  while (!timedOut) {
    const pid_t ended = ::waitpid(child, &status, WNOHANG);
    if (ended == child) break;
    if (ended < 0 && errno != EINTR) break;
    if (Clock::now() >= deadline) {
      timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (timedOut) {
    ::kill(-child, SIGKILL);
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.end = HelperOutcome::End::TimedOut;
    return outcome;
  }
  if (WIFSIGNALED(status)) {
    outcome.end = HelperOutcome::End::Signalled;
    outcome.status = WTERMSIG(status);
  } else {
    outcome.end = HelperOutcome::End::Exited;
    outcome.status = WEXITSTATUS(status);
  }
  return outcome;
}

}  // namespace cadhost::dwg
