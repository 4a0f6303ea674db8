// The song a script or a WVE file plays with, as players find it: named, or beside the file.
#pragma once

#include <string>
#include <string_view>

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

// A WVE file may name its song in a comment line, "; song: NAME", NAME relative to the file's
// folder (the converter passes over it, as over every comment). The programs take it where no
// --midi names one.
constexpr std::string_view song_line_start = "; song: ";

// The song a WVE file names in its first song line (among its first 64 KiB), as a name to open:
// relative to the file's folder. Empty when the file names none or cannot be read.
std::string song_named_in(FileAccess& files, const PathSyntax& syntax, const std::string& file);

// How a song line of the WVE file `file` names `song`: its name from the file's folder.
std::string song_line_name(const PathSyntax& syntax, const std::string& file,
                           const std::string& song);

// Where a run's song comes from.
enum class SongOrigin { none, named, song_line, beside };

// The song of a WVE file (or a script, which has no song line): `named` (--midi) where given,
// else the one its song line names, else the one beside it; empty, with `source` none, when
// there is none.
std::string song_for(FileAccess& files, const PathSyntax& syntax, const std::string& file,
                     const std::string& named, SongOrigin& source);

// What is said of a song taken from a file's song line: "the song NAME, as FILE names it", or,
// where it is missing, "FILE names the song NAME, which is not there; ..." and the run goes on
// without it (`missing` is then true).
std::string song_line_words(FileAccess& files, const std::string& file, const std::string& song,
                            bool& missing);

// A tempo as the programs say it: "140.06", "120".
std::string tempo_text(double bpm);

// The song and tempo a page's times follow, in words: "song NAME: 3/4 at 100 quarter notes a
// minute at its start" (" (--bpm)" for a tempo given), or "no song: the timing assumes ...".
std::string song_words(const std::string& name, const Song& song, double bpm);

// What is said once when the timing needed a song and none was found, nor a tempo given:
// "no song found (LOOKED); timing assumes 4/4 at 120 quarter notes a minute".
std::string no_song_found(const std::string& looked);

}  // namespace mosaiq
