#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/view_options.h"

namespace mosaiq::view {
namespace {

struct Parsed {
  CommandRequest request;
  ViewOptions options;
  std::string problem;
};

Parsed parse(const std::vector<std::string>& arguments) {
  Parsed parsed;
  parsed.request = parse_view_options(arguments, parsed.options, parsed.problem);
  return parsed;
}

TEST(ViewOptions, OptionsComeInAnyOrderAroundTheScript) {
  const Parsed a = parse({"--list", "--midi", "song.mid", "song.wrd"});
  const Parsed b = parse({"song.wrd", "--midi", "song.mid", "--list"});
  for (const Parsed& p : {a, b}) {
    EXPECT_EQ(p.request, CommandRequest::run);
    EXPECT_EQ(p.options.mode, ViewMode::list);
    EXPECT_EQ(p.options.midi, "song.mid");
    EXPECT_EQ(p.options.script, "song.wrd");
  }
  const Parsed c = parse({"--bpm=140.06", "--frame", "end", "--plain", "-"});
  EXPECT_EQ(c.options.bpm, 140.06);
  EXPECT_EQ(c.options.mode, ViewMode::frame);
  EXPECT_EQ(c.options.frame, "end");
  EXPECT_TRUE(c.options.plain);
  EXPECT_EQ(c.options.script, "-");
  // A value is never taken for an option of its own.
  const Parsed d = parse({"--midi", "--list", "a.wrd"});
  EXPECT_EQ(d.request, CommandRequest::run);
  EXPECT_EQ(d.options.midi, "--list");
  EXPECT_EQ(d.options.mode, ViewMode::play);
}

TEST(ViewOptions, BadUsageSaysWhatIsWrong) {
  const struct {
    std::vector<std::string> arguments;
    const char* problem;
  } cases[] = {
      {{}, "no script given"},
      {{"a.wrd", "b.wrd"}, "one script at a time"},
      {{"--fast", "a.wrd"}, "unknown option '--fast'"},
      {{"a.wrd", "--midi"}, "--midi needs a value"},
      {{"--bpm", "0", "a.wrd"}, "--bpm wants a tempo of 1 or more quarter notes a minute, not '0'"},
      {{"--frame", "x", "a.wrd"}, "--frame wants a frame number or 'end', not 'x'"},
      {{"--frame", "1", "--html", "o.html", "a.wrd"},
       "--frame, --list, --html and --gif do not go together"},
      {{"--list", "--html", "o.html", "a.wrd"},
       "--frame, --list, --html and --gif do not go together"},
      {{"--plain", "a.wrd"}, "--plain goes with --frame"},
      {{"--force", "a.wrd"}, "--force goes with --html or --gif"},
      {{"--list=yes", "a.wrd"}, "--list takes no value"},
      {{"--bpm", "1.2.3", "a.wrd"},
       "--bpm wants a tempo of 1 or more quarter notes a minute, not '1.2.3'"},
      {{"--mute", "--list", "a.wrd"}, "--mute goes with playing in the terminal"},
      {{"--audio", "a.ogg", "a.wrd"}, "--audio goes with --html"},
      {{"--no-audio", "--frame", "1", "a.wrd"}, "--no-audio goes with --html"},
      {{"--html", "o.html", "--audio", "a.ogg", "--no-audio", "a.wrd"},
       "--audio and --no-audio do not go together"},
      {{"--scale", "4", "a.wrd"}, "--scale goes with --gif"},
      {{"--gif", "o.gif", "--scale", "65", "a.wrd"},
       "--scale wants 1 to 64 pixels a cell, not '65'"},
      {{"--html", "o.html", "--audio", "-", "-"},
       "standard input is read once: for the script or for --audio, not both"},
  };
  for (const auto& c : cases) {
    const Parsed p = parse(c.arguments);
    EXPECT_EQ(p.request, CommandRequest::bad_usage);
    EXPECT_EQ(p.problem, c.problem);
  }
  EXPECT_EQ(parse({"a.wrd", "--help"}).request, CommandRequest::help);
}

}  // namespace
}  // namespace mosaiq::view
