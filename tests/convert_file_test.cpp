#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cli/convert_file.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using testing::FakeConsole;
using testing::MemoryFiles;

const std::string song = testing::wve_lines({"*nXY=3,2", "*p1,Intro", "*f1-1-1", "120", "003"});
const std::string old_script = "the script of an earlier run";

// One file argument against a folder in memory: song.wve, an earlier song.wrd, and what the
// row adds.
struct Case {
  const char* name;
  const char* argument;
  const char* output_name;  // the -o name, or nullptr
  bool ask;
  const char* typed;  // the answer to the overwrite question
  void (*prepare)(MemoryFiles&);
  FileResult::Kind kind;
  std::optional<Message> message;
  const char* progress;             // the progress line written, "" when none
  const char* written;              // the file that holds the new script, or nullptr
  const char* cut_short = nullptr;  // the file that holds the start of it
};

void nothing(MemoryFiles&) {}

const Case cases[] = {
    {"converts the named file", "song", nullptr, false, "", nothing, FileResult::converted,
     std::nullopt, "song.wve ==> song.wrd\n", "song.wrd"},
    {"takes the output name from -o", "song.wve", "out/clip.x", false, "", nothing,
     FileResult::converted, std::nullopt, "song.wve ==> out/clip.wrd\n", "out/clip.wrd"},
    {"asks and replaces on yes", "song", nullptr, true, "y\n", nothing, FileResult::converted,
     std::nullopt, "\"song.wrd\" already exists. 0verwite? (y/n) : song.wve ==> song.wrd\n",
     "song.wrd"},
    {"asks and skips on no", "song", nullptr, true, "n\n", nothing, FileResult::skipped,
     std::nullopt, "\"song.wrd\" already exists. 0verwite? (y/n) : ", nullptr},
    {"asks only when the output exists", "song", "fresh", true, "n\n", nothing,
     FileResult::converted, std::nullopt, "song.wve ==> fresh.wrd\n", "fresh.wrd"},
    {"a missing input", "tune", nullptr, false, "", nothing, FileResult::fatal,
     Message::no_input_file, "", nullptr},
    {"a folder as input", "dir.wve", nullptr, false, "",
     [](MemoryFiles& files) { files.folders.insert("dir.wve"); }, FileResult::fatal,
     Message::no_input_file, "", nullptr},
    {"an input that is its own output", "song.wrd", nullptr, false, "",
     [](MemoryFiles& files) { files.files["song.wrd"] = song; }, FileResult::fatal,
     Message::same_file, "", nullptr},
    {"an output that links to the input", "song", "alias", false, "",
     [](MemoryFiles& files) { files.links["alias.wrd"] = "song.wve"; }, FileResult::fatal,
     Message::same_file, "", nullptr},
    {"an output that cannot be created", "song", nullptr, false, "",
     [](MemoryFiles& files) { files.unwritable.insert("song.wrd"); }, FileResult::fatal,
     Message::cannot_open_output, "", nullptr},
    {"an output folder", "song", "dir", false, "",
     [](MemoryFiles& files) { files.folders.insert("dir.wrd"); }, FileResult::fatal,
     Message::cannot_open_output, "", nullptr},
    {"a full disk", "song", nullptr, false, "", [](MemoryFiles& files) { files.write_limit = 20; },
     FileResult::fatal, Message::write_error, "song.wve ==> song.wrd\n", nullptr, "song.wrd"},
    {"a failed read", "song", nullptr, false, "",
     [](MemoryFiles& files) { files.read_fails_at = 10; }, FileResult::fatal, Message::read_error,
     "song.wve ==> song.wrd\n", nullptr, "song.wrd"},
};

TEST(ConvertFile, EachOutcomeWithItsMessageProgressAndFiles) {
  const std::string script = convert_in_memory(song).script;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFiles files;
    files.files["song.wve"] = song;
    files.files["song.wrd"] = old_script;
    c.prepare(files);
    const MemoryFiles before = files;
    FakeConsole console(c.typed);
    ConverterState state;
    FrontEnd front_end{state, console, files, testing::posix_paths};
    const std::string output_name = c.output_name ? c.output_name : "";
    const FileResult result =
        convert_file(front_end, c.argument, c.output_name ? &output_name : nullptr, c.ask);

    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(console.out, c.progress);
    EXPECT_EQ(console.err, "");
    EXPECT_EQ(files.files["song.wve"], song) << "the input is never written";
    for (const auto& [name, bytes] : files.files) {
      if (c.written != nullptr && name == c.written) {
        EXPECT_EQ(bytes, script) << name;
      } else if (c.cut_short != nullptr && name == c.cut_short) {
        EXPECT_LT(bytes.size(), script.size());
        EXPECT_EQ(bytes, script.substr(0, bytes.size())) << "a true start of the script";
      } else if (before.files.count(name) != 0) {
        EXPECT_EQ(bytes, before.files.at(name)) << name << " is left as it was";
      } else {
        ADD_FAILURE() << name << " was written";
      }
    }
  }
}

TEST(ConvertFile, TheStateOfAnEarlierFileDoesNotCarryOver) {
  MemoryFiles files;
  files.files["wide.wve"] = testing::wve_lines({"*nXY=30,1", "*f2-3-4-8", std::string(30, '7')});
  files.files["plain.wve"] = testing::wve_lines({"*f1-1-1", "1"});
  FakeConsole console;
  ConverterState state;
  FrontEnd front_end{state, console, files, testing::posix_paths};
  ASSERT_EQ(convert_file(front_end, "wide", nullptr, false).kind, FileResult::converted);
  ASSERT_EQ(convert_file(front_end, "plain", nullptr, false).kind, FileResult::converted);
  EXPECT_EQ(files.files["plain.wrd"], convert_in_memory(files.files["plain.wve"]).script);
}

}  // namespace
}  // namespace mosaiq
