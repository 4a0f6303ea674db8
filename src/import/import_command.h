// mosaiq-import's run: the options, the song, the pictures on the grid and in time, and the WVE
// file written whole.
#pragma once

#include <string>
#include <vector>

#include "platform/program_system.h"

namespace mosaiq::import {

// Imports what the arguments name (the program's own name not among them) and returns the exit
// status: 0 written, 1 written but pictures too short to show were left out, 2 bad usage, a
// file that cannot be read, used or written, or output that could not be written.
int run_import(const std::vector<std::string>& arguments, ProgramSystem& system);

}  // namespace mosaiq::import
