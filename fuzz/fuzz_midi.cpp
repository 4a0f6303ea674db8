// Fuzzes the MIDI reader the author's tools share: any bytes are read or refused within the
// file's bounds, and a song read gives a timeline and measures and beats. The song as it is
// handed to the synthesiser reads back as the same song, and the synthesiser plays it a while.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "song/midi_file.h"
#include "song/player_clock.h"
#include "view/script_reader.h"
#include "view/song_sound.h"
#include "view/timeline.h"

namespace {

// The same tempo map and end, read again from the song as a synthesiser has it.
bool reads_alike(const mosaiq::Song& song, const std::string& as_read) {
  mosaiq::Song again;
  std::string problem, note;
  if (!mosaiq::read_midi(as_read, again, problem, note) || !note.empty()) return false;
  const std::vector<mosaiq::TempoChange>& tempo = song.tempo;
  if (again.end_tick != song.end_tick || again.tempo.size() != tempo.size()) return false;
  for (std::size_t i = 0; i < tempo.size(); ++i) {
    if (again.tempo[i].tick != tempo[i].tick ||
        again.tempo[i].microseconds_per_quarter != tempo[i].microseconds_per_quarter) {
      return false;
    }
  }
  return true;
}

// A few seconds of the song on the synthesiser, with a seek into it.
void play_a_while(const std::string& as_read, const mosaiq::Song& song) {
  using namespace mosaiq::view;
  static const std::string soundfont = [] {
    std::ifstream file(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }();
  std::string problem;
  const std::unique_ptr<SongByHand> sound = play_song_by_hand({as_read, song, soundfont}, problem);
  if (!sound) return;
  sound->render(0.5);
  sound->seek(sound->seconds() * 3 + 1);
  sound->render(0.5);
  (void)sound->done();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq;
  static const view::Script script =
      view::read_script("@startup(400)\n@wmode(23);\n\n\n@wmode(5);\n\n\n");
  Song song;
  std::string problem, note;
  std::string as_read;
  if (read_midi(std::string_view(reinterpret_cast<const char*>(data), size), song, problem, note,
                &as_read)) {
    (void)view::frame_times(script, song, 0);
    const MeasureMap measures(song);
    const SongBeat at = measures.at(static_cast<std::int64_t>(size) * 97);
    (void)measures.position(at.measure, at.beat);
    if (!reads_alike(song, as_read)) __builtin_trap();
    play_a_while(as_read, song);
  }
  return 0;
}
