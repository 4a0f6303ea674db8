#include "platform/json_text.h"

namespace mosaiq {

namespace {

constexpr char hex[] = "0123456789abcdef";

// The length of the valid UTF-8 sequence at text[at], or 0.
std::size_t utf8_length(std::string_view text, std::size_t at) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char first = data[at];
  const std::size_t length = first < 0x80                    ? 1
                             : first >= 0xc2 && first < 0xe0 ? 2
                             : first >= 0xe0 && first < 0xf0 ? 3
                             : first >= 0xf0 && first < 0xf5 ? 4
                                                             : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((data[at + i] & 0xc0) != 0x80) return 0;
  }
  // Overlong forms and surrogates are not UTF-8.
  if ((first == 0xe0 && data[at + 1] < 0xa0) || (first == 0xed && data[at + 1] >= 0xa0) ||
      (first == 0xf0 && data[at + 1] < 0x90) || (first == 0xf4 && data[at + 1] >= 0x90)) {
    return 0;
  }
  return length;
}

void append_code(std::string& out, const char* prefix, unsigned char byte) {
  out += prefix;
  out += hex[byte >> 4];
  out += hex[byte & 15];
}

}  // namespace

void append_json_string(std::string& out, std::string_view bytes) {
  out += '"';
  for (std::size_t at = 0; at < bytes.size();) {
    const unsigned char byte = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = utf8_length(bytes, at);
    if (length == 0) {
      append_code(out, "\\\\x", byte);
      ++at;
      continue;
    }
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte < 0x20 || byte == 0x7f || byte == '<' || byte == '>' || byte == '&') {
      append_code(out, "\\u00", byte);
    } else {
      out.append(bytes.substr(at, length));
    }
    at += length;
  }
  out += '"';
}

}  // namespace mosaiq
