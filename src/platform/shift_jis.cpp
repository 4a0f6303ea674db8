#include "platform/shift_jis.h"

namespace mosaiq {

std::string sjis_to_utf8(std::string_view text) {
  std::string out;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t size =
        is_sjis_lead(bytes[at]) && at + 1 < text.size() && is_sjis_trail(bytes[at + 1]) ? 2 : 1;
    if (bytes[at] < 0x80) {
      out += text[at];
    } else if (!sjis_character_to_utf8(bytes + at, size, out)) {
      out += '?';
    }
    at += size;
  }
  return out;
}

}  // namespace mosaiq
