#include "view/data_url.h"

namespace mosaiq::view {

std::string data_url(std::string_view mime, std::string_view bytes) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string url = "data:";
  url += mime;
  url += ";base64,";
  url.reserve(url.size() + (bytes.size() + 2) / 3 * 4);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t at = 0;
  for (; at + 3 <= bytes.size(); at += 3) {
    const unsigned word = data[at] << 16 | data[at + 1] << 8 | data[at + 2];
    for (const int shift : {18, 12, 6, 0}) url += digits[(word >> shift) & 63];
  }
  if (at < bytes.size()) {
    const bool two = at + 1 < bytes.size();
    const unsigned word = data[at] << 16 | (two ? data[at + 1] << 8 : 0);
    url += digits[(word >> 18) & 63];
    url += digits[(word >> 12) & 63];
    url += two ? digits[(word >> 6) & 63] : '=';
    url += '=';
  }
  return url;
}

}  // namespace mosaiq::view
