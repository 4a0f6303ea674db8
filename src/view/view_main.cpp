// mosaiq-view: shows a WRD script (or a WVE file, converted first) without a music player.
#include <csignal>
#include <string>
#include <vector>

#include "view/view_command.h"

int main(int argc, char** argv) {
  // A file-size limit shows up as a failed write the program reports, not as a signal.
  std::signal(SIGXFSZ, SIG_IGN);
  return mosaiq::view::run_view(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
