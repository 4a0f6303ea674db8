// Shift_JIS (code page 932), the encoding of WVE files, converted for display.
#pragma once

#include <cstddef>
#include <string>

namespace mosaiq::check {

// Appends the UTF-8 of one Shift_JIS character (one byte, or a lead byte and its trail byte) to
// `out`; false, appending nothing, when code page 932 has no such character.
bool sjis_character_to_utf8(const unsigned char* bytes, std::size_t size, std::string& out);

}  // namespace mosaiq::check
