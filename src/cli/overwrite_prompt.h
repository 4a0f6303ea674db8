// The question asked before an existing output file is replaced (option -i).
#pragma once

#include <string_view>

namespace mosaiq {

class Console;

// Asks "\"name\" already exists. 0verwite? (y/n) : " and reads the answer a line at a time:
// the first "y" or line end means overwrite (true), the first "n" skip (false), letter case
// ignored, other characters passed over. What is left of the answer's line is dropped, and input
// typed ahead is discarded before the question. When the input ends before a deciding character,
// a line end is written after the question and the file is skipped.
bool confirm_overwrite(Console& console, std::string_view output_name);

}  // namespace mosaiq
