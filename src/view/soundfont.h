// The SoundFont a song is played with: named with --soundfont, else by MOSAIQ_SOUNDFONT, else
// the General MIDI SoundFont Debian installs under its alternatives' names. It is chosen first,
// then (where a rendering kept from before does not do) read whole and looked over before the
// synthesiser is given it.
#pragma once

#include <string>

namespace mosaiq {
class Console;
class FileAccess;
}  // namespace mosaiq

namespace mosaiq::view {

struct SoundFontChoice {
  std::string name;     // the SoundFont chosen; empty when none was found
  std::string bytes;    // its bytes, when it can be used
  std::string problem;  // why none can be used, in words; empty when one can
  bool named = false;   // it was named (--soundfont or MOSAIQ_SOUNDFONT)
};

// The SoundFont to use, not yet read: its name, or why there is none.
SoundFontChoice choose_soundfont(FileAccess& files, Console& console, const std::string& option);

// Reads the SoundFont chosen and looks it over: its bytes, or the problem.
void read_soundfont(FileAccess& files, SoundFontChoice& choice);

}  // namespace mosaiq::view
