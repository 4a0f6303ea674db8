// What an unrecognised "*" line probably meant.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq::check {

// The directive nearest to the line, such as "*end" for "*END" or "*f" for "*F1-1-1"; empty
// when none is near.
std::string suggest_directive(std::string_view line);

}  // namespace mosaiq::check
