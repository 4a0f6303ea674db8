#include "view/terminal_player.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <string>
#include <utility>

namespace mosaiq::view {

namespace {

// "m:ss.mmm"
std::string clock_text(double seconds) {
  if (seconds < 0) seconds = 0;
  char text[32];
  const auto whole = static_cast<long long>(seconds);
  std::snprintf(text, sizeof text, "%lld:%06.3f", whole / 60,
                seconds - static_cast<double>(whole / 60 * 60));
  return text;
}

// A watched file read again, off the player's thread.
struct Reloaded {
  bool read = false;
  Showing showing;
  std::string problem;
};

// The player's own state: the frame shown, the screen it shows, and the clock.
struct Playback {
  Playback(Showing& what, Terminal& on, GlyphText& text, SongSound* sound)
      : showing(what), terminal(on), glyphs(text) {
    use(sound);
  }

  // The frames on the song's position, or on the terminal's clock; from the start.
  void use(SongSound* sound) {
    clock = sound != nullptr ? song_clock(terminal, *sound) : terminal_clock(terminal);
    if (sound != nullptr) sound->play();
  }

  Showing& showing;
  Terminal& terminal;
  GlyphText& glyphs;
  std::unique_ptr<PlayClock> clock;
  Screen shown;           // what the terminal shows
  std::size_t frame = 0;  // the frame it shows
  bool paused = false;
  std::string problem;  // why the watched file could not be read again

  std::size_t last() const { return showing.script.frames.size() - 1; }
  double start_of(std::size_t k) const { return showing.times[k].seconds; }

  void show(std::size_t k) {
    const Script& script = showing.script;
    Screen next = shown;
    if (k == frame + 1) {
      for (const CellChange& change : script.frames[k].changes) {
        next.cells[change.index] = change.cell;
      }
    } else {
      next = screen_at(script, k);
    }
    terminal.write(screen_changes(shown, next, glyphs));
    shown = next;
    frame = k;
    status();
  }

  // The line under the screen: the frame, its start and the song's measure and beat, or why a
  // watched file could not be read again.
  void status() {
    if (terminal.rows() <= screen_rows && problem.empty()) return;
    const FrameTime& time = showing.times[frame];
    std::string line = problem.empty()
                           ? "frame " + std::to_string(frame) + "/" + std::to_string(last()) +
                                 "  " + clock_text(time.seconds) + "  song " +
                                 std::to_string(time.song.measure) + ":" +
                                 std::to_string(time.song.beat) +
                                 (showing.sound.empty() ? "" : "  (" + showing.sound + ")")
                           : problem;
    if (line.size() > screen_columns) line.resize(screen_columns);
    const int row = terminal.rows() > screen_rows ? screen_rows + 1 : screen_rows;
    terminal.write("\x1b[" + std::to_string(row) + ";1H\x1b[0m\x1b[2K" + line);
  }

  // After the terminal was someone else's: clear it and draw every cell again.
  void redraw() {
    terminal.write("\x1b[0m\x1b[2J");
    const Screen next = shown;
    shown = Screen{};
    terminal.write(screen_changes(shown, next, glyphs));
    shown = next;
    status();
  }

  void pause_or_play() {
    if (paused) {
      clock->resume();
    } else {
      clock->pause();
    }
    paused = !paused;
  }

  void step(Input input) {
    if (!paused) return;
    if (input == Input::step_back && frame > 0) show(frame - 1);
    if (input == Input::step_forward && frame < last()) show(frame + 1);
    clock->move_to(start_of(frame));
  }

  // The frames whose time has come, up to the last one due.
  void catch_up() {
    const double now = clock->now();
    std::size_t k = frame;
    while (k < last() && start_of(k + 1) <= now) ++k;
    if (k != frame) show(k);
  }

  // The watched file read again, shown at the frame on screen (or its last, when it has fewer
  // now); or, when it could not be read, the line that says why.
  void take(Reloaded& reloaded) {
    Showing& fresh = reloaded.showing;
    if (!reloaded.read) {
      problem = reloaded.problem;
      status();
      return;
    }
    problem.clear();
    fresh.sound = showing.sound;
    const std::size_t k =
        frame < fresh.script.frames.size() ? frame : fresh.script.frames.size() - 1;
    showing = std::move(fresh);
    const Screen next = screen_at(showing.script, k);
    terminal.write(screen_changes(shown, next, glyphs));
    shown = next;
    frame = k;
    if (paused) clock->move_to(start_of(k));  // playing, the song and its time go on
    status();
  }
};

}  // namespace

std::string screen_changes(const Screen& from, const Screen& to, GlyphText& glyphs) {
  std::string text;
  TerminalColour colour;
  for (int index = 0; index < screen_rows * screen_columns; ++index) {
    const Cell& cell = to.cells[index];
    // The second half of a double-byte character is drawn with its first half.
    if (cell == from.cells[index] || cell.kind == CellKind::wide_second) continue;
    text += "\x1b[" + std::to_string(index / screen_columns + 1) + ";" +
            std::to_string(index % screen_columns + 1) + "H";
    if (cell.kind != CellKind::blank) colour.select(cell.colour, text);
    text += glyphs.of(cell);
  }
  return text;
}

namespace {

// Looks at a watched file now and then, and reads it again when it changed, on a thread of its
// own: the keys are answered while it reads.
class Watching {
 public:
  Watching(Watch* watch, Terminal& terminal)
      : watch_(watch), terminal_(terminal), next_look_(terminal.now() + watch_interval) {}
  ~Watching() {
    if (reading_.valid()) reading_.wait();  // nothing it reads goes away while it reads
  }

  bool on() const { return watch_ != nullptr; }
  double next_look() const { return next_look_; }

  // Whether the look is due (and, being due, takes it: a reading started, or one finished
  // handed over in `reloaded`).
  bool look(Reloaded& reloaded) {
    if (watch_ == nullptr || terminal_.now() < next_look_) return false;
    next_look_ = terminal_.now() + watch_interval;
    if (reading_.valid()) {
      if (reading_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return true;
      reloaded = reading_.get();
      finished_ = true;
      return true;
    }
    if (watch_->changed()) {
      reading_ = std::async(std::launch::async, [watch = watch_] {
        Reloaded result;
        result.read = watch->reload(result.showing, result.problem);
        return result;
      });
    }
    return true;
  }

  // Whether look() handed over a reading; cleared by asking.
  bool finished() { return std::exchange(finished_, false); }

 private:
  Watch* watch_;
  Terminal& terminal_;
  double next_look_;
  std::future<Reloaded> reading_;
  bool finished_ = false;
};

}  // namespace

// Frame 0 shown while the sound is made ready; the status to end with, or -1 to go on.
int wait_for_sound(Playback& playback, Terminal& terminal, PendingSound& pending) {
  Showing& showing = playback.showing;
  const std::string was = showing.sound;
  showing.sound = "loading the SoundFont";
  playback.status();
  while (!pending.ready()) {
    const Input input = terminal.wait(terminal.now() + pending_interval);
    if (input == Input::quit) return 0;
    if (input == Input::interrupted) return 130;
    if (input == Input::resumed) playback.redraw();
  }
  std::string why;
  SongSound* sound = pending.sound(why);
  showing.sound = sound != nullptr ? was : why;
  playback.use(sound);
  playback.status();
  return -1;
}

int play(Showing& showing, Terminal& terminal, GlyphText& glyphs, Watch* watch, SongSound* sound,
         PendingSound* pending) {
  terminal.write("\x1b[0m\x1b[2J");
  Playback playback(showing, terminal, glyphs, pending != nullptr ? nullptr : sound);
  playback.frame = static_cast<std::size_t>(-1);  // frame 0 comes after "no frame"
  playback.show(0);
  if (pending != nullptr) {
    if (const int status = wait_for_sound(playback, terminal, *pending); status >= 0) return status;
  }
  Watching watching(watch, terminal);
  for (;;) {
    const bool due = !playback.paused && playback.frame < playback.last();
    const bool sounding = playback.clock->sounding();
    if (!due && !playback.paused && !sounding && !watching.on()) return 0;
    double deadline = due        ? playback.clock->deadline(playback.start_of(playback.frame + 1))
                      : sounding ? terminal.now() + watch_interval
                                 : -1;
    if (watching.on() && (deadline < 0 || watching.next_look() < deadline)) {
      deadline = watching.next_look();
    }
    const Input input = terminal.wait(deadline);
    switch (input) {
      case Input::deadline: {
        Reloaded reloaded;
        if (!watching.look(reloaded)) {
          playback.catch_up();  // which also lets the song's clock move on
        } else if (watching.finished()) {
          playback.take(reloaded);
        }
        break;
      }
      case Input::play_pause: playback.pause_or_play(); break;
      case Input::step_back:
      case Input::step_forward: playback.step(input); break;
      case Input::quit: return 0;
      case Input::interrupted: return 130;
      case Input::resumed:
        playback.redraw();
        if (!playback.paused) playback.pause_or_play();
        break;
    }
  }
}

}  // namespace mosaiq::view
