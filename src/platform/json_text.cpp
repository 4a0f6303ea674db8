#include "platform/json_text.h"

#include "platform/character_set.h"

namespace mosaiq {

namespace {

constexpr char hex[] = "0123456789abcdef";

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
    const std::size_t length = utf8_sequence_length(bytes, at);
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
