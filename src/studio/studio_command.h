// mosaiq-studio's run: the file and its song, then the server until Ctrl+C.
#pragma once

#include <string>
#include <vector>

#include "platform/program_system.h"

namespace mosaiq::studio {

// Edits the file the arguments name (the program's own name not among them) until the program
// is asked to stop; returns the exit status: 0 stopped, 2 bad usage, a file or song that cannot
// be used, a port that cannot be had, or an address that could not be printed.
int run_studio(const std::vector<std::string>& arguments, ProgramSystem& system);

}  // namespace mosaiq::studio
