// mosaiq-check's run: options, then every file in turn.
#pragma once

#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq::check {

// Checks the files the arguments name (the program's own name not among them; "-" is standard
// input) and returns the exit status: 0 no finding, 1 findings, 2 a file that cannot be read,
// bad usage, or findings that could not be written.
int run_check(const std::vector<std::string>& arguments, Console& console, FileAccess& files,
              const PathSyntax& syntax);

}  // namespace mosaiq::check
