// Fuzzes the looking over of a SoundFont, and the synthesiser given what passes it: any bytes
// are refused or play a note, within their bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "song/midi_file.h"
#include "view/song_sound.h"
#include "view/soundfont_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (!view::soundfont_problem(bytes).empty() || !view::can_play_songs()) return 0;
  // Two notes, one on the drums, a tenth of a second long at 120 quarter notes a minute.
  static const char file[] =
      "MThd\0\0\0\x06\0\0\0\x01\0\x60"
      "MTrk\0\0\0\x14\0\x90\x3c\x40\0\x99\x26\x40\x0c\x80\x3c\0\0\x89\x26\0\0\xff\x2f\0";
  static const std::string midi(file, sizeof file - 1);
  Song song;
  std::string problem, note, as_read;
  if (!read_midi(midi, song, problem, note, &as_read)) return 1;
  view::RenderedSong rendered;
  view::render_song({as_read, song, bytes}, rendered, problem, [](double) { return true; });
  return 0;
}
