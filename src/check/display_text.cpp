#include "check/display_text.h"

#include "platform/shift_jis.h"

namespace mosaiq::check {

namespace {

void append_escape(unsigned char byte, std::string& out) {
  static const char hex[] = "0123456789abcdef";
  out += "\\x";
  out += hex[byte >> 4];
  out += hex[byte & 15];
}

bool is_control(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7f; }

bool is_half_width_katakana(unsigned char byte) { return byte >= 0xa1 && byte <= 0xdf; }

// Shows the character at bytes[at] (one or two bytes long); returns how many bytes it took and
// sets `columns` to how wide it shows.
std::size_t show_one(std::string_view bytes, std::size_t at, TextEncoding encoding,
                     std::string& out, std::size_t& columns) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char byte = data[at];
  const bool pair = is_sjis_lead(byte) && at + 1 < bytes.size() && is_sjis_trail(data[at + 1]);
  if (is_control(byte)) {
    append_escape(byte, out);
    columns = 4;
    return 1;
  }
  if (byte < 0x80 || encoding == TextEncoding::file_bytes) {
    out.append(bytes.substr(at, pair ? 2 : 1));
    columns = pair ? 2 : 1;
    return pair ? 2 : 1;
  }
  if ((pair || is_half_width_katakana(byte)) &&
      sjis_character_to_utf8(data + at, pair ? 2 : 1, out)) {
    columns = pair ? 2 : 1;
    return pair ? 2 : 1;
  }
  append_escape(byte, out);
  columns = 4;
  return 1;
}

}  // namespace

void append_display(std::string_view bytes, TextEncoding encoding, std::string& out,
                    std::string* indent) {
  for (std::size_t at = 0; at < bytes.size();) {
    std::size_t columns = 0;
    const std::size_t taken = show_one(bytes, at, encoding, out, columns);
    if (indent != nullptr) indent->append(columns, bytes[at] == '\t' ? '\t' : ' ');
    at += taken;
  }
}

}  // namespace mosaiq::check
