// Process start-up: the argument list and the path rules of the platform.
#pragma once

#include <string>
#include <vector>

#include "platform/file_names.h"

namespace mosaiq {

// Prepares the process (signals, standard streams) and returns the file and option arguments,
// without the program's own name, as the platform delivers them.
std::vector<std::string> startup_arguments(int argc, char** argv);

PathSyntax native_path_syntax();

}  // namespace mosaiq
