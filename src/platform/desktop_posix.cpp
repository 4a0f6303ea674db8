#include "platform/desktop.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace mosaiq {

namespace {

sigset_t stop_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGUSR2}) sigaddset(&set, signal);
  return set;
}

}  // namespace

bool open_in_browser(const std::string& address, std::string& problem) {
  const char* const browser = std::getenv("BROWSER");
  const std::string program = browser != nullptr && *browser != '\0' ? browser : "xdg-open";
  std::vector<char*> arguments = {const_cast<char*>(program.c_str()),
                                  const_cast<char*>(address.c_str()), nullptr};
  // The browser's own messages are not the program's: it gets no standard output or error.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child = 0;
  const int failed =
      posix_spawnp(&child, program.c_str(), &actions, &attributes, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) {
    problem = "cannot start " + program + ": " + std::strerror(failed);
    return false;
  }
  // Nobody waits for it: the system takes it when it ends.
  signal(SIGCHLD, SIG_IGN);
  return true;
}

StopSignals::StopSignals() {
  const sigset_t set = stop_set();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

StopSignals::~StopSignals() {
  // A signal still pending (a wake() after the stop) is taken now, not let through to end the
  // program.
  const sigset_t set = stop_set();
  const timespec now{0, 0};
  while (sigtimedwait(&set, nullptr, &now) > 0) {}
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool StopSignals::wait(double seconds) {
  const sigset_t set = stop_set();
  const auto whole = static_cast<time_t>(seconds);
  const timespec timeout{whole, static_cast<long>((seconds - static_cast<double>(whole)) * 1e9)};
  for (;;) {
    if (sigtimedwait(&set, nullptr, &timeout) > 0) return true;
    if (errno == EAGAIN) return false;
  }
}

void StopSignals::wake() { kill(getpid(), SIGUSR2); }

}  // namespace mosaiq
