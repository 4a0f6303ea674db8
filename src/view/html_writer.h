// One self-contained page that plays the script in step with its timeline: nothing fetched,
// every frame kept as the runs of cells it changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "view/glyph_text.h"
#include "view/script_reader.h"

namespace mosaiq::view {

// What every page carries among its first bytes: a file that holds it was written by
// mosaiq-view, and another page may replace it.
constexpr std::string_view page_mark = "<meta name=\"generator\" content=\"mosaiq-view\">";

// `starts` holds one start in seconds per frame, `end` when the last frame ends.
std::string html_page(const Script& script, const std::vector<double>& starts, double end,
                      GlyphText& glyphs, const std::string& title);

// The page's script data alone, as JSON: frames, starts, end and panels.
std::string page_data(const Script& script, const std::vector<double>& starts, double end,
                      GlyphText& glyphs);

}  // namespace mosaiq::view
