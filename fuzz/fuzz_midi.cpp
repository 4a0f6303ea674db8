// Fuzzes the MIDI reader the author's tools share: any bytes are read or refused within the
// file's bounds, and a song read gives a timeline and measures and beats.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "song/midi_file.h"
#include "song/song_time.h"
#include "view/script_reader.h"
#include "view/timeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq;
  static const view::Script script =
      view::read_script("@startup(400)\n@wmode(23);\n\n\n@wmode(5);\n\n\n");
  Song song;
  std::string problem, note;
  if (read_midi(std::string_view(reinterpret_cast<const char*>(data), size), song, problem, note)) {
    (void)view::frame_times(script, song, 0);
    const MeasureMap measures(song);
    const SongBeat at = measures.at(static_cast<std::int64_t>(size) * 97);
    (void)measures.position(at.measure, at.beat);
  }
  return 0;
}
