#include "studio/document_analysis.h"

#include "check/wve_check.h"
#include "convert/cell_colours.h"
#include "convert/converter_state.h"
#include "convert/memory_streams.h"
#include "convert/wve_conversion.h"
#include "view/glyph_text.h"
#include "view/html_writer.h"
#include "view/script_reader.h"
#include "view/timeline.h"

namespace mosaiq::studio {

namespace {

// The grid's cells on a screen, as digits.
std::string grid_cells(const view::Screen& screen, int width, int height) {
  std::string cells(static_cast<std::size_t>(width * height), '0');
  const std::int64_t left = grid_origin_col(width), top = grid_origin_row(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::int64_t row = top + y - 1, column = left + 2 * x - 1;
      if (row < 0 || row >= view::screen_rows || column < 0 || column >= view::screen_columns) {
        continue;
      }
      const view::Cell& cell = screen.cells[row * view::screen_columns + column];
      if (view::is_block_glyph(cell) && cell.kind == view::CellKind::wide_first) {
        cells[static_cast<std::size_t>(y * width + x)] =
            static_cast<char>('0' + cell_digit(cell.colour));
      }
    }
  }
  return cells;
}

std::vector<std::string> frame_cells(const view::Script& script, int width, int height) {
  std::vector<std::string> cells;
  view::Screen screen;
  for (std::size_t k = 0; k < script.frames.size(); ++k) {
    for (const view::CellChange& change : script.frames[k].changes) {
      screen.cells[change.index] = change.cell;
    }
    if (k > 0) cells.push_back(grid_cells(screen, width, height));
  }
  return cells;
}

}  // namespace

Analysis analyse(const std::string& text, const WveDocument& document, const SongContext& song) {
  Analysis analysis;
  const MemoryConversion conversion = convert_in_memory(text);
  const view::Script script = view::read_script(conversion.script);
  analysis.times = view::frame_times(script, song.song, song.bpm);
  analysis.cells = frame_cells(script, document.width, document.height);
  // Every record ends a frame of the script; what the lines after the last write (an
  // announcement after it) may end one more, which is no frame of the document's.
  analysis.in_step = conversion.outcome == ConvertOutcome::converted &&
                     analysis.cells.size() >= document.frames.size();
  if (analysis.in_step) analysis.cells.resize(document.frames.size());
  view::GlyphText glyphs;
  analysis.page_data = view::page_data({script, analysis.times, "", song.words, ""}, glyphs);
  MemorySource source(text);
  check::CheckSettings settings;
  // Without a song the measures are those of a song with no signature, as the stamps the studio
  // writes count them.
  settings.song = song.has_song ? &song.song : nullptr;
  settings.beats_per_measure = song.has_song ? 0 : song.song.opening().numerator;
  check::FindingList list;
  check::check_source(source, "", settings, list);
  analysis.findings = std::move(list.findings);
  return analysis;
}

}  // namespace mosaiq::studio
