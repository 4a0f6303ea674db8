// Fuzzes what mosaiq-view writes from any script: its page and its GIF must come out within
// bounds that follow the script's size and its changes, never its length in time (a frame held
// for days) or the size of its grid (a grid wider than the screen).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "view/gif_frames.h"
#include "view/gif_writer.h"
#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/script_reader.h"
#include "view/timeline.h"

namespace {

// Counts what the GIF writer hands over, keeping nothing.
class CountingSink : public mosaiq::ByteSink {
 public:
  bool write(const char*, std::size_t size) override {
    bytes += size;
    return true;
  }
  std::size_t bytes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq;
  using namespace mosaiq::view;
  if (size < 2) return 0;
  // The first two bytes choose the grid (up to 255 x 255 cells) and the scale.
  const ScreenGrid grid{1 + data[0], 1 + (data[1] & 0x3f)};
  const GifLook look{1 + (data[1] >> 6), (data[0] & 1) != 0};
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
  const Script script = read_script(text);
  const std::vector<FrameTime> times = frame_times(script, Song{}, 0);
  static GlyphText glyphs;
  const std::string page = page_data({script, times, "fuzz", "no song", ""}, glyphs);
  if (page.size() > 4096 + 100 * text.size()) std::abort();  // the page follows the script

  const GifArea area = shown_area(grid);
  if (area.columns > 40 || area.rows > 25) std::abort();  // no more than the screen shows
  CountingSink sink;
  std::string problem;
  const std::unique_ptr<GifWriter> writer = start_gif(sink, area, look, problem);
  if (!writer) return 0;  // a build without giflib
  std::size_t frames = 0;
  gif_frames(script, times, grid, look.panel, [&](const GifFrame& frame) {
    if (frame.delay < shortest_gif_delay || frame.delay > longest_gif_delay) std::abort();
    ++frames;
    return writer->frame(frame);
  });
  writer->finish();
  // Every frame at most its whole picture, LZW-coded at 12 bits a pixel, with its blocks.
  const std::size_t picture = static_cast<std::size_t>(area.columns * look.scale + 1) *
                              static_cast<std::size_t>(area.rows * look.scale + 40);
  if (frames > script.frames.size() || sink.bytes > 1024 + frames * (picture * 2 + 64)) {
    std::abort();
  }
  return 0;
}
