// The command line of every program but the converter: long options ("--name", "--name value"
// or "--name=value"), "-h", "--help", "--version", "--" before operands that begin with "-",
// and operands ("-" among them: standard input).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mosaiq {

// What a program's command line asks for, once its options are read.
enum class CommandRequest { run, help, version, bad_usage };

struct OptionSpec {
  enum Value { none, required, optional };  // an optional value comes only as "--name=value"
  std::string_view name;                    // "--name"
  Value value = none;
};

// An option as it was given: its index in the table, and its value ("" for none).
struct OptionUse {
  std::size_t option;
  std::string value;
};

struct CommandLine {
  std::vector<OptionUse> options;  // in the order given
  std::vector<std::string> operands;

  // Whether the option of that index was given.
  bool has(std::size_t option) const;
};

// Takes an option's value into the program's options; false, with the problem, when the value
// is not one the option takes.
using OptionTaker = std::function<bool(const OptionUse& use, std::string& problem)>;

// Reads the arguments after the program's name against the table, handing every option in turn
// to `take`. On bad_usage, `problem` says what is wrong, in the words every program uses.
CommandRequest read_command_line(const std::vector<std::string>& arguments,
                                 const std::vector<OptionSpec>& table, const OptionTaker& take,
                                 CommandLine& line, std::string& problem);

// How many operands a program takes, and what it says when there are none or too many.
struct OperandRule {
  std::size_t most;
  const char* when_none;
  const char* when_too_many;
};

// read_command_line() with a taker of the program's own, take(use, options, problem), and the
// number of operands checked.
template <class Options>
CommandRequest read_options(const std::vector<std::string>& arguments,
                            const std::vector<OptionSpec>& table,
                            bool (*take)(const OptionUse&, Options&, std::string&),
                            const OperandRule& operands, Options& options, CommandLine& line,
                            std::string& problem) {
  const CommandRequest request = read_command_line(
      arguments, table,
      [take, &options](const OptionUse& use, std::string& why) { return take(use, options, why); },
      line, problem);
  if (request != CommandRequest::run) return request;
  if (line.operands.empty() || line.operands.size() > operands.most) {
    problem = line.operands.empty() ? operands.when_none : operands.when_too_many;
    return CommandRequest::bad_usage;
  }
  return request;
}

// A count from 0 up to `most`, in decimal digits only; false for anything else.
bool read_count(std::string_view text, long long most, long long& value);

// A decimal number such as "140.06", at least `least`; false for anything else.
bool read_decimal(std::string_view text, double least, double& value);

}  // namespace mosaiq
