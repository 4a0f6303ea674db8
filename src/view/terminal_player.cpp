#include "view/terminal_player.h"

#include <chrono>
#include <string>
#include <thread>

namespace mosaiq::view {

namespace {

constexpr const char* start_screen = "\x1b[?25l\x1b[0m\x1b[2J";
constexpr const char* restore_terminal = "\x1b[25;1H\x1b[0m\x1b[?25h\n";

void draw_changes(const Frame& frame, std::ostream& out, GlyphText& glyphs) {
  std::string text;
  int selected = -1;
  for (const CellChange& change : frame.changes) {
    // The second half of a double-byte character is drawn with its first half.
    if (change.cell.kind == CellKind::wide_second) continue;
    const int row = change.index / screen_columns + 1, column = change.index % screen_columns + 1;
    text += "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
    if (change.cell.kind != CellKind::blank && change.cell.colour != selected) {
      selected = change.cell.colour;
      text += colour_escape(selected);
    }
    text += glyphs.of(change.cell);
  }
  out << text;
  out.flush();
}

}  // namespace

double SteadyClock::now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::sleep_until(double deadline, const volatile std::sig_atomic_t* stop) {
  constexpr double slice = 0.02;
  for (double left = deadline - now(); left > 0 && !*stop; left = deadline - now()) {
    std::this_thread::sleep_for(std::chrono::duration<double>(left < slice ? left : slice));
  }
}

void play(const Script& script, double bpm, Clock& clock, std::ostream& out, GlyphText& glyphs,
          const volatile std::sig_atomic_t* stop) {
  out << start_screen;
  double deadline = clock.now();
  for (const Frame& frame : script.frames) {
    if (*stop) break;
    draw_changes(frame, out, glyphs);
    deadline += frame_seconds(frame, bpm);
    clock.sleep_until(deadline, stop);
  }
  out << restore_terminal;
  out.flush();
}

}  // namespace mosaiq::view
