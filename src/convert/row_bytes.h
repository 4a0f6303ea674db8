// The short rows of a grid compared and copied a word at a time, without a call to the C
// library for the sizes most grids have.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mosaiq {

// Whether the first byte of a word loaded from memory is its lowest.
constexpr bool little_endian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// A byte value in each of the eight bytes of a word.
constexpr std::uint64_t each_byte(unsigned char value) { return 0x0101010101010101ull * value; }

// Whether the `size` bytes at `a` and at `b` are the same.
inline bool same_bytes(const void* a, const void* b, std::size_t size) {
  if (size < 8 || size > 32) return std::memcmp(a, b, size) == 0;
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  std::uint64_t u, v;
  std::memcpy(&u, x + size - 8, 8);
  std::memcpy(&v, y + size - 8, 8);
  std::uint64_t bits = u ^ v;
  for (std::size_t at = 0; at + 8 < size; at += 8) {
    std::memcpy(&u, x + at, 8);
    std::memcpy(&v, y + at, 8);
    bits |= u ^ v;
  }
  return bits == 0;
}

// Copies `size` bytes from `from` to `to`; the two do not overlap.
inline void copy_bytes(void* to, const void* from, std::size_t size) {
  auto* out = static_cast<unsigned char*>(to);
  const auto* in = static_cast<const unsigned char*>(from);
  if (size >= 16 && size <= 32) {
    std::memcpy(out, in, 16);
    std::memcpy(out + size - 16, in + size - 16, 16);
  } else if (size >= 8 && size < 16) {
    std::memcpy(out, in, 8);
    std::memcpy(out + size - 8, in + size - 8, 8);
  } else {
    std::memcpy(out, in, size);
  }
}

}  // namespace mosaiq
