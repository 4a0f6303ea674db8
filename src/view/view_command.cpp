#include "view/view_command.h"

#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/file_names.h"
#include "platform/output_rules.h"
#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/midi_file.h"
#include "view/script_input.h"
#include "view/script_reader.h"
#include "view/terminal_player.h"
#include "view/timeline.h"
#include "view/view_options.h"

namespace mosaiq::view {

namespace {

// One run: what was asked for, and where it goes.
struct Run {
  const ViewOptions& options;
  ViewSystem& system;
  Reporter& reporter;
  std::string song_name;  // the song used; empty without one
};

// The song beside the script: its name with ".mid" or ".MID" for its extension.
std::string song_beside(const std::string& script, FileAccess& files, const PathSyntax& syntax) {
  if (script == "-") return {};
  const std::size_t dot = script.rfind('.');
  const bool has_extension =
      dot != std::string::npos && dot >= last_component_start(script, syntax);
  const std::string base = has_extension ? script.substr(0, dot) : script;
  for (const char* extension : {".mid", ".MID"}) {
    if (files.exists(base + extension)) return base + extension;
  }
  return {};
}

// The song's tempo map and time signature; 4/4 at 120 without one. False when a song named or
// found cannot be used.
bool load_song(Run& run, Song& song) {
  const ViewOptions& options = run.options;
  run.song_name = options.midi.empty()
                      ? song_beside(options.script, run.system.files, run.system.syntax)
                      : options.midi;
  song = Song{};
  if (run.song_name.empty()) return true;
  std::string bytes, problem;
  if (!read_whole_file(run.system.files, run.song_name, max_midi_bytes, bytes, problem)) {
    run.reporter.say("cannot read the song " + run.song_name + ": " + problem);
    return false;
  }
  if (bytes.size() > max_midi_bytes || !read_midi(bytes, song, problem)) {
    run.reporter.say(
        "cannot use the song " + run.song_name + ": " +
        (bytes.size() > max_midi_bytes ? std::string("larger than any song") : problem));
    return false;
  }
  return true;
}

int print_frame(Run& run, const Script& script, GlyphText& glyphs) {
  const std::size_t last = script.frames.size() - 1;
  std::size_t k = last;
  const std::string& wanted = run.options.frame;
  if (wanted != "end") {
    const unsigned long long number = std::stoull(wanted);
    if (number > last) {
      run.reporter.say("frame " + wanted + " is past the end; " + run.options.script +
                       " has frames 0 to " + std::to_string(last));
      return 1;
    }
    k = static_cast<std::size_t>(number);
  }
  run.reporter.out(screen_text(screen_at(script, k), glyphs, !run.options.plain));
  return 0;
}

void print_list(Run& run, const Script& script, const std::vector<double>& starts) {
  std::string text = "frame\tstart\tpattern\tmeasure\tbeat\n";
  for (std::size_t k = 0; k < script.frames.size(); ++k) {
    const PanelValues& panel = script.frames[k].panel;
    text += std::to_string(k) + "\t" + seconds_text(starts[k]) + "\t" + panel.pattern + "\t" +
            panel.measure + "\t" + panel.beat + "\n";
  }
  run.reporter.out(text);
}

int write_page(Run& run, const Script& script, const std::vector<double>& starts,
               GlyphText& glyphs) {
  const ViewOptions& options = run.options;
  OutputRules rules;
  if (options.script != "-") rules.inputs.push_back({options.script, "the script"});
  if (!run.song_name.empty()) rules.inputs.push_back({run.song_name, "the song"});
  rules.mark = page_mark;
  rules.force = options.force;
  const std::string refusal = output_refusal(run.system.files, options.html, rules);
  if (!refusal.empty()) {
    run.reporter.say(refusal);
    return 2;
  }
  const std::vector<double> frame_starts(starts.begin(), starts.end() - 1);
  std::string why;
  if (!run.system.files.write_atomically(
          options.html, html_page(script, frame_starts, starts.back(), glyphs, options.script),
          why)) {
    run.reporter.say("cannot write " + options.html + ": " + why);
    return 2;
  }
  return 0;
}

int play_in_terminal(Run& run, const Script& script, const std::vector<double>& starts,
                     GlyphText& glyphs) {
  std::string problem;
  std::unique_ptr<Terminal> terminal = run.system.open_terminal(problem);
  if (!terminal) {
    run.reporter.say(problem);
    return 1;
  }
  return play(script, starts, *terminal, glyphs);
}

int show(Run& run, const Script& script, const Song& song) {
  const ViewOptions& options = run.options;
  GlyphText glyphs;
  const std::vector<double> starts = frame_starts(script, song, options.bpm);
  if (script.negative_wmode && options.mode != ViewMode::frame) {
    run.reporter.say("@wmode(" + std::to_string(script.first_negative_wmode) +
                     ") is played as @wmode(0)");
  }
  switch (options.mode) {
    case ViewMode::frame: return print_frame(run, script, glyphs);
    case ViewMode::list: print_list(run, script, starts); return 0;
    case ViewMode::html: return write_page(run, script, starts, glyphs);
    case ViewMode::play: break;
  }
  return play_in_terminal(run, script, starts, glyphs);
}

// Reads the script; false, having said why, when it cannot be shown.
bool read_script_file(Run& run, Script& script) {
  const std::string& name = run.options.script;
  std::string bytes, problem;
  if (!load_script(run.system.files, name, bytes, problem)) {
    run.reporter.say("cannot read " + name + ": " + problem);
    return false;
  }
  script = read_script(bytes);
  if (is_wve_name(name) || script.has_startup) return true;
  run.reporter.say(name +
                   " does not look like a WRD script (it has no @startup line); a WVE file is "
                   "read as one when its name ends in .wve");
  return false;
}

}  // namespace

int run_view(const std::vector<std::string>& arguments, ViewSystem& system) {
  Reporter reporter(system.console, "mosaiq-view");
  ViewOptions options;
  std::string problem;
  const CommandRequest request = parse_view_options(arguments, options, problem);
  const int answered = reporter.answer(request, view_help, view_usage, problem);
  if (answered >= 0) return answered;
  Run run{options, system, reporter, {}};
  Script script;
  Song song;
  if (!read_script_file(run, script) || !load_song(run, song)) return reporter.status(2);
  const int status = show(run, script, song);
  if (script.passed_over != 0) {
    reporter.say(
        "passed over " + std::to_string(script.passed_over) +
        (script.passed_over == 1 ? " item" : " items") +
        " the screen cannot show (unknown escapes, text off the screen, broken characters)");
  }
  return reporter.status(status);
}

}  // namespace mosaiq::view
