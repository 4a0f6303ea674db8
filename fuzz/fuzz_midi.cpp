// Fuzzes mosaiq-view's MIDI reader: any bytes are read or refused within the file's bounds, and
// a song read gives a timeline.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "view/midi_file.h"
#include "view/script_reader.h"
#include "view/timeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq::view;
  static const Script script = read_script("@startup(400)\n@wmode(23);\n\n\n@wmode(5);\n\n\n");
  Song song;
  std::string problem;
  if (read_midi(std::string_view(reinterpret_cast<const char*>(data), size), song, problem)) {
    (void)frame_starts(script, song, 0);
  }
  return 0;
}
