#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/long_options.h"

namespace mosaiq {
namespace {

const std::vector<OptionSpec> table = {
    {"--name", OptionSpec::required}, {"--flag"}, {"--color", OptionSpec::optional}};

struct Read {
  CommandRequest request;
  CommandLine line;
  std::string problem;
  std::vector<std::string> taken;  // "index=value", as the taker saw them
};

Read read(const std::vector<std::string>& arguments, bool refuse_x = false) {
  Read result;
  result.request = read_command_line(
      arguments, table,
      [&](const OptionUse& use, std::string& problem) {
        result.taken.push_back(std::to_string(use.option) + "=" + use.value);
        if (refuse_x && use.value == "x") problem = "no x";
        return problem.empty();
      },
      result.line, result.problem);
  return result;
}

TEST(LongOptions, ValuesOperandsAndWhatEndsTheOptions) {
  const Read r = read(
      {"a", "--name", "v", "--flag", "--name=w=x", "-", "--color=always", "--", "--flag", "-h"});
  EXPECT_EQ(r.request, CommandRequest::run);
  EXPECT_EQ(r.taken, (std::vector<std::string>{"0=v", "1=", "0=w=x", "2=always"}));
  EXPECT_EQ(r.line.operands, (std::vector<std::string>{"a", "-", "--flag", "-h"}))
      << "\"-\" is an operand, and so is everything after \"--\"";
  EXPECT_TRUE(r.line.has(1));
  EXPECT_EQ(read({"--color"}).taken, (std::vector<std::string>{"2="}))
      << "an optional value comes only with =";
  EXPECT_EQ(read({"--name", "--flag"}).taken, (std::vector<std::string>{"0=--flag"}))
      << "a required value is the next argument, whatever it is";
}

TEST(LongOptions, HelpVersionAndBadUsage) {
  EXPECT_EQ(read({"x", "-h", "--bogus"}).request, CommandRequest::help);
  EXPECT_EQ(read({"--help"}).request, CommandRequest::help);
  EXPECT_EQ(read({"--version", "--help"}).request, CommandRequest::version);
  const struct {
    std::vector<std::string> arguments;
    const char* problem;
  } bad[] = {
      {{"--bogus=1"}, "unknown option '--bogus'"},
      {{"-n"}, "unknown option '-n'"},
      {{"--flag=1"}, "--flag takes no value"},
      {{"--name"}, "--name needs a value"},
      {{"--name", "x"}, "no x"},
  };
  for (const auto& c : bad) {
    const Read r = read(c.arguments, true);
    EXPECT_EQ(r.request, CommandRequest::bad_usage) << c.problem;
    EXPECT_EQ(r.problem, c.problem);
  }
}

TEST(LongOptions, CountsAndDecimals) {
  long long count = -1;
  EXPECT_TRUE(read_count("0", 5, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(read_count("0012", 12, count));
  EXPECT_EQ(count, 12);
  for (const char* text : {"", "13", "-1", "1.0", " 1", "1x", "9999999999999999999"}) {
    EXPECT_FALSE(read_count(text, 12, count)) << text;
  }
  double value = 0;
  EXPECT_TRUE(read_decimal("140.06", 1, value));
  EXPECT_DOUBLE_EQ(value, 140.06);
  EXPECT_TRUE(read_decimal(".5", 0.5, value));
  for (const char* text : {"", ".", "1..2", "0.5", "-3", "1e3", "nan", "inf"}) {
    EXPECT_FALSE(read_decimal(text, 1, value)) << text;
  }
}

}  // namespace
}  // namespace mosaiq
