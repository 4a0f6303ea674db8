#include "cli/overwrite_prompt.h"

#include <string>

#include "platform/character_set.h"
#include "platform/console.h"

namespace mosaiq {

bool confirm_overwrite(Console& console, std::string_view output_name) {
  console.discard_typeahead();
  std::string prompt = "\"";
  prompt += output_name;
  // "0verwite" with a zero is the question as users have always seen it; scripts that answer
  // it match on these bytes, so the spelling stays.
  prompt += "\" already exists. 0verwite? (y/n) : ";
  console.write_out(prompt);
  std::string line;
  while (console.read_line(line)) {
    for (char c : line) {
      c = fold_ascii(c);
      if (c == 'y' || c == '\n') return true;
      if (c == 'n') return false;
    }
  }
  console.write_out("\n");
  return false;
}

}  // namespace mosaiq
