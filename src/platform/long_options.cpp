#include "platform/long_options.h"

#include <cstdlib>

namespace mosaiq {

namespace {

// The entry for "--name" or "--name=value"; table.size() when there is none.
std::size_t find_option(std::string_view argument, const std::vector<OptionSpec>& table,
                        bool& with_value) {
  const std::size_t equals = argument.find('=');
  with_value = equals != std::string_view::npos;
  const std::string_view name = argument.substr(0, equals);
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].name == name) return i;
  }
  return table.size();
}

}  // namespace

bool CommandLine::has(std::size_t option) const {
  for (const OptionUse& use : options) {
    if (use.option == option) return true;
  }
  return false;
}

CommandRequest read_command_line(const std::vector<std::string>& arguments,
                                 const std::vector<OptionSpec>& table, const OptionTaker& take,
                                 CommandLine& line, std::string& problem) {
  bool only_operands = false;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (only_operands || argument.size() < 2 || argument[0] != '-') {
      line.operands.push_back(argument);
      continue;
    }
    if (argument == "--") {
      only_operands = true;
      continue;
    }
    if (argument == "-h" || argument == "--help") return CommandRequest::help;
    if (argument == "--version") return CommandRequest::version;
    bool with_value = false;
    const std::size_t option = find_option(argument, table, with_value);
    const std::string name = argument.substr(0, argument.find('='));
    if (option == table.size()) {
      problem = "unknown option '" + name + "'";
      return CommandRequest::bad_usage;
    }
    const OptionSpec::Value value = table[option].value;
    if (with_value && value == OptionSpec::none) {
      problem = name + " takes no value";
      return CommandRequest::bad_usage;
    }
    if (with_value) {
      line.options.push_back({option, argument.substr(name.size() + 1)});
    } else if (value == OptionSpec::required) {
      if (at + 1 == arguments.size()) {
        problem = name + " needs a value";
        return CommandRequest::bad_usage;
      }
      line.options.push_back({option, arguments[++at]});
    } else {
      line.options.push_back({option, ""});
    }
    if (!take(line.options.back(), problem)) return CommandRequest::bad_usage;
  }
  return CommandRequest::run;
}

bool read_count(std::string_view text, long long most, long long& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value <= most;
}

bool read_decimal(std::string_view text, double least, double& value) {
  std::size_t digits = 0, points = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return false;
    }
  }
  if (digits == 0 || points > 1 || text.size() > 24) return false;
  value = std::strtod(std::string(text).c_str(), nullptr);
  return value >= least;
}

}  // namespace mosaiq
