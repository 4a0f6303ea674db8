// A clip dropped on the timeline, imported by the importer's own code: its pictures read from
// the bytes the page sent (an animated GIF, PNG frames in natural order, or a PNG sprite sheet),
// mapped to the screen's colours, laid on a grid that fits the document's (centred in it), and
// timed on the song's beats from where it was dropped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "song/midi_file.h"
#include "song/player_clock.h"
#include "studio/document_edits.h"

namespace mosaiq::studio {

struct ClipFile {
  std::string name;
  std::string bytes;
};

struct ClipOptions {
  int per_beat = 0;  // every picture 1/N of a quarter note; 0: a GIF's delays
  int sheet_columns = 0, sheet_rows = 0;
  std::uint8_t ink = 1;
  std::optional<std::uint32_t> background;
  bool trim = true;
};

struct Clip {
  std::vector<NewFrame> frames;
  std::string summary;      // what was made, in words, as the importer's last line says it
  std::string preview_png;  // the contact sheet: each picture beside its cells
};

// The importer's options for a clip (--per-beat, --ink, --background, --no-trim, --sheet), read
// by the importer's own parser; false, with the problem in its words, for any other or a bad value.
bool read_clip_options(const std::vector<std::string>& arguments, ClipOptions& options,
                       std::string& problem);

// The most bytes a clip's files may have in all.
constexpr std::size_t most_clip_bytes = std::size_t{64} << 20;

// Imports the clip for a grid of width x height cells, its first picture at `start`; false,
// with the problem in words, when it cannot be read or used.
bool import_clip(const std::vector<ClipFile>& files, const ClipOptions& options, int width,
                 int height, const Song& song, double bpm, std::int64_t start, Clip& clip,
                 std::string& problem);

}  // namespace mosaiq::studio
