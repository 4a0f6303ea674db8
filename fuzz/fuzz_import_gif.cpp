// Fuzzes mosaiq-import's GIF path: any bytes are decoded or refused within their bounds, and the
// frames decoded are read twice (what they draw, then their cells), laid on the grid, placed in
// time and written as a WVE file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../tests/test_support.h"
#include "import/import_timing.h"
#include "import/picture_input.h"
#include "import/wve_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq::import;
  mosaiq::testing::MemoryFiles files;
  files.files["f.gif"] = std::string(reinterpret_cast<const char*>(data), size);
  PictureRequest request;
  request.inputs = {"f.gif"};
  request.keep_sources = 2;
  if (size > 0 && data[0] % 3 == 0) request.grid.trim = false;
  ImportedPictures pictures;
  std::string problem;
  if (!read_pictures(files, request, pictures, problem)) return 0;
  if (pictures.width < 1 || pictures.width > max_grid_width || pictures.height < 1 ||
      pictures.height > max_grid_height) {
    __builtin_trap();  // the grid always fits the screen
  }
  const mosaiq::Song song;
  const mosaiq::MeasureMap measures(song);
  Placement placement;
  if (!place_pictures(pictures.delays, pictures.pictures.size(), {song, 0, measures, -1, 0, 1, -1},
                      placement, problem)) {
    return 0;
  }
  const std::vector<PatternMark> patterns;
  const std::string wve = wve_text(
      {pictures.width, pictures.height, pictures.pictures, placement.records, patterns, ""},
      measures);
  return wve.empty() ? 1 : 0;
}
