// Fuzzes mosaiq-view's reading of a WRD script: frames, the screen model, the panel, the
// timeline and the page's data must come out of any bytes without a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/script_reader.h"
#include "view/timeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq;
  using namespace mosaiq::view;
  const Script script = read_script(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::vector<FrameTime> times = frame_times(script, Song{}, 0);
  static GlyphText glyphs;
  const std::string page = page_data({script, times, "fuzz", "no song", ""}, glyphs);
  (void)screen_text(screen_at(script, script.frames.size() - 1), glyphs, true);
  return page.empty() ? 1 : 0;
}
