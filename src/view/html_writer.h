// One self-contained HTML page that plays the script: every frame kept as its changed cells.
#pragma once

#include <string>

#include "view/glyph_text.h"
#include "view/script_reader.h"

namespace mosaiq::view {

std::string html_page(const Script& script, GlyphText& glyphs, const std::string& title);

}  // namespace mosaiq::view
