#include "cli/overwrite_prompt.h"

#include <string>

#include "cli/console.h"

namespace mosaiq {

bool confirm_overwrite(Console& console, std::string_view output_name) {
  console.discard_typeahead();
  std::string prompt = "\"";
  prompt += output_name;
  prompt += "\" already exists. 0verwite? (y/n) : ";
  console.write_out(prompt);
  std::string line;
  while (console.read_line(line)) {
    for (char c : line) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c == 'y' || c == '\n') return true;
      if (c == 'n') return false;
    }
  }
  console.write_out("\n");
  return false;
}

}  // namespace mosaiq
