// The bytes of names, options and answers: ASCII letters folded, double-byte characters as units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mosaiq {

// Whether a byte starts a double-byte character of the system's code page; nullptr where every
// byte stands alone.
using LeadByteTest = bool (*)(unsigned char byte);

// Whether text[i] starts a double-byte character whose second byte is there.
inline bool lead_at(std::string_view text, std::size_t i, LeadByteTest is_lead) {
  return is_lead != nullptr && i + 1 < text.size() && is_lead(static_cast<unsigned char>(text[i]));
}

// A to Z as a to z; every other byte as it is (no other folding).
constexpr unsigned fold_ascii(unsigned byte) {
  return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}
constexpr char fold_ascii(char c) {
  return static_cast<char>(fold_ascii(static_cast<unsigned>(static_cast<unsigned char>(c))));
}

// The length of the valid UTF-8 sequence at text[at], or 0: overlong forms and surrogates are
// not UTF-8.
std::size_t utf8_sequence_length(std::string_view text, std::size_t at);

// Whether the text is valid UTF-8 holding at least one character beyond ASCII.
bool is_utf8_beyond_ascii(std::string_view text);

// Text as a message may show it on a console whose text is UTF-8 (`utf8`) or else Shift_JIS:
// a control byte (but tab; in UTF-8 the C1 controls too) and every byte that is no text in that
// encoding (outside a valid UTF-8 sequence; a Shift_JIS lead byte without its trail byte, or a byte
// no character begins with) are shown as \xNN. A file name, whatever its bytes, can then neither
// drive the terminal nor garble the line.
std::string console_safe(std::string_view text, bool utf8);

}  // namespace mosaiq
