// mosaiq-view's run: the options, then the one thing they ask for.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "view/terminal.h"

namespace mosaiq {
class Console;
class FileAccess;
struct PathSyntax;
}  // namespace mosaiq

namespace mosaiq::view {

// What the viewer works with: the console, the files, the path rules, and the terminal it plays
// on (null, with the problem, when there is none to be had).
struct ViewSystem {
  Console& console;
  FileAccess& files;
  const PathSyntax& syntax;
  std::function<std::unique_ptr<Terminal>(std::string& problem)> open_terminal;
};

// Shows the script the arguments name (the program's own name not among them) and returns the
// exit status: 0 done, 1 a frame past the end, no terminal to play on or no frame for a GIF,
// 2 bad usage, a file that cannot be read or written, a file the page or GIF must not replace,
// or output that could not be written; 130 when playing was interrupted.
int run_view(const std::vector<std::string>& arguments, ViewSystem& system);

}  // namespace mosaiq::view
