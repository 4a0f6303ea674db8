// One self-contained page that plays the script in step with its timeline: nothing fetched,
// every frame kept as the runs of cells it changes.
#pragma once

#include <string>
#include <vector>

#include "view/glyph_text.h"
#include "view/script_reader.h"

namespace mosaiq::view {

// `starts` holds one start in seconds per frame, `end` when the last frame ends.
std::string html_page(const Script& script, const std::vector<double>& starts, double end,
                      GlyphText& glyphs, const std::string& title);

// The page's script data alone, as JSON: frames, starts, end and panels.
std::string page_data(const Script& script, const std::vector<double>& starts, double end,
                      GlyphText& glyphs);

}  // namespace mosaiq::view
