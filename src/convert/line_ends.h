// Finding the line ends of a whole block of input at once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mosaiq {

// Sets bit i of marks[w] exactly when data[64 * w + i] is "\n", for the first `words` 64-byte
// words of data (which must hold 64 * words readable bytes). Returns whether any of those bytes
// is NUL.
bool mark_line_ends(const char* data, std::size_t words, std::uint64_t* marks);

// The same, a byte at a time in a portable way; the reference the fast versions are tested
// against.
bool mark_line_ends_portable(const char* data, std::size_t words, std::uint64_t* marks);

}  // namespace mosaiq
