// A picture as the decoders hand it on: one 0xAARRGGBB value a pixel, row by row, alpha 0
// where it is transparent; and a rectangle of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mosaiq::import {

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  // The part of this within `other`.
  Rect within(const Rect& other) const;
  // The smallest rectangle that holds both.
  Rect joined(const Rect& other) const;
};

struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width × height

  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  Rect whole() const { return {0, 0, width, height}; }
};

// The most pixels a picture may have, and the most frames an animation: past them a file is
// refused rather than decoded into gigabytes.
constexpr std::size_t max_picture_pixels = std::size_t{16} << 20;
constexpr std::size_t max_animation_frames = 100000;

// Where a sequence of pictures goes, one at a time: each picture whole, and the rectangle where
// it differs from the one before (the whole picture for the first, or for one that stands
// alone).
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // A comment the file carries, before the frames that follow it.
  virtual void comment(const std::string& text) = 0;
  // A frame shown for `delay` hundredths of a second (-1: the file gives none); false, with
  // the problem, to stop.
  virtual bool frame(const RgbaPicture& picture, const Rect& changed, int delay,
                     std::string& problem) = 0;
};

}  // namespace mosaiq::import
