#include "platform/file_names.h"

namespace mosaiq {

std::size_t last_component_start(std::string_view name, const PathSyntax& syntax) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < name.size(); ++at) {
    if (lead_at(name, at, syntax.is_lead_byte)) {
      ++at;  // the second byte of a double-byte character is never a separator
    } else if (name[at] == syntax.separator) {
      start = at + 1;
    }
  }
  return start;
}

std::string make_input_name(std::string_view argument, const PathSyntax& syntax) {
  std::string name(argument);
  if (argument.find('.', last_component_start(argument, syntax)) == std::string_view::npos) {
    name += ".wve";
  }
  return name;
}

std::string make_output_name(std::string_view source, const PathSyntax& syntax) {
  const std::size_t component = last_component_start(source, syntax);
  const std::size_t dot = source.rfind('.');
  std::string name(
      source.substr(0, dot != std::string_view::npos && dot >= component ? dot : source.size()));
  name += ".wrd";
  return name;
}

bool is_wve_name(std::string_view name) {
  if (name.size() < 4) return false;
  std::string end;
  for (const char c : name.substr(name.size() - 4)) end += fold_ascii(c);
  return end == ".wve";
}

bool is_option(std::string_view argument, const PathSyntax& syntax) {
  if (argument.empty()) return false;
  if (argument[0] == '-') return true;
  if (argument[0] != '/') return false;
  return syntax.separator != '/' || argument.find('/', 1) == std::string_view::npos;
}

}  // namespace mosaiq
