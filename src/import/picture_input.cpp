#include "import/picture_input.h"

#include <algorithm>

#include "import/gif_reader.h"
#include "import/natural_order.h"
#include "import/png_reader.h"
#include "platform/character_set.h"
#include "platform/failure.h"
#include "platform/file_access.h"

namespace mosaiq::import {

namespace {

std::string size_text(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// A GIF's frames, laid on the grid as they are decoded.
class GridSink : public FrameSink {
 public:
  GridSink(CellGrid& grid, ImportedPictures& result) : grid_(grid), result_(result) {}
  void comment(const std::string& text) override { grid_.drawn_by(text); }
  bool frame(const DigitCanvas& canvas, int delay, std::string& problem) override {
    if (result_.pictures.empty() && !grid_.fit(canvas, problem)) return false;
    result_.pictures.push_back(grid_.cells(canvas));
    result_.delays.push_back(delay);
    return true;
  }

 private:
  CellGrid& grid_;
  ImportedPictures& result_;
};

// A GIF whose frames give no delays (or only delays of 0) has no timing of its own.
void drop_empty_delays(std::vector<int>& delays) {
  if (std::all_of(delays.begin(), delays.end(), [](int delay) { return delay <= 0; })) {
    delays.clear();
  }
  for (int& delay : delays) delay = std::max(delay, 0);
}

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

// One PNG cut into its sheet's frames, left to right, then top to bottom.
bool cut_sheet(const DigitCanvas& sheet, int columns, int rows, const std::string& name,
               std::vector<DigitCanvas>& frames, std::string& problem) {
  if (sheet.width % columns != 0 || sheet.height % rows != 0) {
    return fail(problem, name + " (" + size_text(sheet.width, sheet.height) +
                             ") does not cut into " + std::to_string(columns) + " x " +
                             std::to_string(rows) + " frames of one size");
  }
  const int width = sheet.width / columns, height = sheet.height / rows;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      DigitCanvas frame{width, height, {}};
      frame.pixels.reserve(static_cast<std::size_t>(width) * height);
      for (int y = 0; y < height; ++y) {
        const auto row = sheet.pixels.begin() +
                         (static_cast<std::ptrdiff_t>(r * height + y) * sheet.width + c * width);
        frame.pixels.insert(frame.pixels.end(), row, row + width);
      }
      frames.push_back(std::move(frame));
    }
  }
  return true;
}

// A file's bytes, refused when it is larger than any picture.
bool read_picture_file(FileAccess& files, const std::string& name, std::string& bytes,
                       std::string& problem) {
  std::string why;
  const WholeFile read =
      read_whole_file(files, name, max_input_bytes, bytes, why, [](std::string_view first) {
        return is_gif(first) || is_png(first) ? "" : "it is not a GIF or PNG file";
      });
  if (read == WholeFile::unreadable) return fail(problem, "cannot read " + name + ": " + why);
  if (read != WholeFile::read) return fail(problem, "cannot use " + name + ": " + why);
  return true;
}

// A GIF alone: its frames laid on the grid as they are decoded.
bool take_gif(const PictureRequest& request, const std::string& name, std::string_view bytes,
              CellGrid& grid, ImportedPictures& result, std::string& problem) {
  if (request.sheet_columns > 0) return fail(problem, "--sheet cuts a PNG picture, not a GIF");
  GridSink sink(grid, result);
  std::string why;
  if (!read_gif(bytes, request.colours, sink, why)) {
    return fail(problem, "cannot use " + name + ": " + why);
  }
  drop_empty_delays(result.delays);
  return true;
}

// The size of the first picture, which every other must have.
struct FirstPicture {
  int width = 0, height = 0;
};

// A PNG file: a picture, or a sheet of them, each of the first picture's size.
bool take_png(const PictureRequest& request, const std::string& name, std::string_view bytes,
              CellGrid& grid, FirstPicture& first, ImportedPictures& result, std::string& problem) {
  std::string why;
  DigitCanvas canvas;
  if (!read_png(bytes, request.colours, canvas, why)) {
    return fail(problem, "cannot use " + name + ": " +
                             (is_png(bytes) ? why : "it is not a GIF or PNG file"));
  }
  std::vector<DigitCanvas> frames;
  if (request.sheet_columns > 0) {
    if (!cut_sheet(canvas, request.sheet_columns, request.sheet_rows, name, frames, problem))
      return false;
  } else {
    frames.push_back(std::move(canvas));
  }
  for (const DigitCanvas& frame : frames) {
    if (result.pictures.empty()) {
      if (!grid.fit(frame, problem)) return false;
      first = {frame.width, frame.height};
    } else if (frame.width != first.width || frame.height != first.height) {
      return fail(problem, "cannot use " + name + ": it is " +
                               size_text(frame.width, frame.height) + ", " + result.files[0] + " " +
                               size_text(first.width, first.height) +
                               "; the pictures must all have one size");
    }
    result.pictures.push_back(grid.cells(frame));
  }
  return true;
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
  CellGrid grid(request.grid);
  FirstPicture first;
  std::string bytes;
  for (const std::string& name : names) {
    if (!read_picture_file(files, name, bytes, problem)) return false;
    const bool taken =
        !is_gif(bytes) ? take_png(request, name, bytes, grid, first, result, problem)
        : names.size() == 1
            ? take_gif(request, name, bytes, grid, result, problem)
            : fail(problem, "cannot use " + name + ": a GIF goes alone, not among other pictures");
    if (!taken) return false;
  }
  result.width = grid.width();
  result.height = grid.height();
  return true;
}

}  // namespace mosaiq::import
