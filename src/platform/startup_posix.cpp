#include "platform/startup.h"

#include <csignal>

namespace mosaiq {

std::vector<std::string> startup_arguments(int argc, char** argv) {
  // A closed standard output must not end the run, and a file-size limit must show up as a
  // failed write that the program reports, not as a signal that kills it.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  // The shell has already split the command line and expanded wildcards.
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

PathSyntax native_path_syntax() { return PathSyntax{'/', nullptr}; }

}  // namespace mosaiq
