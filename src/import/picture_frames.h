// Where the pictures come from, frame by frame, as often as they are asked for: an animated or
// still GIF (its bytes kept), or PNG files read anew each time, each a frame or, with --sheet,
// cut into frames (left to right, then top to bottom) after --crop is applied to the sheet.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "import/rgba_picture.h"

namespace mosaiq {
class FileAccess;
}

namespace mosaiq::import {

class PictureFrames {
 public:
  virtual ~PictureFrames() = default;
  // Hands every frame to the sink, in order; false, with the problem, when a picture cannot be
  // read or used.
  virtual bool each(FrameSink& sink, std::string& problem) = 0;
  // Whether a --crop is already applied to the frames handed on (a sheet is cropped whole).
  virtual bool cropped() const = 0;
};

struct FramesRequest {
  std::vector<std::string> names;  // the files
  int sheet_columns = 0, sheet_rows = 0;
  Rect crop;  // applied to a sheet before it is cut
};

// The frames of the files; null, with the problem, when the first cannot be read, or is a GIF
// among other pictures or cut with --sheet.
std::unique_ptr<PictureFrames> picture_frames(FileAccess& files, const FramesRequest& request,
                                              std::string& problem);

// The files' bytes judged and read: a GIF or a PNG of at most this many bytes.
constexpr std::size_t max_picture_file_bytes = std::size_t{256} << 20;

// The part of a picture a crop names, checked against it; false, with the problem, when it falls
// outside.
bool crop_within(const Rect& crop, int width, int height, Rect& area, std::string& problem);

}  // namespace mosaiq::import
