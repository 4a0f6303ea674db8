// mosaiq-view's run: the options, then the one thing they ask for.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/program_system.h"
#include "view/terminal.h"

namespace mosaiq::view {

// The terminal the viewer plays on; null, with the problem, when there is none to be had.
using TerminalOpener = std::function<std::unique_ptr<Terminal>(std::string& problem)>;

// Shows the script the arguments name (the program's own name not among them) and returns the
// exit status: 0 done, 1 a frame past the end, no terminal to play on or no frame for a GIF,
// 2 bad usage, a file that cannot be read or written, a file the page or GIF must not replace,
// or output that could not be written; 130 when playing was interrupted.
int run_view(const std::vector<std::string>& arguments, ProgramSystem& system,
             const TerminalOpener& open_terminal);

}  // namespace mosaiq::view
