#include "check/check_command.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "check/check_options.h"
#include "check/finding_writer.h"
#include "check/wve_check.h"
#include "check/wve_outline.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/file_names.h"
#include "song/song_file.h"

namespace mosaiq::check {

namespace {

// One run: what was asked for, and where it goes.
struct Run {
  const CheckOptions& options;
  FileAccess& files;
  const PathSyntax& syntax;
  Reporter& reporter;
  FindingWriter& writer;
};

bool colour_wanted(const CheckOptions& options, Console& console) {
  if (options.format != Format::text || options.color == ColorMode::never) return false;
  if (options.color == ColorMode::always) return true;
  return console.output_is_terminal() && console.variable("NO_COLOR").empty();
}

// The song the file plays with, read into `song`: the one named for every file, or the one the
// file names in its song line, or its own beside it. False, having said why, when a song is
// there but cannot be used; `found` says whether there is one.
bool read_song(Run& run, const std::string& file, Song& song, bool& found) {
  SongOrigin source = SongOrigin::none;
  const std::string name = song_for(run.files, run.syntax, file, run.options.midi, source);
  found = !name.empty();
  if (source == SongOrigin::song_line) {
    bool missing = false;
    run.reporter.say(song_line_words(run.files, file, name, missing));
    found = !missing;
  }
  if (!found) return true;
  const SongRead read = load_song(run.files, name, song);
  if (!read.read) run.reporter.say(read.problem);
  if (!read.note.empty()) run.reporter.say("note: " + read.note);
  return read.read;
}

// What a file that is no WVE file is, told by its first bytes, and which program takes it;
// empty for anything else.
std::string other_kind(InputFile& input) {
  char start[16];
  std::size_t have = 0;
  long got = 0;
  while (have < sizeof start && (got = input.read(start + have, sizeof start - have)) > 0) {
    have += static_cast<std::size_t>(got);
  }
  input.rewind();
  const std::string_view bytes(start, have);
  const auto begins = [&](std::string_view with) { return bytes.substr(0, with.size()) == with; };
  if (begins("GIF87a") || begins("GIF89a") || begins("\x89PNG\r\n\x1a\n")) {
    return std::string("a ") + (begins("GIF") ? "GIF" : "PNG") +
           " picture, not a WVE file: mosaiq-import turns pictures into a WVE file";
  }
  if (begins("MThd")) {
    return "a song (a Standard MIDI File), not a WVE file: give it to mosaiq-check with --midi";
  }
  if (begins("@startup")) {
    return "a WRD script, not a WVE file: mosaiq-view shows it, and mosaiq writes it from a WVE "
           "file";
  }
  return {};
}

// Checks one file, read three times: an outline, the timing, then the checks. False when it
// (or its song) could not be read, or is no WVE file.
bool check_file(Run& run, const std::string& argument) {
  const std::string name = argument == "-" ? argument : make_input_name(argument, run.syntax);
  std::string why;
  std::unique_ptr<InputFile> input =
      name == "-" ? run.files.open_standard_input() : run.files.open_input(name, why);
  if (!input) {
    run.reporter.say("cannot read " + name + ": " + why);
    return false;
  }
  if (const std::string kind = other_kind(*input); !kind.empty()) {
    run.reporter.say(name + " is " + kind);
    return false;
  }
  CheckSettings settings;
  std::copy(std::begin(run.options.ignored), std::end(run.options.ignored), settings.ignored);
  settings.beats_per_measure = run.options.beats_per_measure;
  settings.all = run.options.all;
  Song song;
  bool with_song = false;
  if (!read_song(run, name, song, with_song)) return false;
  if (with_song) settings.song = &song;
  const bool readable = check_source(*input, name, settings, run.writer);
  if (!readable) run.reporter.say("cannot read " + name + ": " + input->failure());
  return readable;
}

std::string counted(std::uint64_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

int run_check(const std::vector<std::string>& arguments, ProgramSystem& system) {
  Console& console = system.console;
  Reporter reporter(console, "mosaiq-check");
  CheckOptions options;
  std::string problem;
  const CommandRequest request = parse_check_options(arguments, options, problem);
  const int answered = reporter.answer(request, check_help, check_usage, problem);
  if (answered >= 0) return answered;
  WriterSettings settings;
  settings.format = options.format;
  settings.colour = colour_wanted(options, console);
  settings.encoding = console.text_is_utf8() ? TextEncoding::utf8 : TextEncoding::file_bytes;
  FindingWriter writer(reporter, settings);
  Run run{options, system.files, system.syntax, reporter, writer};
  int status = 0;
  std::uint64_t files_with_findings = 0;
  for (const std::string& file : options.files) {
    const std::uint64_t before = writer.count();
    if (!check_file(run, file)) status = 2;
    files_with_findings += writer.count() > before;
  }
  writer.finish();
  if (reporter.failed()) {
    reporter.say("cannot write the findings: " + reporter.failure());
    return 2;
  }
  if (writer.count() > 0) {
    reporter.err(counted(writer.count(), "warning") + " in " +
                 counted(files_with_findings, "file") + "\n");
  }
  return reporter.status(status != 0 ? status : writer.count() > 0 ? 1 : 0);
}

}  // namespace mosaiq::check
