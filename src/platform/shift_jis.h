// Shift_JIS (code page 932), the encoding of WVE files and WRD scripts: its byte classes, and
// its characters converted for display.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mosaiq {

// Whether a byte starts a double-byte character, and whether one may end it.
constexpr bool is_sjis_lead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9f) || (byte >= 0xe0 && byte <= 0xfc);
}
constexpr bool is_sjis_trail(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7e) || (byte >= 0x80 && byte <= 0xfc);
}

// Appends the UTF-8 of one character (one byte, or a lead byte and its trail byte) to `out`;
// false, appending nothing, when code page 932 has no such character.
bool sjis_character_to_utf8(const unsigned char* bytes, std::size_t size, std::string& out);

// Shift_JIS text in UTF-8: each character converted, "?" for one that has no UTF-8 form.
std::string sjis_to_utf8(std::string_view text);

// Appends the Shift_JIS (code page 932) of one UTF-8 character, `size` bytes at `bytes`, to
// `out`; false, appending nothing, when it has no Shift_JIS form.
bool utf8_character_to_sjis(const char* bytes, std::size_t size, std::string& out);

// UTF-8 text in Shift_JIS; false when a character has none (or the text is not UTF-8), with
// `failed_at` the byte offset of that character.
bool utf8_to_sjis(std::string_view text, std::string& out, std::size_t& failed_at);

}  // namespace mosaiq
