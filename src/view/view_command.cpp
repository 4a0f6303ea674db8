#include "view/view_command.h"

#include <cstdio>

#include "startup.h"
#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/midi_file.h"
#include "view/page_file.h"
#include "view/script_input.h"
#include "view/script_reader.h"
#include "view/terminal.h"
#include "view/terminal_player.h"
#include "view/timeline.h"
#include "view/view_options.h"

namespace mosaiq::view {

namespace {

void say(const std::string& text) {
  std::fflush(stdout);
  std::fputs(("mosaiq-view: " + text + "\n").c_str(), stderr);
}

void print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The song beside the script: its name with ".mid" or ".MID" for its extension.
std::string song_beside(const std::string& script) {
  if (script == "-") return {};
  const std::size_t dot = script.rfind('.');
  const bool has_extension =
      dot != std::string::npos && dot >= last_component_start(script, native_path_syntax());
  const std::string base = has_extension ? script.substr(0, dot) : script;
  for (const char* extension : {".mid", ".MID"}) {
    if (std::FILE* file = std::fopen((base + extension).c_str(), "rb")) {
      std::fclose(file);
      return base + extension;
    }
  }
  return {};
}

// The song's tempo map and time signature; 4/4 at 120 without one. False when a song named or
// found cannot be used.
bool load_song(const ViewOptions& options, Song& song) {
  const std::string name = options.midi.empty() ? song_beside(options.script) : options.midi;
  song = Song{};
  if (name.empty()) return true;
  std::string bytes, problem;
  if (!read_file(name, bytes, problem, max_midi_bytes)) {
    say("cannot read the song " + name + ": " + problem);
    return false;
  }
  if (bytes.size() > max_midi_bytes || !read_midi(bytes, song, problem)) {
    say("cannot use the song " + name + ": " +
        (bytes.size() > max_midi_bytes ? std::string("larger than any song") : problem));
    return false;
  }
  return true;
}

int print_frame(const ViewOptions& options, const Script& script, GlyphText& glyphs) {
  const std::size_t last = script.frames.size() - 1;
  std::size_t k = last;
  if (options.frame != "end") {
    const unsigned long long wanted = std::stoull(options.frame);
    if (wanted > last) {
      say("frame " + options.frame + " is past the end; " + options.script + " has frames 0 to " +
          std::to_string(last));
      return 1;
    }
    k = static_cast<std::size_t>(wanted);
  }
  print(screen_text(screen_at(script, k), glyphs, !options.plain));
  return 0;
}

void print_list(const Script& script, const std::vector<double>& starts) {
  std::string text = "frame\tstart\tpattern\tmeasure\tbeat\n";
  for (std::size_t k = 0; k < script.frames.size(); ++k) {
    const PanelValues& panel = script.frames[k].panel;
    text += std::to_string(k) + "\t" + seconds_text(starts[k]) + "\t" + panel.pattern + "\t" +
            panel.measure + "\t" + panel.beat + "\n";
  }
  print(text);
}

int write_page(const ViewOptions& options, const Script& script, const std::vector<double>& starts,
               GlyphText& glyphs) {
  if (options.script != "-" && same_file(options.script, options.html)) {
    say("will not write the page over " + options.script + " itself");
    return 2;
  }
  const std::vector<double> frame_starts(starts.begin(), starts.end() - 1);
  std::string error;
  if (!write_file_atomically(options.html,
                             html_page(script, frame_starts, starts.back(), glyphs, options.script),
                             error)) {
    say("cannot write " + options.html + ": " + error);
    return 2;
  }
  return 0;
}

int play_in_terminal(const Script& script, const std::vector<double>& starts, GlyphText& glyphs) {
  std::string problem;
  std::unique_ptr<Terminal> terminal = open_system_terminal(problem);
  if (!terminal) {
    say(problem);
    return 1;
  }
  return play(script, starts, *terminal, glyphs);
}

int show(const ViewOptions& options, const Script& script, const Song& song) {
  GlyphText glyphs;
  const std::vector<double> starts = frame_starts(script, song, static_cast<double>(options.bpm));
  if (script.negative_wmode && options.mode != ViewMode::frame) {
    say("@wmode(" + std::to_string(script.first_negative_wmode) + ") is played as @wmode(0)");
  }
  switch (options.mode) {
    case ViewMode::frame: return print_frame(options, script, glyphs);
    case ViewMode::list: print_list(script, starts); return 0;
    case ViewMode::html: return write_page(options, script, starts, glyphs);
    case ViewMode::play: break;
  }
  return play_in_terminal(script, starts, glyphs);
}

}  // namespace

int run_view(const std::vector<std::string>& arguments) {
  ViewOptions options;
  std::string problem;
  switch (parse_view_options(arguments, options, problem)) {
    case CommandRequest::help: std::fputs(view_help, stdout); return 0;
    case CommandRequest::version: std::fputs("mosaiq-view " MOSAIQ_VERSION "\n", stdout); return 0;
    case CommandRequest::bad_usage:
      say(problem);
      std::fputs(view_usage, stderr);
      return 1;
    case CommandRequest::run: break;
  }
  std::string bytes;
  if (!load_script(options.script, bytes, problem)) {
    say("cannot read " + options.script + ": " + problem);
    return 2;
  }
  const Script script = read_script(bytes);
  if (!is_wve_name(options.script) && !script.has_startup) {
    say(options.script +
        " does not look like a WRD script (it has no @startup line); a WVE "
        "file is read as one when its name ends in .wve");
    return 2;
  }
  Song song;
  if (!load_song(options, song)) return 2;
  const int status = show(options, script, song);
  if (script.passed_over != 0) {
    say("passed over " + std::to_string(script.passed_over) +
        (script.passed_over == 1 ? " item" : " items") +
        " the screen cannot show (unknown escapes, text off the screen, broken characters)");
  }
  return status;
}

}  // namespace mosaiq::view
