#include "convert/line_ends.h"

namespace mosaiq {

bool mark_line_ends_portable(const char* data, std::size_t words, std::uint64_t* marks) {
  bool nul = false;
  for (std::size_t w = 0; w < words; ++w) {
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < 64; ++i) {
      mask |= static_cast<std::uint64_t>(data[64 * w + i] == '\n') << i;
      nul |= data[64 * w + i] == '\0';
    }
    marks[w] = mask;
  }
  return nul;
}

}  // namespace mosaiq
