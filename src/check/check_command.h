// mosaiq-check's run: options, then every file in turn.
#pragma once

#include <string>
#include <vector>

#include "platform/program_system.h"

namespace mosaiq::check {

// Checks the files the arguments name (the program's own name not among them; "-" is standard
// input) and returns the exit status: 0 no finding, 1 findings, 2 a file that cannot be read,
// bad usage, or findings that could not be written.
int run_check(const std::vector<std::string>& arguments, ProgramSystem& system);

}  // namespace mosaiq::check
