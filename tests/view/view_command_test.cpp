#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../test_support.h"
#include "platform/output_rules.h"
#include "view/html_writer.h"
#include "view/view_command.h"

namespace mosaiq::view {
namespace {

const std::string script = "@startup(400)\r\n@wmode(23);\r\n@wait(0);\r\n\r\n\x1b[1;1HA;\r\n\r\n";
const std::string wve = "*nXY=1,1\n*f1-1-1\n1\n";
const std::string page = "<!DOCTYPE html>\n" + std::string(page_mark) + "\nan older page";

struct Case {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  std::string out;  // "*": anything
  std::string err;
  const char* written = nullptr;  // the page that must hold a new page afterwards
};

const char* const usage =
    "usage: mosaiq-view [--watch] [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --frame K|end [--plain] FILE\n"
    "       mosaiq-view --list [--midi SONG.mid] [--bpm N] FILE\n"
    "       mosaiq-view --html OUT.html [--force] [--midi SONG.mid] [--bpm N] FILE\n";

const Case cases[] = {
    {"version", {"--version"}, 0, "mosaiq-view " MOSAIQ_VERSION "\n", ""},
    {"bad usage is status 2",
     {"--fast", "s.wrd"},
     2,
     "",
     "mosaiq-view: unknown option '--fast'\n" + std::string(usage)},
    {"a list with the song's measures",
     {"--list", "s.wrd"},
     0,
     "frame\tstart\tsong_measure\tsong_beat\tpattern\tmeasure\tbeat\n0\t0.000\t1\t1\t\t\t\n"
     "1\t2.500\t2\t2\t\t\t\n",
     ""},
    {"a name without an extension is a WVE file's",
     {"--list", "--bpm", "60", "t"},
     0,
     "*",
     "mosaiq-view: no song found (looked for t.mid); timing assumes 4/4 at 60 quarter notes a "
     "minute\n"},
    {"a script on standard input", {"--frame", "end", "--plain", "-"}, 0, "*", ""},
    {"a frame past the end",
     {"--frame", "9", "s.wrd"},
     1,
     "",
     "mosaiq-view: frame 9 is past the end; s.wrd has frames 0 to 1\n"},
    {"a missing script",
     {"--list", "none.wrd"},
     2,
     "",
     "mosaiq-view: cannot read none.wrd: No such file or directory\n"},
    {"no terminal to play on", {"s.wrd"}, 1, "", "mosaiq-view: no terminal here\n"},
    {"a new page", {"--html", "new.html", "s.wrd"}, 0, "", "", "new.html"},
    {"a page over a page it wrote", {"--html", "old.html", "s.wrd"}, 0, "", "", "old.html"},
    {"a page from a file named like a mark",
     {"--html", "p.html", "@DATA@.wve"},
     0,
     "",
     "mosaiq-view: no song found (looked for @DATA@.mid); timing assumes 4/4 at 120 quarter notes "
     "a minute\n",
     "p.html"},
    {"never over the script",
     {"--html", "s.wrd", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over s.wrd: it is the script\n"},
    {"never over the script through a link",
     {"--html", "link.html", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over link.html: it is the script s.wrd, under another name or "
     "through a link\n"},
    {"never over the song",
     {"--html", "s.mid", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over s.mid: it is the song\n"},
    {"never over a WVE file",
     {"--html", "t.wve", "--force", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over t.wve: it is a WVE file\n"},
    {"never over another file",
     {"--html", "notes.txt", "s.wrd"},
     2,
     "",
     "mosaiq-view: will not write over notes.txt, a file that exists and that this program did "
     "not write (--force writes over it)\n"},
    {"over another file with --force",
     {"--html", "notes.txt", "--force", "s.wrd"},
     0,
     "",
     "",
     "notes.txt"},
};

TEST(ViewCommand, OptionsFilesAndExitStatus) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryFiles files;
    files.files = {
        {"s.wrd", script},  {"s.mid", std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xe0", 14)},
        {"t.wve", wve},     {"@DATA@.wve", wve},
        {"old.html", page}, {"notes.txt", "notes"}};
    files.links["link.html"] = "s.wrd";
    files.standard_input = script;
    testing::FakeConsole console;
    const PathSyntax syntax = testing::posix_paths;
    ViewSystem system{console, files, syntax, [](std::string& problem) {
                        problem = "no terminal here";
                        return std::unique_ptr<Terminal>();
                      }};
    EXPECT_EQ(run_view(c.arguments, system), c.status);
    if (c.out != "*") {
      EXPECT_EQ(console.out, c.out);
    }
    EXPECT_EQ(console.err, c.err);
    if (c.written == nullptr) continue;
    const std::string& written = files.files[c.written];
    EXPECT_LT(written.find(page_mark), mark_window) << "a page, marked as such";
    EXPECT_NE(written.find("id=\"script-data\">{\"frames\":"), std::string::npos);
    const std::string title = "<title>" + c.arguments.back() + "</title>";
    EXPECT_NE(written.find(title), std::string::npos) << "the script's name, nothing else";
  }
}

TEST(ViewCommand, AFailedWriteOfWhatItPrintsIsAnError) {
  testing::MemoryFiles files;
  files.files["s.wrd"] = script;
  testing::FakeConsole console;
  console.writes_fail = true;
  const PathSyntax syntax = testing::posix_paths;
  ViewSystem system{console, files, syntax, nullptr};
  EXPECT_EQ(run_view({"--list", "s.wrd"}, system), 2);
  EXPECT_EQ(run_view({"--version"}, system), 2);
}

}  // namespace
}  // namespace mosaiq::view
