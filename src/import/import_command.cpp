#include "import/import_command.h"

#include "import/import_options.h"
#include "import/import_timing.h"
#include "import/pattern_marks.h"
#include "import/picture_input.h"
#include "import/wve_text.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/output_rules.h"
#include "song/song_file.h"

namespace mosaiq::import {

namespace {

// One run: what was asked for, the song it plays with, and where the result goes.
struct Run {
  const ImportOptions& options;
  ProgramSystem& system;
  Reporter& reporter;
  std::string song_name;  // empty without a song
  Song song;
};

// Reads the song; false, said, when it is named and cannot be used.
bool load_the_song(Run& run) {
  const ImportOptions& options = run.options;
  run.song_name = options.midi;
  const bool to_file = !options.output.empty() && options.output != "-";
  if (run.song_name.empty() && to_file) {
    run.song_name = song_beside(run.system.files, run.system.syntax, options.output);
  }
  if (run.song_name.empty()) return true;
  const SongRead read = load_song(run.system.files, run.song_name, run.song);
  if (!read.read) {
    run.reporter.say(read.problem);
    return false;
  }
  if (!read.note.empty()) run.reporter.say("note: " + read.note);
  return true;
}

// Says once, after an import that was written, what the timing assumed when it had no song,
// nor a tempo.
void say_assumptions(Run& run) {
  const ImportOptions& options = run.options;
  if (!run.song_name.empty() || options.bpm > 0) return;
  const bool to_file = !options.output.empty() && options.output != "-";
  run.reporter.say(
      no_song_found(to_file ? "looked for " + song_name_for(run.system.syntax, options.output)
                            : "the output has no name to look beside"));
}

std::int64_t position_of(const MeasureMap& measures, const BeatText& beat) {
  return beat.measure > 0 ? measures.position(beat.measure, beat.beat) : -1;
}

// Writes the file where -o says, or to standard output; the exit status.
int write_result(Run& run, const ImportedPictures& pictures, const std::string& text) {
  const std::string& output = run.options.output;
  if (output.empty() || output == "-") {
    run.reporter.out(text);
    return 0;
  }
  OutputRules rules;
  for (const std::string& name : pictures.files) {
    if (name != "-") rules.inputs.push_back({name, "a picture"});
  }
  if (!run.song_name.empty()) rules.inputs.push_back({run.song_name, "the song"});
  rules.ours = written_by_import;
  rules.force = run.options.force;
  const std::string refusal = output_refusal(run.system.files, output, rules);
  if (!refusal.empty()) {
    run.reporter.say(refusal);
    return 2;
  }
  std::string why;
  if (!run.system.files.write_atomically(output, text, why)) {
    run.reporter.say("cannot write " + output + ": " + why);
    return 2;
  }
  return 0;
}

int import(Run& run) {
  const ImportOptions& options = run.options;
  if (!load_the_song(run)) return 2;
  PictureRequest request{
      options.inputs, options.grid, options.sheet_columns, options.sheet_rows, {}};
  for (const ColourOption& colour : options.colours) request.colours.map(colour.rgb, colour.digit);
  ImportedPictures pictures;
  std::string problem;
  if (!read_pictures(run.system.files, request, pictures, problem)) {
    run.reporter.say(problem);
    return 2;
  }
  const MeasureMap measures(run.song);
  const TimingRequest timing{run.song,
                             options.bpm,
                             measures,
                             position_of(measures, options.start),
                             options.per_beat,
                             options.repeat,
                             position_of(measures, options.until)};
  Placement placement;
  std::vector<PatternMark> patterns;
  bool placed =
      place_pictures(pictures.delays, pictures.pictures.size(), timing, placement, problem);
  if (placed && placement.records.empty()) {
    problem = "nothing to show: --until comes before the first picture";
    placed = false;
  }
  if (!placed || !place_patterns(options.patterns, run.reporter.console().text_is_utf8(), measures,
                                 placement.records, patterns, problem)) {
    run.reporter.say(problem);
    return 2;
  }
  const Animation animation{pictures.width, pictures.height, pictures.pictures, placement.records,
                            patterns};
  const int status = write_result(run, pictures, wve_text(animation, measures));
  if (status != 0 || placement.left_out == 0) return status;
  run.reporter.say(
      std::to_string(placement.left_out) +
      (placement.left_out == 1 ? " picture was" : " pictures were") +
      " too short to show (under the player's step, 1/24 of a quarter note) and left out");
  return 1;
}

}  // namespace

int run_import(const std::vector<std::string>& arguments, ProgramSystem& system) {
  Reporter reporter(system.console, "mosaiq-import");
  ImportOptions options;
  std::string problem;
  const CommandRequest request = parse_import_options(arguments, options, problem);
  const int answered = reporter.answer(request, import_help, import_usage, problem);
  if (answered >= 0) return answered;
  if (options.list_colours) {
    reporter.out(colour_table());
    return reporter.end(0);
  }
  Run run{options, system, reporter, {}, {}};
  const int status = import(run);
  if (status != 2) say_assumptions(run);
  return reporter.end(status);
}

}  // namespace mosaiq::import
