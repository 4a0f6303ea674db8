// Bytes as a JSON string, the one way every program writes them.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq {

// Appends the bytes as a JSON string, quotes included: valid UTF-8 is kept, '"' and '\' are
// escaped, control bytes and '<', '>' and '&' are written as \u00XX (so the string is safe
// inside an HTML <script> element too), and every byte that is not UTF-8 as the text \xNN.
void append_json_string(std::string& out, std::string_view bytes);

inline std::string json_string(std::string_view bytes) {
  std::string out;
  append_json_string(out, bytes);
  return out;
}

}  // namespace mosaiq
