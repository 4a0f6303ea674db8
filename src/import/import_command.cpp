#include "import/import_command.h"

#include "import/import_options.h"
#include "import/import_timing.h"
#include "import/pattern_marks.h"
#include "import/picture_input.h"
#include "import/preview_sheet.h"
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

// Reads the song: --midi, else the one the output file names (a file written before), else the
// one beside it; false, said, when it is named and cannot be used.
bool load_the_song(Run& run) {
  const ImportOptions& options = run.options;
  const bool to_file = !options.output.empty() && options.output != "-";
  SongOrigin source = SongOrigin::named;
  run.song_name =
      to_file ? song_for(run.system.files, run.system.syntax, options.output, options.midi, source)
              : options.midi;
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

// How the written file's song line names the song; empty without a song, or for standard output.
std::string song_line_name(const Run& run) {
  const std::string& output = run.options.output;
  if (run.song_name.empty() || output.empty() || output == "-") return {};
  return mosaiq::song_line_name(run.system.syntax, output, run.song_name);
}

std::int64_t position_of(const MeasureMap& measures, const BeatText& beat) {
  return beat.measure > 0 ? measures.position(beat.measure, beat.beat) : -1;
}

// Whether `name` may be written: never over the pictures, the song, what else the run writes,
// or anything this program did not write (`ours` tells) but with --force. Said when not.
bool may_write(Run& run, const ImportedPictures& pictures, const std::string& name,
               OwnershipTest ours) {
  OutputRules rules;
  for (const std::string& picture : pictures.files) {
    if (picture != "-") rules.inputs.push_back({picture, "a picture"});
  }
  if (!run.song_name.empty()) rules.inputs.push_back({run.song_name, "the song"});
  if (name == run.options.preview && !run.options.output.empty() && run.options.output != "-") {
    rules.inputs.push_back({run.options.output, "the WVE file written"});
  }
  rules.ours = ours;
  rules.force = run.options.force;
  const std::string refusal = output_refusal(run.system.files, name, rules);
  if (!refusal.empty()) run.reporter.say(refusal);
  return refusal.empty();
}

// Writes the file where -o says, or to standard output; the exit status.
int write_result(Run& run, const ImportedPictures& pictures, const std::string& text) {
  const std::string& output = run.options.output;
  if (output.empty() || output == "-") {
    run.reporter.out(text);
    return 0;
  }
  if (!may_write(run, pictures, output, written_by_import)) return 2;
  std::string why;
  if (!run.system.files.write_atomically(output, text, why)) {
    run.reporter.say("cannot write " + output + ": " + why);
    return 2;
  }
  return 0;
}

// Writes the contact sheet --preview asks for; the exit status.
int write_preview(Run& run, const ImportedPictures& pictures) {
  const std::string& name = run.options.preview;
  if (name.empty()) return 0;
  std::string why;
  const Producer sheet = [&](ByteSink& out, std::string& problem) {
    return write_preview_sheet(pictures, out, problem);
  };
  if (!run.system.files.write_whole(name, sheet, why)) {
    run.reporter.say("cannot write " + name + ": " + why);
    return 2;
  }
  return 0;
}

std::string beat_at(const MeasureMap& measures, std::int64_t position) {
  const SongBeat at = measures.at(position);
  return std::to_string(at.measure) + ":" + std::to_string(at.beat);
}

// The one line every import ends with: the grid, how the pictures were taken, the frames, the
// pictures left out, and the span of the song covered.
std::string summary(Run& run, const ImportedPictures& pictures, const Placement& placement,
                    const MeasureMap& measures) {
  const std::size_t count = pictures.pictures.size();
  std::string text = std::to_string(pictures.width) + " x " + std::to_string(pictures.height) +
                     " cells (" + pictures.how + "), " + std::to_string(count) +
                     (count == 1 ? " picture" : " pictures") + " in " +
                     std::to_string(placement.records.size()) +
                     (placement.records.size() == 1 ? " frame record" : " frame records") +
                     ", from " + beat_at(measures, placement.records.front().position) + " to " +
                     beat_at(measures, placement.end);
  if (!run.song_name.empty()) text += " of " + run.song_name;
  const std::vector<std::size_t>& left_out = placement.left_out;
  if (!left_out.empty()) {
    text += left_out.size() == 1 ? "; picture " : "; pictures ";
    for (std::size_t i = 0; i < left_out.size(); ++i) {
      text += (i == 0                     ? ""
               : i + 1 == left_out.size() ? " and "
                                          : ", ") +
              std::to_string(left_out[i] + 1);
    }
    text += " too short to show (under the player's step, 1/24 of a quarter note), left out";
  }
  return text;
}

int import(Run& run) {
  const ImportOptions& options = run.options;
  if (!load_the_song(run)) return 2;
  PictureRequest request;
  request.inputs = options.inputs;
  request.grid = options.grid;
  request.sheet_columns = options.sheet_columns;
  request.sheet_rows = options.sheet_rows;
  for (const ColourOption& colour : options.colours) request.colours.map(colour.rgb, colour.digit);
  request.colours.set_ink(options.ink);
  request.background = options.background;
  request.keep_sources = options.preview.empty() ? 0 : most_previewed;
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
  const Animation animation{pictures.width,    pictures.height, pictures.pictures,
                            placement.records, patterns,        song_line_name(run)};
  // Both files may be written, or neither is.
  if (!run.options.preview.empty() &&
      !may_write(run, pictures, run.options.preview, preview_written_by_import)) {
    return 2;
  }
  int status = write_result(run, pictures, wve_text(animation, measures));
  if (status == 0) status = write_preview(run, pictures);
  if (status != 0 || run.reporter.failed()) return status;
  run.reporter.say(summary(run, pictures, placement, measures));
  return placement.left_out.empty() ? 0 : 1;
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
