#include "studio/studio_commands.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "import/pattern_marks.h"
#include "platform/long_options.h"
#include "studio/document_edits.h"

namespace mosaiq::studio {

namespace {

class Fields {
 public:
  Fields(const CommandFields& fields, std::string& problem) : fields_(fields), problem_(problem) {}

  bool has(const std::string& name) const { return fields_.count(name) > 0; }

  const std::string& text(const std::string& name) const {
    static const std::string none;
    const auto found = fields_.find(name);
    return found == fields_.end() ? none : found->second;
  }

  // A whole number from `low` to `high`.
  bool number(const std::string& name, long long low, long long high, long long& value) {
    const std::string& digits = text(name);
    if (read_count(digits, high, value) && value >= low) return true;
    problem_ = name + " wants a whole number from " + std::to_string(low) + " to " +
               std::to_string(high) + ", not '" + digits.substr(0, 20) + "'";
    return false;
  }

  // A frame's number, from 1, as an index from 0.
  bool frame(const WveDocument& document, const std::string& name, std::size_t& index) {
    long long value = 0;
    if (!number(name, 1, static_cast<long long>(document.frames.size()), value)) return false;
    index = static_cast<std::size_t>(value - 1);
    return true;
  }

  bool seconds(const std::string& name, double& value) {
    const std::string& digits = text(name);
    if (read_seconds(digits, value)) return true;
    problem_ = name + " wants a time in seconds, not '" + digits.substr(0, 20) + "'";
    return false;
  }

 private:
  const CommandFields& fields_;
  std::string& problem_;
};

std::string frame_words(std::size_t index) { return "frame " + std::to_string(index + 1); }

bool paint(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  std::size_t frame = 0;
  if (!fields.frame(document, "frame", frame)) return false;
  what = "paint " + frame_words(frame);
  return set_cells(document, frame, fields.text("cells"), problem);
}

bool insert(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  long long after = 0, division = 0;
  if (!fields.number("after", 0, static_cast<long long>(document.frames.size()), after)) {
    return false;
  }
  if (document.frames.empty()) {
    problem = "there is no frame to copy";
    return false;
  }
  const FrameBlock& model = document.frames[after > 0 ? static_cast<std::size_t>(after - 1) : 0];
  NewFrame frame{fields.has("cells") ? fields.text("cells") : model.cells, model.division};
  if (fields.has("division")) {
    if (!fields.number("division", 1, finest_division, division)) return false;
    frame.division = static_cast<std::int32_t>(division);
  }
  what = after > 0 ? "insert a frame after " + frame_words(static_cast<std::size_t>(after - 1))
                   : "insert a frame before frame 1";
  return insert_frames(document, static_cast<std::size_t>(after), {frame}, problem);
}

bool remove(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  std::size_t frame = 0;
  long long count = 1;
  if (!fields.frame(document, "frame", frame)) return false;
  if (fields.has("count") &&
      !fields.number("count", 1, static_cast<long long>(document.frames.size()), count)) {
    return false;
  }
  what = count == 1 ? "delete " + frame_words(frame)
                    : "delete " + std::to_string(count) + " frames from " + frame_words(frame);
  return delete_frames(document, frame, static_cast<std::size_t>(count), problem);
}

bool paste(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  long long after = 0;
  if (!fields.number("after", 0, static_cast<long long>(document.frames.size()), after)) {
    return false;
  }
  std::vector<NewFrame> frames;
  const std::string& list = fields.text("frames");
  for (std::size_t at = 0; at < list.size();) {
    std::size_t end = list.find(',', at);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(at, end - at);
    const std::size_t colon = item.find(':');
    const std::string division = colon == std::string::npos ? "" : item.substr(0, colon);
    if (colon == std::string::npos || division.empty() || division.size() > 2 ||
        division.find_first_not_of("0123456789") != std::string::npos) {
      problem = "frames wants D:cells for each frame";
      return false;
    }
    frames.push_back({item.substr(colon + 1), std::atoi(division.c_str())});
    at = end + 1;
  }
  if (frames.empty()) {
    problem = "nothing to paste";
    return false;
  }
  what = "paste " + std::to_string(frames.size()) + (frames.size() == 1 ? " frame" : " frames");
  return insert_frames(document, static_cast<std::size_t>(after), frames, problem);
}

bool division(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  std::size_t frame = 0;
  long long value = 0;
  if (!fields.frame(document, "frame", frame) ||
      !fields.number("division", 1, finest_division, value)) {
    return false;
  }
  what = "make " + frame_words(frame) + " last 1/" + std::to_string(value) + " of a quarter note";
  return set_division(document, frame, static_cast<std::int32_t>(value), problem);
}

bool move(WveDocument& document, const CommandClock& clock, Fields& fields, std::string& what,
          std::string& problem) {
  std::size_t frame = 0;
  if (!fields.frame(document, "frame", frame)) return false;
  std::int64_t position = 0;
  if (fields.has("seconds")) {
    double seconds = 0;
    if (!fields.seconds("seconds", seconds)) return false;
    position = position_of_seconds(clock, seconds, fields.text("snap") != "step");
  } else {
    long long measure = 0, beat = 0, step = 0;
    if (!fields.number("measure", 1, 1000000, measure) || !fields.number("beat", 1, 1000, beat) ||
        (fields.has("step") && !fields.number("step", 0, 100000, step))) {
      return false;
    }
    position = clock.measures.position(measure, beat) + step * units_per_step;
  }
  const SongBeat at = clock.measures.at(position);
  what = "move " + frame_words(frame) + " to " + std::to_string(at.measure) + ":" +
         std::to_string(at.beat);
  return move_frame(document, clock.measures, frame, position, problem);
}

bool pattern(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  std::size_t frame = 0;
  long long number = 0;
  if (!fields.frame(document, "frame", frame) ||
      !fields.number("number", 0, std::numeric_limits<std::int32_t>::max(), number)) {
    return false;
  }
  std::string text;
  if (!import::panel_text("pattern " + std::to_string(number), fields.text("text"), true, text,
                          problem)) {
    return false;
  }
  what = "announce pattern " + std::to_string(number) + " at " + frame_words(frame);
  return announce_pattern(document, frame, static_cast<std::int32_t>(number), text, problem);
}

bool unpattern(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  std::size_t frame = 0;
  if (!fields.frame(document, "frame", frame)) return false;
  what = "take back the pattern at " + frame_words(frame);
  return withdraw_pattern(document, frame, problem);
}

bool grid(WveDocument& document, Fields& fields, std::string& what, std::string& problem) {
  long long width = 0, height = 0;
  if (!fields.number("width", 1, max_fitting_width, width) ||
      !fields.number("height", 1, max_fitting_height, height)) {
    return false;
  }
  what = "make the grid " + std::to_string(width) + " x " + std::to_string(height);
  return resize_grid(document, static_cast<int>(width), static_cast<int>(height), problem);
}

}  // namespace

bool read_seconds(std::string_view text, double& seconds) {
  return read_decimal(text, 0, seconds) && seconds <= latest_seconds;
}

std::int64_t position_of_seconds(const CommandClock& clock, double seconds, bool to_beat) {
  const double units = clock.tempo.quarters_at(seconds) * units_per_quarter;
  const std::int64_t first = first_frame_position(clock.measures);
  if (!to_beat) return nearest_step(first, units);
  const SongBeat at = clock.measures.at(static_cast<std::int64_t>(std::floor(units)));
  const std::int64_t start = clock.measures.position(at.measure, at.beat);
  const std::int64_t next = clock.measures.position(at.measure, at.beat + 1);
  return units - static_cast<double>(start) < static_cast<double>(next) - units ? start : next;
}

bool apply_command(WveDocument& document, const CommandClock& clock, const CommandFields& fields,
                   std::string& what, std::string& problem) {
  Fields read(fields, problem);
  const std::string& name = read.text("command");
  if (name == "paint") return paint(document, read, what, problem);
  if (name == "insert") return insert(document, read, what, problem);
  if (name == "delete") return remove(document, read, what, problem);
  if (name == "paste") return paste(document, read, what, problem);
  if (name == "division") return division(document, read, what, problem);
  if (name == "move") return move(document, clock, read, what, problem);
  if (name == "pattern") return pattern(document, read, what, problem);
  if (name == "unpattern") return unpattern(document, read, what, problem);
  if (name == "grid") return grid(document, read, what, problem);
  problem = "there is no command '" + name.substr(0, 20) + "'";
  return false;
}

}  // namespace mosaiq::studio
