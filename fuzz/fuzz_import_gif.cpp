// Fuzzes mosaiq-import's GIF path: any bytes are decoded or refused within their bounds, and the
// frames decoded are laid on the grid, placed in time and written as a WVE file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/cell_grid.h"
#include "import/gif_reader.h"
#include "import/import_timing.h"
#include "import/wve_text.h"

namespace {

using namespace mosaiq::import;

class Frames : public FrameSink {
 public:
  void comment(const std::string& text) override { grid.drawn_by(text); }
  bool frame(const DigitCanvas& canvas, int delay, std::string& problem) override {
    if (pictures.empty() && !grid.fit(canvas, problem)) return false;
    pictures.push_back(grid.cells(canvas));
    delays.push_back(delay < 0 ? 0 : delay);
    return true;
  }
  CellGrid grid{GridRequest{}};
  std::vector<CellPicture> pictures;
  std::vector<int> delays;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ColourMatcher colours;
  Frames frames;
  std::string problem;
  if (!read_gif(std::string_view(reinterpret_cast<const char*>(data), size), colours, frames,
                problem)) {
    return 0;
  }
  const mosaiq::Song song;
  const mosaiq::MeasureMap measures(song);
  bool timed = false;
  for (const int delay : frames.delays) timed |= delay > 0;
  Placement placement;
  if (!place_pictures(timed ? frames.delays : std::vector<int>{}, frames.pictures.size(),
                      {song, 0, measures, -1, 0, 1, -1}, placement, problem)) {
    return 0;
  }
  const std::vector<PatternMark> patterns;
  const std::string wve = wve_text(
      {frames.grid.width(), frames.grid.height(), frames.pictures, placement.records, patterns},
      measures);
  return wve.empty() ? 1 : 0;
}
