#include "import/pattern_marks.h"

#include <algorithm>
#include <set>

#include "convert/status_panel.h"
#include "platform/character_set.h"
#include "platform/shift_jis.h"

namespace mosaiq::import {

bool panel_text(const std::string& name, std::string_view typed, bool utf8, std::string& text,
                std::string& problem) {
  std::size_t failed = 0;
  if (!utf8) {
    text = typed;
  } else if (!utf8_to_sjis(typed, text, failed)) {
    problem = name + ": the character at byte " + std::to_string(failed + 1) +
              " of its text has no Shift_JIS form";
    return false;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const bool pair =
        is_sjis_lead(bytes[at]) && at + 1 < text.size() && is_sjis_trail(bytes[at + 1]);
    if (bytes[at] < 0x20 || bytes[at] == 0x7f || (is_sjis_lead(bytes[at]) && !pair)) {
      problem =
          name + ": its text holds a byte the panel cannot show, at byte " + std::to_string(at + 1);
      return false;
    }
    at += pair;
  }
  if (static_cast<std::int64_t>(text.size()) > pattern_text_room) {
    problem = name + ": its text is " + std::to_string(text.size()) +
              " columns wide; the panel shows " + std::to_string(pattern_text_room);
    return false;
  }
  if (is_utf8_beyond_ascii(text)) {
    problem = name + ": its text in Shift_JIS would read as UTF-8; change a character";
    return false;
  }
  return true;
}

namespace {

std::string beat_text(const MeasureMap& measures, std::int64_t position) {
  const SongBeat at = measures.at(position);
  return std::to_string(at.measure) + ":" + std::to_string(at.beat);
}

}  // namespace

bool place_patterns(const std::vector<PatternOption>& options, bool utf8,
                    const MeasureMap& measures, const std::vector<PlacedRecord>& records,
                    std::vector<PatternMark>& marks, std::string& problem) {
  marks.clear();
  if (options.empty()) return true;
  const std::int64_t first = records.front().position;
  for (const PatternOption& option : options) {
    PatternMark mark{option.number, {}, first};
    if (!panel_text("--pattern " + std::to_string(option.number), option.text, utf8, mark.text,
                    problem)) {
      return false;
    }
    if (option.at.measure > 0)
      mark.position = std::max(first, measures.position(option.at.measure, option.at.beat));
    marks.push_back(std::move(mark));
  }
  std::stable_sort(marks.begin(), marks.end(), [](const PatternMark& a, const PatternMark& b) {
    return a.position < b.position;
  });
  if (marks.front().position > first) {
    problem = "the first pattern, --pattern " + std::to_string(marks.front().number) +
              ", begins at " + beat_text(measures, marks.front().position) +
              ", after the animation starts at " + beat_text(measures, first) + ": give it no @M:B";
    return false;
  }
  // Every number announced is shown by a frame: the last pattern at or before each record.
  std::set<std::int32_t> shown;
  std::size_t next = 0;
  for (const PlacedRecord& record : records) {
    while (next < marks.size() && marks[next].position <= record.position) ++next;
    shown.insert(marks[next - 1].number);
  }
  for (const PatternMark& mark : marks) {
    if (shown.count(mark.number) == 0) {
      problem = "--pattern " + std::to_string(mark.number) + " begins at " +
                beat_text(measures, mark.position) + ", where no frame shows it (another pattern " +
                "begins there too, or the animation has ended)";
      return false;
    }
  }
  return true;
}

}  // namespace mosaiq::import
