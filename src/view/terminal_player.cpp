#include "view/terminal_player.h"

#include <string>

namespace mosaiq::view {

namespace {

// The player's own state: the frame shown, the screen it shows, and the clock.
struct Playback {
  const Script& script;
  const std::vector<double>& starts;
  Terminal& terminal;
  GlyphText& glyphs;
  Screen shown;           // what the terminal shows
  std::size_t frame = 0;  // the frame it shows
  double origin = 0;      // when the timeline's 0 was, on the terminal's clock
  bool paused = false;
  double paused_at = 0;  // the timeline's time when the pause began

  void show(std::size_t k) {
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
  }

  // After the terminal was someone else's: clear it and draw every cell again.
  void redraw() {
    terminal.write("\x1b[0m\x1b[2J");
    const Screen next = shown;
    shown = Screen{};
    terminal.write(screen_changes(shown, next, glyphs));
    shown = next;
  }

  void pause_or_play() {
    if (paused) {
      origin = terminal.now() - paused_at;
    } else {
      paused_at = terminal.now() - origin;
    }
    paused = !paused;
  }

  void step(Input input) {
    if (!paused) return;
    if (input == Input::step_back && frame > 0) show(frame - 1);
    if (input == Input::step_forward && frame + 1 < script.frames.size()) show(frame + 1);
    paused_at = starts[frame];
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

int play(const Script& script, const std::vector<double>& starts, Terminal& terminal,
         GlyphText& glyphs) {
  Playback playback{script, starts, terminal, glyphs, Screen{}};
  terminal.write("\x1b[0m\x1b[2J");
  playback.frame = static_cast<std::size_t>(-1);  // frame 0 comes after "no frame"
  playback.show(0);
  playback.origin = terminal.now();
  const std::size_t last = script.frames.size() - 1;
  while (playback.frame < last || playback.paused) {
    const double deadline = playback.paused ? -1 : playback.origin + starts[playback.frame + 1];
    const Input input = terminal.wait(deadline);
    switch (input) {
      case Input::deadline: playback.show(playback.frame + 1); break;
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
  return 0;
}

}  // namespace mosaiq::view
