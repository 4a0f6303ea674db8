// The option and file loop.
#pragma once

#include <string>
#include <vector>

namespace mosaiq {

struct FrontEnd;

// Applies the options and converts every file argument in order (the program's own name is not
// among the arguments). Returns the exit status: 0 when every file was converted or the help
// text was printed, 1 when a file was skipped at the user's request, 2 after a fatal error,
// which ends the run at once.
int run_command_line(FrontEnd& front_end, const std::vector<std::string>& arguments);

}  // namespace mosaiq
