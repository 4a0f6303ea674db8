// mosaiq-view's run: the options, then the one thing they ask for.
#pragma once

#include <string>
#include <vector>

namespace mosaiq::view {

// Shows the script the arguments name (the program's own name not among them) and returns the
// exit status: 0 done, 1 bad usage or a frame past the end, 2 a file that cannot be read or
// written, or a page that would overwrite the script; 130 when playing was interrupted.
int run_view(const std::vector<std::string>& arguments);

}  // namespace mosaiq::view
