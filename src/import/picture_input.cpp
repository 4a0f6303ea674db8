#include "import/picture_input.h"

#include <algorithm>
#include <memory>

#include "convert/cell_colours.h"
#include "import/natural_order.h"
#include "import/picture_frames.h"
#include "platform/character_set.h"
#include "platform/failure.h"
#include "platform/file_access.h"

namespace mosaiq::import {

namespace {

// The PNG files of a folder, in natural order; false when `name` is no folder.
bool folder_pictures(FileAccess& files, const std::string& name, std::vector<std::string>& names,
                     std::string& problem) {
  std::vector<std::string> entries;
  std::string why;
  if (!files.list_folder(name, entries, why)) return false;
  for (const std::string& entry : entries) {
    const std::string extension = entry.size() > 4 ? entry.substr(entry.size() - 4) : "";
    std::string folded;
    for (const char c : extension) folded += fold_ascii(c);
    if (folded == ".png") names.push_back(entry);
  }
  std::sort(names.begin(), names.end(), natural_less);
  const std::string folder = name.empty() || name.back() == '/' ? name : name + "/";
  for (std::string& entry : names) entry = folder + entry;
  if (names.empty()) problem = "the folder " + name + " holds no PNG files";
  return true;
}

// The digits of the part of the pictures looked at, kept as the frames change them.
class DigitArea {
 public:
  DigitArea(const Rect& area, const ColourMapping& colours)
      : area_(area),
        colours_(colours),
        digits_(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height), 0) {}

  // Takes the frame where it changed; `changed(x, y, from, to)` for every digit that did.
  template <class Changed>
  void take(const RgbaPicture& picture, const Rect& where, const Changed& changed) {
    const Rect part = where.within(area_);
    for (int y = part.y; y < part.bottom(); ++y) {
      const std::uint32_t* row = &picture.pixels[static_cast<std::size_t>(y) * picture.width];
      std::uint8_t* digits = &digits_[static_cast<std::size_t>(y - area_.y) * area_.width];
      for (int x = part.x; x < part.right(); ++x) {
        const std::uint8_t digit = colours_.digit(row[x]);
        std::uint8_t& was = digits[x - area_.x];
        if (digit == was) continue;
        changed(x, y, was, digit);
        was = digit;
      }
    }
  }
  std::uint8_t at(int x, int y) const {
    return digits_[static_cast<std::size_t>(y - area_.y) * area_.width + (x - area_.x)];
  }
  const std::vector<std::uint8_t>& digits() const { return digits_; }

 private:
  Rect area_;
  const ColourMapping& colours_;
  std::vector<std::uint8_t> digits_;
};

// The first reading: the area, the background, what is drawn and where, and the delays.
class Survey : public FrameSink {
 public:
  Survey(const PictureRequest& request, bool crop_applied, ColourMapping& colours,
         ImportedPictures& result)
      : request_(request), crop_applied_(crop_applied), colours_(colours), result_(result) {}

  void comment(const std::string& text) override {
    GridPicture grid;
    if (read_grid_gif_comment(text, grid)) viewer = grid;
  }

  bool frame(const RgbaPicture& picture, const Rect& changed, int delay,
             std::string& problem) override {
    if (!area_ && !start(picture, problem)) return false;
    area_->take(picture, changed, [this](int x, int y, std::uint8_t from, std::uint8_t to) {
      const auto column = static_cast<std::size_t>(x - drawn.area.x),
                 row = static_cast<std::size_t>(y - drawn.area.y);
      if (from == 0) {
        ++lit_columns_[column];
        ++lit_rows_[row];
        drawn.drawn = drawn.drawn.joined({x, y, 1, 1});
      } else if (to == 0) {
        --lit_columns_[column];
        --lit_rows_[row];
      }
    });
    if (drawn.first.empty()) drawn.first = area_->digits();
    for (std::size_t i = 0; i < lit_columns_.size(); ++i) drawn.columns[i] += lit_columns_[i];
    for (std::size_t i = 0; i < lit_rows_.size(); ++i) drawn.rows[i] += lit_rows_[i];
    result_.delays.push_back(delay);
    return true;
  }

  DrawnPixels drawn;
  GridPicture viewer;

 private:
  // The first frame: the area looked at, and the background the colours take.
  bool start(const RgbaPicture& picture, std::string& problem) {
    drawn.area = picture.whole();
    if (!request_.grid.crop.empty() && !crop_applied_ &&
        !crop_within(request_.grid.crop, picture.width, picture.height, drawn.area, problem)) {
      return false;
    }
    if (viewer.cell > 0) {
      // A GIF mosaiq-view drew holds the screen's colours, each its own digit.
      for (std::uint8_t digit = 0; digit < 8; ++digit) {
        const CellColour& colour = cell_colours[digit];
        colours_.map(
            std::uint32_t{colour.red} << 16 | std::uint32_t{colour.green} << 8 | colour.blue,
            digit);
      }
    }
    const std::optional<std::uint32_t> background = request_.background ? request_.background
                                                    : viewer.cell > 0
                                                        ? std::nullopt
                                                        : border_colour(picture, drawn.area);
    if (background) colours_.set_background(*background);
    result_.background = background;
    area_ = std::make_unique<DigitArea>(drawn.area, colours_);
    drawn.columns.assign(static_cast<std::size_t>(drawn.area.width), 0);
    drawn.rows.assign(static_cast<std::size_t>(drawn.area.height), 0);
    lit_columns_.assign(drawn.columns.size(), 0);
    lit_rows_.assign(drawn.rows.size(), 0);
    return true;
  }

  const PictureRequest& request_;
  bool crop_applied_;
  ColourMapping& colours_;
  ImportedPictures& result_;
  std::unique_ptr<DigitArea> area_;
  std::vector<std::uint64_t> lit_columns_, lit_rows_;  // in the frame now
};

// The most pixels kept of the source frames for a preview.
constexpr std::size_t most_source_pixels = std::size_t{16} << 20;

// The second reading: every frame's cells.
class Laying : public FrameSink {
 public:
  Laying(const PictureRequest& request, const GridPlan& plan, const Rect& area,
         const ColourMapping& colours, ImportedPictures& result)
      : request_(request), plan_(plan), area_(area, colours), counter_(plan), result_(result) {}

  void comment(const std::string&) override {}

  bool frame(const RgbaPicture& picture, const Rect& changed, int, std::string&) override {
    const Rect& box = plan_.box();
    area_.take(picture, changed, [&](int x, int y, std::uint8_t from, std::uint8_t to) {
      if (x >= box.x && x < box.right() && y >= box.y && y < box.bottom()) {
        counter_.change(x, y, from, to);
      }
    });
    result_.pictures.push_back(counter_.cells([this](int x, int y) { return area_.at(x, y); }));
    keep_source(picture);
    return true;
  }

 private:
  void keep_source(const RgbaPicture& picture) {
    const Rect& box = plan_.box();
    const std::size_t pixels = static_cast<std::size_t>(box.width) * box.height;
    if (result_.sources.size() >= request_.keep_sources ||
        (result_.sources.size() + 1) * pixels > most_source_pixels) {
      return;
    }
    RgbaPicture source{box.width, box.height, {}};
    source.pixels.reserve(pixels);
    for (int y = box.y; y < box.bottom(); ++y) {
      const auto row =
          picture.pixels.begin() + (static_cast<std::ptrdiff_t>(y) * picture.width + box.x);
      source.pixels.insert(source.pixels.end(), row, row + box.width);
    }
    result_.sources.push_back(std::move(source));
  }

  const PictureRequest& request_;
  const GridPlan& plan_;
  DigitArea area_;
  CellCounter counter_;
  ImportedPictures& result_;
};

// A GIF whose frames give no delays (or only delays of 0) has no timing of its own.
void drop_empty_delays(std::vector<int>& delays) {
  if (std::all_of(delays.begin(), delays.end(), [](int delay) { return delay <= 0; })) {
    delays.clear();
  }
  for (int& delay : delays) delay = std::max(delay, 0);
}

}  // namespace

bool read_pictures(FileAccess& files, const PictureRequest& request, ImportedPictures& result,
                   std::string& problem) {
  result = ImportedPictures{};
  std::vector<std::string> names;
  if (request.inputs.size() != 1 || !folder_pictures(files, request.inputs[0], names, problem)) {
    names = request.inputs;
  } else if (!problem.empty()) {
    return false;
  }
  result.files = names;
  const std::unique_ptr<PictureFrames> frames = picture_frames(
      files, {names, request.sheet_columns, request.sheet_rows, request.grid.crop}, problem);
  if (!frames) return false;
  ColourMapping colours = request.colours;
  Survey survey(request, frames->cropped(), colours, result);
  if (!frames->each(survey, problem)) return false;
  drop_empty_delays(result.delays);
  GridPlan plan;
  if (!plan.make(request.grid, survey.drawn, survey.viewer, problem)) return false;
  Laying laying(request, plan, survey.drawn.area, colours, result);
  if (!frames->each(laying, problem)) return false;
  result.width = plan.width();
  result.height = plan.height();
  result.how = plan.how();
  return true;
}

}  // namespace mosaiq::import
