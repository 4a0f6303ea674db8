// Helpers shared by the viewer's unit tests: screens as text, and songs built from bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "view/glyph_text.h"
#include "view/screen_model.h"

namespace mosaiq::view::testing {

inline const std::string block = "\x81\xa1";  // "■"

// The plain text of one screen row, 80 columns, without its trailing blanks.
inline std::string row_text(const Screen& screen, int row) {
  GlyphText glyphs;
  const std::string text = screen_text(screen, glyphs, false);
  std::size_t start = 0;
  for (int r = 1; r < row; ++r) start = text.find('\n', start) + 1;
  std::string line = text.substr(start, text.find('\n', start) - start);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

inline const Cell& cell(const Screen& screen, int row, int column) {
  return screen.cells[(row - 1) * screen_columns + (column - 1)];
}

// One event of a track: the ticks since the one before, and its bytes.
struct MidiEvent {
  std::uint32_t delta;
  std::string bytes;
};

inline std::string variable_length(std::uint32_t value) {
  std::string out(1, static_cast<char>(value & 0x7f));
  while (value >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7f)));
  return out;
}

inline std::string big_endian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xff);
  return out;
}

inline MidiEvent tempo(std::uint32_t delta, std::uint32_t quarter_notes_a_minute) {
  return {delta, "\xff\x51\x03" + big_endian(60000000 / quarter_notes_a_minute, 3)};
}

inline MidiEvent signature(int numerator, int power_of_denominator) {
  return {0, std::string("\xff\x58\x04", 3) + static_cast<char>(numerator) +
                 static_cast<char>(power_of_denominator) + std::string("\x18\x08", 2)};
}

inline MidiEvent note(std::uint32_t delta) { return {delta, "\x90\x3c\x40"}; }

inline std::string track(const std::vector<MidiEvent>& events) {
  std::string data;
  for (const MidiEvent& event : events) data += variable_length(event.delta) + event.bytes;
  data += std::string("\x00\xff\x2f\x00", 4);
  return "MTrk" + big_endian(static_cast<std::uint32_t>(data.size()), 4) + data;
}

inline std::string midi_file(int format, std::uint32_t division,
                             const std::vector<std::vector<MidiEvent>>& tracks) {
  std::string file = "MThd" + big_endian(6, 4) + big_endian(format, 2) +
                     big_endian(static_cast<std::uint32_t>(tracks.size()), 2) +
                     big_endian(division, 2);
  for (const auto& events : tracks) file += track(events);
  return file;
}

}  // namespace mosaiq::view::testing
