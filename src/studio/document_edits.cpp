#include "studio/document_edits.h"

#include <algorithm>

#include "convert/converter_state.h"
#include "convert/wve_directives.h"
#include "import/import_timing.h"

namespace mosaiq::studio {

namespace {

// The longest a command may make the animation grow at once, in quarter notes.
constexpr std::int64_t longest_added_quarters = 20000;

bool is_announcement(const Line& line) {
  return classify_line(line_text(line), false) == LineKind::pattern;
}

Lines& leading_of(WveDocument& document, std::size_t frame) {
  return frame == 0 ? document.header : document.frames[frame].leading;
}

bool fail(std::string& problem, std::string text) {
  problem = std::move(text);
  return false;
}

bool valid_cells(const WveDocument& document, const std::string& cells, std::string& problem) {
  if (cells.size() != static_cast<std::size_t>(document.width * document.height)) {
    return fail(problem, "a frame has " + std::to_string(document.width * document.height) +
                             " cells, not " + std::to_string(cells.size()));
  }
  if (cells.find_first_not_of("01234567") != std::string::npos) {
    return fail(problem, "a cell is a colour digit, 0 to 7");
  }
  return true;
}

FrameBlock new_frame(std::string cells, std::int32_t division, std::int32_t pattern) {
  FrameBlock frame;
  frame.cells = std::move(cells);
  frame.cells_changed = true;
  frame.division = division;
  frame.pattern = pattern;
  return frame;
}

// The number a frame added before frame `at` carries: that of the frame before it.
std::int32_t pattern_before(const WveDocument& document, std::size_t at) {
  if (document.frames.empty()) return 1;
  return document.frames[at > 0 ? at - 1 : 0].pattern;
}

// Frames showing `cells` from one position to another, cut as the importer cuts a picture's
// time.
std::vector<FrameBlock> holding(const std::string& cells, std::int32_t pattern, std::int64_t from,
                                std::int64_t to, const MeasureMap& measures) {
  std::vector<import::PlacedRecord> records;
  import::cut_into_records(0, from, to, first_frame_position(measures), measures, records);
  std::vector<FrameBlock> frames;
  for (const import::PlacedRecord& record : records) {
    frames.push_back(new_frame(cells, record.division, pattern));
  }
  return frames;
}

bool too_many(const WveDocument& document, std::size_t added, std::string& problem) {
  if (document.frames.size() + added <= most_frames) return false;
  fail(problem, "the animation would have more than " + std::to_string(most_frames) + " frames");
  return true;
}

bool too_far(std::int64_t from, std::int64_t to, std::string& problem) {
  if (to - from <= longest_added_quarters * units_per_quarter) return false;
  fail(problem,
       "that adds more than " + std::to_string(longest_added_quarters) + " quarter notes at once");
  return true;
}

// The first frame's lines before its record belong to the header.
void keep_header_first(WveDocument& document) {
  if (document.frames.empty() || document.frames[0].leading.empty()) return;
  Lines& leading = document.frames[0].leading;
  document.header.insert(document.header.end(), leading.begin(), leading.end());
  leading.clear();
}

// Gives the lines before frames [first, last) to frame `to` (before its own), or to the trailer.
void hand_on_leading(WveDocument& document, std::size_t first, std::size_t last, std::size_t to) {
  Lines lines;
  for (std::size_t k = first; k < last; ++k) {
    Lines& leading = document.frames[k].leading;
    lines.insert(lines.end(), leading.begin(), leading.end());
    leading.clear();
  }
  Lines& target = to < document.frames.size() ? document.frames[to].leading : document.trailer;
  target.insert(target.begin(), lines.begin(), lines.end());
}

// The frame showing at `position`: the index of the last that starts at or before it (the
// count when it is past the end).
std::size_t frame_at(const std::vector<std::int64_t>& positions, std::int64_t position) {
  if (position >= positions.back()) return positions.size() - 1;
  const auto after = std::upper_bound(positions.begin(), positions.end(), position);
  return static_cast<std::size_t>(std::max<std::ptrdiff_t>(after - positions.begin(), 1)) - 1;
}

// Cuts frame `frame` to last from `from` to `to`, the time after it held by repeats of it;
// returns how many frames it became.
std::size_t recut(WveDocument& document, const MeasureMap& measures, std::size_t frame,
                  std::int64_t from, std::int64_t to) {
  std::vector<FrameBlock> pieces =
      holding(document.frames[frame].cells, document.frames[frame].pattern, from, to, measures);
  document.frames[frame].division = pieces.front().division;
  document.frames.insert(document.frames.begin() + static_cast<std::ptrdiff_t>(frame) + 1,
                         std::make_move_iterator(pieces.begin() + 1),
                         std::make_move_iterator(pieces.end()));
  return pieces.size();
}

// Makes a frame start at `position`, cutting the frame under it in two; returns the index of
// the frame that starts there (the count when it is at or past the end).
std::size_t split_at(WveDocument& document, const MeasureMap& measures, std::int64_t position) {
  const std::vector<std::int64_t> positions = frame_positions(document, measures);
  const std::size_t k = frame_at(positions, position);
  if (k >= document.frames.size() || positions[k] == position) return k;
  FrameBlock& frame = document.frames[k];
  std::vector<FrameBlock> after =
      holding(frame.cells, frame.pattern, position, positions[k + 1], measures);
  recut(document, measures, k, positions[k], position);
  const std::size_t next = frame_at(frame_positions(document, measures), position);
  document.frames.insert(document.frames.begin() + static_cast<std::ptrdiff_t>(next),
                         std::make_move_iterator(after.begin()),
                         std::make_move_iterator(after.end()));
  return next;
}

// Sets the pattern number of the frames from `frame` to the next announcement.
void carry_pattern(WveDocument& document, std::size_t frame, std::int32_t number) {
  for (std::size_t k = frame; k < document.frames.size(); ++k) {
    if (k > frame && std::any_of(document.frames[k].leading.begin(),
                                 document.frames[k].leading.end(), is_announcement)) {
      break;
    }
    document.frames[k].pattern = number;
  }
}

bool move_later(WveDocument& document, const MeasureMap& measures, std::size_t frame,
                std::int64_t from, std::int64_t to, std::string& problem) {
  const std::string dark(document.frames[frame].cells.size(), '0');
  const FrameBlock& before = document.frames[frame > 0 ? frame - 1 : 0];
  std::vector<FrameBlock> held =
      holding(frame > 0 ? before.cells : dark, before.pattern, from, to, measures);
  if (too_many(document, held.size(), problem)) return false;
  document.frames.insert(document.frames.begin() + static_cast<std::ptrdiff_t>(frame),
                         std::make_move_iterator(held.begin()),
                         std::make_move_iterator(held.end()));
  return true;
}

bool move_earlier(WveDocument& document, const MeasureMap& measures, std::size_t frame,
                  std::int64_t to, std::string& problem) {
  const std::vector<std::int64_t> positions = frame_positions(document, measures);
  const std::string& held = document.frames[frame - 1].cells;
  std::size_t run = frame - 1;  // the first frame of the picture shown before it
  while (run > 0 && document.frames[run - 1].cells == held) --run;
  if (to <= positions[run]) {
    const SongBeat at = measures.at(positions[run] + units_per_step);
    return fail(problem, "frame " + std::to_string(frame + 1) +
                             " can move back only until the frame before it has a step of its "
                             "own: to " +
                             std::to_string(at.measure) + ":" + std::to_string(at.beat) +
                             " at the earliest");
  }
  const std::size_t under = frame_at(positions, to);
  std::size_t removed_from = under + 1;
  if (positions[under] == to) removed_from = under;
  hand_on_leading(document, removed_from, frame, frame);
  document.frames.erase(document.frames.begin() + static_cast<std::ptrdiff_t>(removed_from),
                        document.frames.begin() + static_cast<std::ptrdiff_t>(frame));
  if (removed_from > under) recut(document, measures, under, positions[under], to);
  return true;
}

}  // namespace

bool set_cells(WveDocument& document, std::size_t frame, const std::string& cells,
               std::string& problem) {
  if (frame >= document.frames.size()) return fail(problem, "there is no such frame");
  if (!valid_cells(document, cells, problem)) return false;
  FrameBlock& block = document.frames[frame];
  if (block.cells == cells) return true;
  block.cells = cells;
  block.cells_changed = true;
  return true;
}

bool insert_frames(WveDocument& document, std::size_t at, const std::vector<NewFrame>& frames,
                   std::string& problem) {
  if (at > document.frames.size()) return fail(problem, "there is no such frame");
  if (too_many(document, frames.size(), problem)) return false;
  std::vector<FrameBlock> added;
  const std::int32_t pattern = pattern_before(document, at);
  for (const NewFrame& frame : frames) {
    if (!valid_cells(document, frame.cells, problem)) return false;
    if (!keeps_time(frame.division)) return fail(problem, "a division divides 24");
    added.push_back(new_frame(frame.cells, frame.division, pattern));
  }
  document.frames.insert(document.frames.begin() + static_cast<std::ptrdiff_t>(at),
                         std::make_move_iterator(added.begin()),
                         std::make_move_iterator(added.end()));
  return true;
}

bool delete_frames(WveDocument& document, std::size_t first, std::size_t count,
                   std::string& problem) {
  if (count == 0 || first >= document.frames.size() || count > document.frames.size() - first) {
    return fail(problem, "there is no such frame");
  }
  if (count == document.frames.size())
    return fail(problem, "an animation keeps one frame at least");
  hand_on_leading(document, first, first + count, first + count);
  document.frames.erase(document.frames.begin() + static_cast<std::ptrdiff_t>(first),
                        document.frames.begin() + static_cast<std::ptrdiff_t>(first + count));
  keep_header_first(document);
  return true;
}

bool set_division(WveDocument& document, std::size_t frame, std::int32_t division,
                  std::string& problem) {
  if (frame >= document.frames.size()) return fail(problem, "there is no such frame");
  if (!keeps_time(division)) {
    return fail(problem, "a frame lasts 1/D of a quarter note for a D that divides 24");
  }
  document.frames[frame].division = division;
  return true;
}

bool move_frame(WveDocument& document, const MeasureMap& measures, std::size_t frame,
                std::int64_t position, std::string& problem) {
  if (frame >= document.frames.size()) return fail(problem, "there is no such frame");
  const std::int64_t first = first_frame_position(measures);
  const std::int64_t to = nearest_step(first, static_cast<double>(std::max(position, first)));
  const std::int64_t from = frame_positions(document, measures)[frame];
  if (frame == 0 && position < first) {
    const SongBeat at = measures.at(first);
    return fail(problem, "frame 1 shows as early as the player shows a frame: at " +
                             std::to_string(at.measure) + ":" + std::to_string(at.beat));
  }
  if (to == from) return true;
  if (to > from) {
    if (too_far(from, to, problem)) return false;
    return move_later(document, measures, frame, from, to, problem);
  }
  return move_earlier(document, measures, frame, to, problem);
}

std::vector<Announcement> announcements_at(const WveDocument& document, std::size_t frame) {
  std::vector<Announcement> found;
  const Lines& lines = frame == 0 ? document.header : document.frames[frame].leading;
  for (const Line& line : lines) {
    if (!is_announcement(line)) continue;
    const PatternScan scan = scan_pattern(line_text(line));
    if (scan.number_converted) found.push_back({scan.number, std::string(scan.text)});
  }
  return found;
}

// The first frame with an announcement before it; the count when none has.
std::size_t first_announced(const WveDocument& document) {
  for (std::size_t k = 0; k < document.frames.size(); ++k) {
    if (!announcements_at(document, k).empty()) return k;
  }
  return document.frames.size();
}

bool announce_pattern(WveDocument& document, std::size_t frame, std::int32_t number,
                      const std::string& text, std::string& problem) {
  if (frame >= document.frames.size()) return fail(problem, "there is no such frame");
  if (number < 0) return fail(problem, "a pattern's number is 0 or more");
  if (text.empty()) return fail(problem, "a pattern announced has a text");
  // Frames before every announcement would show a number never announced.
  if (frame > 0 && first_announced(document) > frame) {
    return fail(problem, "announce a pattern at frame 1 first: the frames before frame " +
                             std::to_string(frame + 1) + " would show pattern " +
                             std::to_string(document.frames[0].pattern) + " with no text");
  }
  Lines& leading = leading_of(document, frame);
  const Line line = make_line("*p" + std::to_string(number) + "," + text + document.line_end);
  const auto last = std::find_if(leading.rbegin(), leading.rend(), is_announcement);
  if (last != leading.rend()) {
    *last = line;
  } else {
    leading.push_back(line);
  }
  carry_pattern(document, frame, number);
  return true;
}

bool withdraw_pattern(WveDocument& document, std::size_t frame, std::string& problem) {
  if (frame >= document.frames.size()) return fail(problem, "there is no such frame");
  Lines& leading = leading_of(document, frame);
  if (std::none_of(leading.begin(), leading.end(), is_announcement)) {
    return fail(problem, "no pattern is announced at that frame");
  }
  if (first_announced(document) == frame) {
    for (std::size_t k = frame + 1; k < document.frames.size(); ++k) {
      if (announcements_at(document, k).empty()) continue;
      return fail(problem, "the first pattern stays while others follow (at frame " +
                               std::to_string(k + 1) + "): change its text instead");
    }
  }
  leading.erase(std::remove_if(leading.begin(), leading.end(), is_announcement), leading.end());
  carry_pattern(document, frame, frame > 0 ? document.frames[frame - 1].pattern : 1);
  return true;
}

bool resize_grid(WveDocument& document, int width, int height, std::string& problem) {
  if (width < 1 || width > max_fitting_width || height < 1 || height > max_fitting_height) {
    return fail(problem, "a grid fits the screen from 1 x 1 to " +
                             std::to_string(max_fitting_width) + " x " +
                             std::to_string(max_fitting_height) + " cells");
  }
  const int dx = static_cast<int>(floor_div(width - document.width, 2));
  const int dy = static_cast<int>(floor_div(height - document.height, 2));
  for (FrameBlock& frame : document.frames) {
    std::string cells(static_cast<std::size_t>(width * height), '0');
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const int from_x = x - dx, from_y = y - dy;
        if (from_x < 0 || from_x >= document.width || from_y < 0 || from_y >= document.height) {
          continue;
        }
        const auto from = static_cast<std::size_t>(from_y * document.width + from_x);
        if (from < frame.cells.size())
          cells[static_cast<std::size_t>(y * width + x)] = frame.cells[from];
      }
    }
    frame.cells = std::move(cells);
    frame.cells_changed = true;
  }
  // The header's "*nXY=" counts only before any other directive: it replaces the one that
  // counted, or goes before the first directive.
  const Line line =
      make_line("*nXY=" + std::to_string(width) + "," + std::to_string(height) + document.line_end);
  bool in_header = true;
  std::size_t at = 0;
  for (; at < document.header.size(); ++at) {
    const LineKind kind = classify_line(line_text(document.header[at]), in_header);
    if (kind == LineKind::grid_size) break;
    if (ends_header(kind)) {
      in_header = false;
      break;
    }
  }
  if (in_header && at < document.header.size()) {
    document.header[at] = line;
  } else {
    document.header.insert(document.header.begin() + static_cast<std::ptrdiff_t>(at), line);
  }
  document.width = width;
  document.height = height;
  return true;
}

bool place_frames(WveDocument& document, const MeasureMap& measures, std::int64_t position,
                  const std::vector<NewFrame>& frames, bool replace, std::string& problem) {
  if (frames.empty()) return fail(problem, "nothing to place");
  const std::int64_t first = first_frame_position(measures);
  const std::int64_t at = nearest_step(first, static_cast<double>(std::max(position, first)));
  const std::int64_t end = frame_positions(document, measures).back();
  if (at > end) {
    if (too_far(end, at, problem)) return false;
    const std::string dark(static_cast<std::size_t>(document.width * document.height), '0');
    std::vector<FrameBlock> held =
        holding(dark, pattern_before(document, document.frames.size()), end, at, measures);
    if (too_many(document, held.size() + frames.size(), problem)) return false;
    for (FrameBlock& frame : held) document.frames.push_back(std::move(frame));
  }
  const std::size_t from = split_at(document, measures, at);
  // The lines that stood before the frames replaced go with the first frame placed.
  Lines kept;
  if (replace) {
    std::int64_t length = 0;
    for (const NewFrame& frame : frames) length += frame_units(frame.division);
    const std::size_t to = split_at(document, measures, at + length);
    for (std::size_t k = from; k < to; ++k) {
      kept.insert(kept.end(), document.frames[k].leading.begin(), document.frames[k].leading.end());
    }
    document.frames.erase(document.frames.begin() + static_cast<std::ptrdiff_t>(from),
                          document.frames.begin() + static_cast<std::ptrdiff_t>(to));
  }
  if (!insert_frames(document, from, frames, problem)) return false;
  Lines& leading = document.frames[from].leading;
  leading.insert(leading.begin(), kept.begin(), kept.end());
  keep_header_first(document);
  return true;
}

}  // namespace mosaiq::studio
