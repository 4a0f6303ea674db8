// The song a script or a WVE file plays with, as players find it: named, or beside the file.
#pragma once

#include <string>

#include "song/midi_file.h"

namespace mosaiq {

class FileAccess;
struct PathSyntax;

// The name of the song beside a file: its name with ".mid" for its extension.
std::string song_name_for(const PathSyntax& syntax, const std::string& file);

// The song beside a file: its name with ".mid" or ".MID" for its extension, when there is one;
// empty otherwise (and for "-", standard input).
std::string song_beside(FileAccess& files, const PathSyntax& syntax, const std::string& file);

// What is said of a song: "cannot read the song NAME: why", "cannot use the song NAME: why", or,
// for a song read as players read it, "the song NAME: what was passed over, as players do".
struct SongRead {
  bool read = false;
  std::string midi;     // the file as players read it, for a synthesiser
  std::string problem;  // when it could not be read or used
  std::string note;     // when something of it was passed over
};

// Reads the song of that name.
SongRead load_song(FileAccess& files, const std::string& name, Song& song);

// A tempo as the programs say it: "140.06", "120".
std::string tempo_text(double bpm);

// What is said once when the timing needed a song and none was found, nor a tempo given:
// "no song found (LOOKED); timing assumes 4/4 at 120 quarter notes a minute".
std::string no_song_found(const std::string& looked);

}  // namespace mosaiq
