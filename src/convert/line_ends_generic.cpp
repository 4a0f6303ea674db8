// Line ends on processors without a vector unit the build knows.
#include "convert/line_ends.h"

namespace mosaiq {

bool mark_line_ends(const char* data, std::size_t words, std::uint64_t* marks) {
  return mark_line_ends_portable(data, words, marks);
}

}  // namespace mosaiq
