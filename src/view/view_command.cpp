#include "view/view_command.h"

#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/file_names.h"
#include "platform/output_rules.h"
#include "song/song_file.h"
#include "view/gif_frames.h"
#include "view/gif_writer.h"
#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/script_input.h"
#include "view/script_reader.h"
#include "view/terminal_player.h"
#include "view/timeline.h"
#include "view/view_options.h"
#include "view/view_sound.h"

namespace mosaiq::view {

namespace {

// One run: what was asked for, where it goes, and the song the script plays with.
struct Run {
  const ViewOptions& options;
  ProgramSystem& system;
  const TerminalOpener& open_terminal;
  Reporter& reporter;
  std::string script;      // the script's name, ".wve" added where it has no extension
  std::string song;        // the song's name; empty without one
  Song tempo_map;          // the song as first read, which its sound follows
  std::string midi;        // the song as players read it, for its sound
  LoadedGrid grid;         // a WVE file's grid
  bool song_said = false;  // what timing without a song assumes was said already
};

// Reads the script and its song into `showing`; false, with the problem, when either cannot be
// used. `notes` gets what was passed over in reading the song; with `keep`, the song is kept in
// the run for its sound.
bool load_showing(Run& run, Showing& showing, std::string& problem, std::string& notes,
                  bool keep = false) {
  std::string bytes;
  const WholeFile loaded =
      load_script(run.system.files, run.script, bytes, problem, keep ? &run.grid : nullptr);
  if (loaded != WholeFile::read) {
    problem = (loaded == WholeFile::unreadable ? "cannot read " : "cannot use ") + run.script +
              ": " + problem;
    return false;
  }
  showing.script = read_script(bytes);
  if (!is_wve_name(run.script) && !showing.script.has_startup) {
    problem = run.script +
              " does not look like a WRD script (it has no @startup line); a WVE file is read as "
              "one when its name ends in .wve";
    return false;
  }
  Song song;
  if (!run.song.empty()) {
    SongRead read = load_song(run.system.files, run.song, song);
    if (!read.read) {
      problem = read.problem;
      return false;
    }
    notes = read.note;
    if (keep) run.midi = std::move(read.midi);
  }
  showing.times = frame_times(showing.script, song, run.options.bpm);
  showing.song = song_words(run.song, song, run.options.bpm);
  if (keep) run.tempo_map = std::move(song);
  return true;
}

SoundRequest sound_request(Run& run, double until = 0) {
  return {run.options, run.system.files, run.reporter, run.tempo_map, run.midi, until};
}

// Where the page's sound ends with --span animation: a measure after the last frame ends.
double animation_span(const Run& run, const Showing& showing) {
  const MeasureMap measures(run.tempo_map);
  const std::int64_t end = showing.times.back().position;
  const std::int64_t after = end + measures.measure_units(measures.at(end).measure);
  return TempoMap(run.tempo_map, run.options.bpm)
      .seconds_at(static_cast<double>(after) / units_per_quarter);
}

int print_frame(Run& run, const Script& script, GlyphText& glyphs) {
  const std::size_t last = script.frames.size() - 1;
  std::size_t k = last;
  const std::string& wanted = run.options.frame;
  if (wanted != "end") {
    const unsigned long long number = std::stoull(wanted);
    if (number > last) {
      run.reporter.say("frame " + wanted + " is past the end; " + run.script + " has frames 0 to " +
                       std::to_string(last));
      return 1;
    }
    k = static_cast<std::size_t>(number);
  }
  run.reporter.out(screen_text(screen_at(script, k), glyphs, !run.options.plain));
  return 0;
}

void print_list(Run& run, const Showing& showing) {
  std::string text = "frame\tstart\tsong_measure\tsong_beat\tpattern\tmeasure\tbeat\n";
  for (std::size_t k = 0; k < showing.script.frames.size(); ++k) {
    const PanelValues& panel = showing.script.frames[k].panel;
    const FrameTime& time = showing.times[k];
    text += std::to_string(k) + "\t" + seconds_text(time.seconds) + "\t" +
            std::to_string(time.song.measure) + "\t" + std::to_string(time.song.beat) + "\t" +
            panel.pattern + "\t" + panel.measure + "\t" + panel.beat + "\n";
  }
  run.reporter.out(text);
}

// Whether `name` may be written: never over the files the run reads nor over anything but a
// regular file, over another only when this program wrote it or with --force. Said when it may
// not.
bool may_write(Run& run, const std::string& name, OwnershipTest ours) {
  OutputRules rules;
  if (run.script != "-") rules.inputs.push_back({run.script, "the script"});
  if (!run.song.empty()) rules.inputs.push_back({run.song, "the song"});
  if (!run.options.audio.empty()) rules.inputs.push_back({run.options.audio, "the audio file"});
  rules.ours = ours;
  rules.force = run.options.force;
  const std::string refusal = output_refusal(run.system.files, name, rules);
  if (!refusal.empty()) run.reporter.say(refusal);
  return refusal.empty();
}

int write_page(Run& run, const Showing& showing, GlyphText& glyphs) {
  const ViewOptions& options = run.options;
  if (!may_write(run, options.html, page_written_by_view)) return 2;
  std::string audio;
  const double until = options.span_animation ? animation_span(run, showing) : 0;
  if (const int status = page_sound(sound_request(run, until), audio); status != 0) return status;
  const std::string song =
      showing.song + (audio.empty() && !run.midi.empty() ? "; the page is silent" : "");
  const PageContent content{showing.script, showing.times, run.script, song, audio};
  std::string why;
  if (!run.system.files.write_atomically(options.html, html_page(content, glyphs), why)) {
    run.reporter.say("cannot write " + options.html + ": " + why);
    return 2;
  }
  return 0;
}

// The animation as a GIF: the WVE file's grid, or the grid the script draws on, as much of it
// as the player's screen shows; written frame by frame.
int write_gif_file(Run& run, const Showing& showing) {
  const ViewOptions& options = run.options;
  if (!may_write(run, options.gif, gif_written_by_view)) return 2;
  const ScreenGrid grid =
      run.grid.width > 0 ? ScreenGrid{run.grid.width, run.grid.height} : grid_of(showing.script);
  if (showing.script.frames.size() < 2) {
    run.reporter.say(run.script + " has no frame after its header: nothing to draw");
    return 1;
  }
  const GifArea area = shown_area(grid);
  if (area.columns != grid.width || area.rows != grid.height) {
    run.reporter.say("the grid is " + std::to_string(grid.width) + " x " +
                     std::to_string(grid.height) + " cells; the GIF shows the " +
                     std::to_string(area.columns) + " x " + std::to_string(area.rows) +
                     " the player's screen shows");
  }
  GifFramesMade made;
  const Producer gif = [&](ByteSink& out, std::string& problem) {
    const std::unique_ptr<GifWriter> writer =
        start_gif(out, area, {options.scale, options.panel}, problem);
    if (!writer) return false;
    const GifFrameTaker take = [&](const GifFrame& frame) { return writer->frame(frame); };
    if (gif_frames(showing.script, showing.times, grid, options.panel, take, &made) &&
        writer->finish()) {
      return true;
    }
    problem = writer->problem();
    return false;
  };
  std::string why;
  if (!run.system.files.write_whole(options.gif, gif, why)) {
    run.reporter.say("cannot write " + options.gif + ": " + why);
    return 2;
  }
  if (made.cut > 0) {
    run.reporter.say(std::to_string(made.cut) + (made.cut == 1 ? " frame is" : " frames are") +
                     " held longer than a GIF frame can be (655.35 s): the GIF holds " +
                     (made.cut == 1 ? "it" : "each") + " that long");
  }
  return 0;
}

// The script (and its song) watched for changes on disk while it plays.
class FileWatch : public Watch {
 public:
  explicit FileWatch(Run& run) : run_(run) { changed(); }

  bool changed() override {
    const FileStamp script = stamp(run_.script), song = stamp(run_.song);
    const bool different = script != script_ || song != song_;
    script_ = script;
    song_ = song;
    return different;
  }

  bool reload(Showing& showing, std::string& problem) override {
    std::string notes;
    return load_showing(run_, showing, problem, notes);
  }

 private:
  FileStamp stamp(const std::string& name) {
    FileStamp stamp;
    if (!name.empty()) run_.system.files.stamp(name, stamp);
    return stamp;
  }

  Run& run_;
  FileStamp script_, song_;
};

int play_in_terminal(Run& run, Showing& showing, GlyphText& glyphs) {
  std::string problem, silence;
  std::unique_ptr<Terminal> terminal = run.open_terminal(problem);
  if (!terminal) {
    run.reporter.say(problem);
    return 1;
  }
  int status = 0;
  const std::unique_ptr<LoadingSound> sound = terminal_sound(sound_request(run), silence, status);
  if (status != 0) return status;
  if (!run.midi.empty() && !sound) showing.sound = run.options.mute ? "muted" : "no sound";
  std::unique_ptr<FileWatch> watch;
  if (run.options.watch) watch = std::make_unique<FileWatch>(run);
  status = play(showing, *terminal, glyphs, watch.get(), nullptr, sound.get());
  if (sound && !sound->problem().empty()) {
    silence = sound->problem() + (sound->named() ? "" : "; played without sound");
    if (sound->named() && status == 0) status = 2;
  }
  if (!silence.empty()) run.reporter.say(silence);
  return status;
}

// Says once, after a run that went well, what the timing assumed when it needed a song and had
// none, nor a tempo.
void say_assumptions(Run& run) {
  if (!run.song.empty() || run.song_said || run.options.bpm > 0 ||
      run.options.mode == ViewMode::frame) {
    return;
  }
  const std::string looked = run.script == "-"
                                 ? "standard input has no name to look beside"
                                 : "looked for " + song_name_for(run.system.syntax, run.script);
  run.reporter.say(no_song_found(looked));
}

void say_passed_over(Run& run, const Script& script) {
  if (script.passed_over == 0) return;
  std::string text = "passed over " + std::to_string(script.passed_over) +
                     (script.passed_over == 1 ? " item" : " items") + " the screen cannot show" +
                     (is_wve_name(run.script) ? " in the script" : "");
  for (std::size_t i = 0; i < script.first_passed_over.size(); ++i) {
    text += (i == 0 ? ": " : "; ") + script.first_passed_over[i];
  }
  if (static_cast<std::size_t>(script.passed_over) > script.first_passed_over.size()) {
    text += "; ...";
  }
  run.reporter.say(text);
}

int show(Run& run, Showing& showing) {
  const ViewOptions& options = run.options;
  const Script& script = showing.script;
  GlyphText glyphs;
  if (script.negative_wmode && options.mode != ViewMode::frame) {
    run.reporter.say("@wmode(" + std::to_string(script.first_negative_wmode) +
                     ") is played as @wmode(0)");
  }
  switch (options.mode) {
    case ViewMode::frame: return print_frame(run, script, glyphs);
    case ViewMode::list: print_list(run, showing); return 0;
    case ViewMode::html: return write_page(run, showing, glyphs);
    case ViewMode::gif: return write_gif_file(run, showing);
    case ViewMode::play: break;
  }
  return play_in_terminal(run, showing, glyphs);
}

}  // namespace

int run_view(const std::vector<std::string>& arguments, ProgramSystem& system,
             const TerminalOpener& open_terminal) {
  Reporter reporter(system.console, "mosaiq-view");
  ViewOptions options;
  std::string problem;
  const CommandRequest request = parse_view_options(arguments, options, problem);
  const int answered = reporter.answer(request, view_help, view_usage, problem);
  if (answered >= 0) return answered;
  Run run{options, system, open_terminal, reporter, options.script, {}, {}, {}, {}};
  if (run.script != "-") run.script = make_input_name(options.script, system.syntax);
  SongOrigin source = SongOrigin::none;
  run.song = song_for(system.files, system.syntax, run.script, options.midi, source);
  std::string song_line;
  if (source == SongOrigin::song_line) {
    bool missing = false;
    song_line = song_line_words(system.files, run.script, run.song, missing);
    if (missing) {
      reporter.say(song_line);
      song_line.clear();
      run.song.clear();
      run.song_said = true;
    }
  }
  Showing showing;
  std::string notes;
  if (!load_showing(run, showing, problem, notes, true)) {
    reporter.say(problem);
    return reporter.end(2);
  }
  if (!notes.empty()) reporter.say("note: " + notes);
  const int status = show(run, showing);
  say_passed_over(run, showing.script);
  if (status == 0 && !song_line.empty()) reporter.say(song_line);
  if (status == 0) say_assumptions(run);
  return reporter.end(status);
}

}  // namespace mosaiq::view
