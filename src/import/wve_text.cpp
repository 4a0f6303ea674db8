#include "import/wve_text.h"

#include "convert/converter_state.h"
#include "song/song_file.h"

namespace mosaiq::import {

std::string wve_text(const Animation& animation, const MeasureMap& measures) {
  const auto width = static_cast<std::size_t>(animation.width);
  std::string out = std::string(import_mark) + "\r\n";
  if (!animation.song.empty()) out += std::string(song_line_start) + animation.song + "\r\n";
  if (animation.width != default_grid_width || animation.height != default_grid_height) {
    out +=
        "*nXY=" + std::to_string(animation.width) + "," + std::to_string(animation.height) + "\r\n";
  }
  const CellPicture dark(width * static_cast<std::size_t>(animation.height), 0);
  std::size_t next_pattern = 0;
  std::int32_t pattern = 1;
  for (const PlacedRecord& record : animation.records) {
    for (; next_pattern < animation.patterns.size() &&
           animation.patterns[next_pattern].position <= record.position;
         ++next_pattern) {
      const PatternMark& mark = animation.patterns[next_pattern];
      out += "*p" + std::to_string(mark.number) + "," + mark.text + "\r\n";
      pattern = mark.number;
    }
    const SongBeat at = measures.at(record.position);
    out += "*f" + std::to_string(pattern) + "-" + std::to_string(at.measure) + "-" +
           std::to_string(at.beat) + "-0/" + std::to_string(record.division) + "\r\n";
    const CellPicture& cells =
        record.picture == dark_picture ? dark : animation.pictures[record.picture];
    for (std::size_t row = 0; row < static_cast<std::size_t>(animation.height); ++row) {
      for (std::size_t column = 0; column < width; ++column) {
        out += static_cast<char>('0' + cells[row * width + column]);
      }
      out += "\r\n";
    }
  }
  return out + "*end\r\n";
}

}  // namespace mosaiq::import
