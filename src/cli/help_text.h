// The help text.
#pragma once

namespace mosaiq {

class Console;

// Writes the help text to standard output, in the console's encoding; returns the exit status
// that ends the run, 0.
int print_usage(Console& console);

}  // namespace mosaiq
