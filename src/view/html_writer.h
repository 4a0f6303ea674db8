// One self-contained page that plays the script in step with its timeline: nothing fetched,
// every frame kept as the runs of cells it changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "view/glyph_text.h"
#include "view/script_reader.h"
#include "view/timeline.h"

namespace mosaiq::view {

// What every page carries near its top: a page that begins with the page's own opening, this
// in its fixed place, was written by mosaiq-view, and another page may replace it.
constexpr std::string_view page_mark = "<meta name=\"generator\" content=\"mosaiq-view\">";

// Whether a file's first bytes are the page's own opening, up to and with the mark.
bool page_written_by_view(std::string_view first_bytes);

// What a page is made of: the script's frames, when each starts (one time for every frame, and
// one more: when the last ends), its title, the song the times follow, in words, and its sound
// as a data URL (empty: a silent page), whose time 0 is the timeline's.
struct PageContent {
  const Script& script;
  const std::vector<FrameTime>& times;
  std::string title;
  std::string song;
  std::string audio;
};

std::string html_page(const PageContent& content, GlyphText& glyphs);

// The page's script data alone, as JSON: frames, starts, end, bars (the song's measure and beat
// of each frame), panels, song and audio (whether the page has sound).
std::string page_data(const PageContent& content, GlyphText& glyphs);

}  // namespace mosaiq::view
