// The SoundFont a song is played with: named with --soundfont, else by MOSAIQ_SOUNDFONT, else
// the General MIDI SoundFont Debian installs under its alternatives' names. It is read whole and
// looked over before the synthesiser is given it.
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

SoundFontChoice choose_soundfont(FileAccess& files, Console& console, const std::string& option);

}  // namespace mosaiq::view
