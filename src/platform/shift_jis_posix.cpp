#include "platform/shift_jis.h"

#include <iconv.h>

#include <algorithm>

namespace mosaiq {

namespace {

// One character, `size` bytes, through the converter; false, appending nothing, when it has no
// form at the other end.
bool convert_one(iconv_t converter, const char* bytes, std::size_t size, std::string& out) {
  if (converter == reinterpret_cast<iconv_t>(-1) || size > 4) return false;
  char in[4];
  std::copy(bytes, bytes + size, in);
  char result[8];
  char* in_at = in;
  char* out_at = result;
  std::size_t in_left = size, out_left = sizeof result;
  const bool converted =
      iconv(converter, &in_at, &in_left, &out_at, &out_left) != static_cast<std::size_t>(-1) &&
      in_left == 0;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // no state carried to the next one
  if (converted) out.append(result, static_cast<std::size_t>(out_at - result));
  return converted;
}

}  // namespace

bool sjis_character_to_utf8(const unsigned char* bytes, std::size_t size, std::string& out) {
  static const iconv_t converter = iconv_open("UTF-8", "CP932");
  return convert_one(converter, reinterpret_cast<const char*>(bytes), size, out);
}

bool utf8_character_to_sjis(const char* bytes, std::size_t size, std::string& out) {
  static const iconv_t converter = iconv_open("CP932", "UTF-8");
  return convert_one(converter, bytes, size, out);
}

}  // namespace mosaiq
