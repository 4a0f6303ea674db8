// The bytes of names, options and answers: ASCII letters folded, double-byte characters as units.
#pragma once

#include <cstddef>
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

}  // namespace mosaiq
