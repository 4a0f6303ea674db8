#include "import/picture_frames.h"

#include "import/gif_reader.h"
#include "import/png_reader.h"
#include "platform/failure.h"
#include "platform/file_access.h"

namespace mosaiq::import {

namespace {

std::string size_text(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// A file's bytes, judged by their start before the rest is read.
bool read_picture_file(FileAccess& files, const std::string& name, std::string& bytes,
                       std::string& problem) {
  std::string why;
  const WholeFile read =
      read_whole_file(files, name, max_picture_file_bytes, bytes, why, [](std::string_view first) {
        return is_gif(first) || is_png(first) ? "" : "it is not a GIF or PNG file";
      });
  if (read == WholeFile::unreadable) return fail(problem, "cannot read " + name + ": " + why);
  if (read != WholeFile::read) return fail(problem, "cannot use " + name + ": " + why);
  return true;
}

class GifFrames : public PictureFrames {
 public:
  GifFrames(std::string name, std::string bytes)
      : name_(std::move(name)), bytes_(std::move(bytes)) {}
  bool each(FrameSink& sink, std::string& problem) override {
    std::string why;
    return read_gif(bytes_, sink, why) || fail(problem, "cannot use " + name_ + ": " + why);
  }
  bool cropped() const override { return false; }

 private:
  std::string name_, bytes_;
};

// The part of a picture, a picture of its own.
RgbaPicture part_of(const RgbaPicture& picture, const Rect& part) {
  RgbaPicture out{part.width, part.height, {}};
  out.pixels.reserve(static_cast<std::size_t>(part.width) * static_cast<std::size_t>(part.height));
  for (int y = part.y; y < part.bottom(); ++y) {
    const auto row =
        picture.pixels.begin() + (static_cast<std::ptrdiff_t>(y) * picture.width + part.x);
    out.pixels.insert(out.pixels.end(), row, row + part.width);
  }
  return out;
}

class PngFrames : public PictureFrames {
 public:
  PngFrames(FileAccess& files, FramesRequest request, std::string first)
      : files_(files), request_(std::move(request)), first_(std::move(first)) {}

  bool each(FrameSink& sink, std::string& problem) override {
    int width = 0, height = 0;  // the first frame's
    std::string bytes;
    for (std::size_t i = 0; i < request_.names.size(); ++i) {
      const std::string& name = request_.names[i];
      if (i == 0) {
        bytes = first_;
      } else if (!read_picture_file(files_, name, bytes, problem)) {
        return false;
      }
      std::vector<RgbaPicture> frames;
      if (!pictures_of(name, bytes, frames, problem)) return false;
      for (const RgbaPicture& frame : frames) {
        if (width == 0) {
          width = frame.width;
          height = frame.height;
        } else if (frame.width != width || frame.height != height) {
          return fail(problem, "cannot use " + name + ": it is " +
                                   size_text(frame.width, frame.height) + ", " + request_.names[0] +
                                   " " + size_text(width, height) +
                                   "; the pictures must all have one size");
        }
        if (!sink.frame(frame, frame.whole(), -1, problem)) return false;
      }
    }
    return true;
  }

  bool cropped() const override { return request_.sheet_columns > 0; }

 private:
  // The file's picture, or its sheet's frames, cropped before it is cut.
  bool pictures_of(const std::string& name, std::string_view bytes, std::vector<RgbaPicture>& out,
                   std::string& problem) {
    if (is_gif(bytes)) {
      return fail(problem, "cannot use " + name + ": a GIF goes alone, not among other pictures");
    }
    RgbaPicture picture;
    std::string why;
    if (!read_png(bytes, picture, why)) return fail(problem, "cannot use " + name + ": " + why);
    if (request_.sheet_columns == 0) {
      out.push_back(std::move(picture));
      return true;
    }
    Rect area = picture.whole();
    if (!request_.crop.empty()) {
      if (!crop_within(request_.crop, picture.width, picture.height, area, problem)) return false;
    }
    const int columns = request_.sheet_columns, rows = request_.sheet_rows;
    if (area.width % columns != 0 || area.height % rows != 0) {
      return fail(problem, name + " (" + size_text(area.width, area.height) +
                               (request_.crop.empty() ? "" : ", cropped") + ") does not cut into " +
                               std::to_string(columns) + " x " + std::to_string(rows) +
                               " frames of one size");
    }
    const int width = area.width / columns, height = area.height / rows;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        out.push_back(part_of(picture, {area.x + c * width, area.y + r * height, width, height}));
      }
    }
    return true;
  }

  FileAccess& files_;
  FramesRequest request_;
  std::string first_;  // the first file's bytes, read to tell what the files are
};

}  // namespace

bool crop_within(const Rect& crop, int width, int height, Rect& area, std::string& problem) {
  if (crop.x < 0 || crop.y < 0 || static_cast<std::int64_t>(crop.x) + crop.width > width ||
      static_cast<std::int64_t>(crop.y) + crop.height > height) {
    return fail(problem, "--crop " + std::to_string(crop.x) + "," + std::to_string(crop.y) + "," +
                             std::to_string(crop.width) + "," + std::to_string(crop.height) +
                             " falls outside the picture, " + size_text(width, height));
  }
  area = crop;
  return true;
}

std::unique_ptr<PictureFrames> picture_frames(FileAccess& files, const FramesRequest& request,
                                              std::string& problem) {
  std::string bytes;
  if (request.names.empty() || !read_picture_file(files, request.names[0], bytes, problem)) {
    return nullptr;
  }
  if (!is_gif(bytes)) return std::make_unique<PngFrames>(files, request, std::move(bytes));
  if (request.names.size() > 1) {
    fail(problem,
         "cannot use " + request.names[0] + ": a GIF goes alone, not among other pictures");
    return nullptr;
  }
  if (request.sheet_columns > 0) {
    fail(problem, "--sheet cuts a PNG picture, not a GIF");
    return nullptr;
  }
  return std::make_unique<GifFrames>(request.names[0], std::move(bytes));
}

}  // namespace mosaiq::import
