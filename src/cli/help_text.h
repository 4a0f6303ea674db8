// The help text.
#pragma once

namespace mosaiq {

class Console;

// The eight lines of the help text, each with its line end, then nullptr.
extern const char* const help_lines[9];

// Writes the help text to standard output; returns the exit status that ends the run, 0.
int print_usage(Console& console);

}  // namespace mosaiq
