#include "platform/argument_list.h"

#include <algorithm>

namespace mosaiq {

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// Where the arguments begin: after the program's name and the blanks that follow it.
std::size_t skip_program_name(std::string_view line, LeadByteTest is_lead) {
  std::size_t i = 0;
  if (!line.empty() && line[0] == '"') {
    ++i;
    while (i < line.size() && line[i] != '"') i += lead_at(line, i, is_lead) ? 2 : 1;
    if (i < line.size()) ++i;
  } else {
    while (i < line.size() && !blank(line[i])) i += lead_at(line, i, is_lead) ? 2 : 1;
  }
  return i;
}

}  // namespace

std::vector<CommandArgument> split_command_line(std::string_view line, LeadByteTest is_lead) {
  std::vector<CommandArgument> arguments;
  std::size_t i = skip_program_name(line, is_lead);
  for (;;) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i >= line.size()) break;
    CommandArgument argument;
    argument.began_with_quote = line[i] == '"';
    bool quoted = false;
    while (i < line.size() && (quoted || !blank(line[i]))) {
      if (lead_at(line, i, is_lead)) {
        argument.text.append(line.substr(i, 2));
        i += 2;
      } else if (line[i] == '\\') {
        std::size_t run = 0;
        while (i + run < line.size() && line[i + run] == '\\') ++run;
        if (i + run < line.size() && line[i + run] == '"') {
          argument.text.append(run / 2, '\\');
          i += run;
          if (run % 2 == 1) {
            argument.text.push_back('"');
            ++i;
          }
          // With an even run the quote is handled as any other quote, below.
        } else {
          argument.text.append(run, '\\');
          i += run;
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument.text.push_back('"');
          i += 2;
          quoted = false;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument.text.push_back(line[i]);
        ++i;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

bool wildcard_directory_part(std::string_view argument, LeadByteTest is_lead,
                             std::string& directory) {
  std::size_t last_stop = std::string_view::npos;
  for (std::size_t i = 0; i < argument.size(); i += lead_at(argument, i, is_lead) ? 2 : 1) {
    if (lead_at(argument, i, is_lead)) continue;
    const char c = argument[i];
    if (c == '*' || c == '?') {
      if (last_stop != std::string_view::npos && argument[last_stop] == ':' && last_stop != 1) {
        return false;
      }
      directory.assign(argument.substr(0, last_stop == std::string_view::npos ? 0 : last_stop + 1));
      return true;
    }
    if (c == '\\' || c == '/' || c == ':') last_stop = i;
  }
  return false;
}

namespace {

// The next unit of a name and its folded value; `i` moves past it.
unsigned next_unit(std::string_view name, std::size_t& i, LeadByteTest is_lead) {
  if (lead_at(name, i, is_lead)) {
    unsigned unit =
        static_cast<unsigned char>(name[i]) * 256u + static_cast<unsigned char>(name[i + 1]);
    i += 2;
    if (unit >= 0x8260 && unit <= 0x8279) unit += 0x8281 - 0x8260;
    return unit;
  }
  return fold_ascii(static_cast<unsigned>(static_cast<unsigned char>(name[i++])));
}

}  // namespace

bool name_before(std::string_view a, std::string_view b, LeadByteTest is_lead) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned x = next_unit(a, i, is_lead), y = next_unit(b, j, is_lead);
    if (x != y) return x < y;
  }
  if (i < a.size() || j < b.size()) return j < b.size();  // the prefix comes first
  return a < b;                                           // equal when folded: byte order
}

std::vector<std::string> expand_arguments(const std::vector<CommandArgument>& arguments,
                                          LeadByteTest is_lead, const DirectorySearch& search) {
  std::vector<std::string> expanded;
  for (const CommandArgument& argument : arguments) {
    std::string directory;
    if (argument.began_with_quote || !wildcard_directory_part(argument.text, is_lead, directory)) {
      expanded.push_back(argument.text);
      continue;
    }
    std::vector<std::string> matches;
    for (const std::string& name : search(argument.text)) {
      if (name != "." && name != "..") matches.push_back(directory + name);
    }
    if (matches.empty()) {
      expanded.push_back(argument.text);
      continue;
    }
    std::sort(matches.begin(), matches.end(),
              [is_lead](const std::string& x, const std::string& y) {
                return name_before(x, y, is_lead);
              });
    expanded.insert(expanded.end(), matches.begin(), matches.end());
  }
  return expanded;
}

}  // namespace mosaiq
