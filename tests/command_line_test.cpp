#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/convert_file.h"
#include "cli/help_text.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using testing::FakeConsole;
using testing::MemoryFiles;

const std::string tune = testing::wve_lines({"*f1-1-1", "12"});
const std::string old_script = "kept";
// ファイルがありません。 in Shift_JIS.
const std::string no_input_file =
    "\x83t\x83@\x83\x43\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42\n";
constexpr const char* help = "<help>";

// A run over a folder holding a.wve, b.wve, c.wve and an earlier b.wrd. In `out`, "<help>"
// stands for the help text; `converted` lists the scripts written by the run, in no order.
struct Case {
  const char* name;
  std::vector<std::string> arguments;
  const char* typed;
  int status;
  std::string out;
  std::string err;
  std::vector<std::string> converted;
  const PathSyntax* syntax = &testing::posix_paths;
};

const std::string ask_b = "\"b.wrd\" already exists. 0verwite? (y/n) : ";

const Case cases[] = {
    {"no argument", {}, "", 0, help, "", {}},
    {"-h", {"-h", "a"}, "", 0, help, "", {}},
    {"the letter decides, in either case", {"-Help", "a"}, "", 0, help, "", {}},
    {"a slash option", {"/h", "a"}, "", 0, help, "", {}},
    {"a POSIX path is a file", {"/home/u/a"}, "", 2, "", no_input_file, {}},
    {"on Windows a slash begins an option",
     {"/home/u/a"},
     "",
     0,
     help,
     "",
     {},
     &testing::windows_paths},
    {"files in order",
     {"a", "c.wve"},
     "",
     0,
     "a.wve ==> a.wrd\nc.wve ==> c.wrd\n",
     "",
     {"a.wrd", "c.wrd"}},
    {"an unknown option is passed over", {"-x", "a"}, "", 0, "a.wve ==> a.wrd\n", "", {"a.wrd"}},
    {"-o names the next file's script only",
     {"-o", "out", "a", "c"},
     "",
     0,
     "a.wve ==> out.wrd\nc.wve ==> c.wrd\n",
     "",
     {"out.wrd", "c.wrd"}},
    {"-o at the end", {"a", "-o"}, "", 0, std::string("a.wve ==> a.wrd\n") + help, "", {"a.wrd"}},
    {"-o with its name at the end", {"-o", "x"}, "", 0, help, "", {}},
    {"-i at the end", {"a", "-i"}, "", 0, std::string("a.wve ==> a.wrd\n") + help, "", {"a.wrd"}},
    {"-i asks; yes replaces", {"-i", "b"}, "y\n", 0, ask_b + "b.wve ==> b.wrd\n", "", {"b.wrd"}},
    {"-I asks; no skips and the run goes on",
     {"-I", "b", "a"},
     "n\n",
     1,
     ask_b + "a.wve ==> a.wrd\n",
     "",
     {"a.wrd"}},
    {"without -i an existing script is replaced", {"b"}, "", 0, "b.wve ==> b.wrd\n", "", {"b.wrd"}},
    {"a missing file ends the run",
     {"a", "nothing", "c"},
     "",
     2,
     "a.wve ==> a.wrd\n",
     no_input_file,
     {"a.wrd"}},
    {"a skip then a fatal error", {"-i", "b", "nothing"}, "n\n", 2, ask_b, no_input_file, {}},
};

std::string expand_help(const std::string& out) {
  FakeConsole help_console;
  print_usage(help_console);
  std::string text = out;
  for (std::size_t at; (at = text.find(help)) != std::string::npos;) {
    text.replace(at, std::string(help).size(), help_console.out);
  }
  return text;
}

TEST(CommandLine, OptionsFilesAndExitStatus) {
  const std::string tune_script = convert_in_memory(tune).script;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFiles files;
    for (const char* name : {"a.wve", "b.wve", "c.wve"}) files.files[name] = tune;
    files.files["b.wrd"] = old_script;
    FakeConsole console(c.typed);
    ConverterState state;
    FrontEnd front_end{state, console, files, *c.syntax};

    EXPECT_EQ(run_command_line(front_end, c.arguments), c.status);
    EXPECT_EQ(console.out, expand_help(c.out));
    EXPECT_EQ(console.err, c.err);
    std::size_t scripts = 0;
    for (const auto& [name, bytes] : files.files) {
      if (name.size() < 4 || name.compare(name.size() - 4, 4, ".wrd") != 0) continue;
      const bool converted =
          std::find(c.converted.begin(), c.converted.end(), name) != c.converted.end();
      EXPECT_EQ(bytes, converted ? tune_script : old_script) << name;
      scripts += converted;
    }
    EXPECT_EQ(scripts, c.converted.size());
  }
}

TEST(CommandLine, HelpAndMessagesFollowTheConsole) {
  MemoryFiles files;
  FakeConsole console;
  console.utf8 = true;
  ConverterState state;
  FrontEnd front_end{state, console, files, testing::posix_paths};
  EXPECT_EQ(run_command_line(front_end, {"-h"}), 0);
  EXPECT_NE(console.out.find("使用法 : mosaiq [<option>] <filename> ...\n"), std::string::npos);
  EXPECT_EQ(run_command_line(front_end, {"nothing"}), 2);
  EXPECT_EQ(console.err, "ファイルがありません。\n");
}

}  // namespace
}  // namespace mosaiq
