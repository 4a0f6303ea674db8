// A picture as the decoders hand it on: one cell digit (0 to 7) a pixel, its colour already
// matched, row by row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mosaiq::import {

struct DigitCanvas {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width × height

  std::uint8_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// The most pixels a picture may have, and the most frames an animation: past them a file is
// refused rather than decoded into gigabytes.
constexpr std::size_t max_picture_pixels = std::size_t{16} << 20;
constexpr std::size_t max_animation_frames = 100000;

// Where an animation's frames go as they are decoded, one at a time.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // A comment the file carries, before the frames that follow it.
  virtual void comment(const std::string& text) = 0;
  // A frame shown for `delay` hundredths of a second (-1: the file gives none); false, with
  // the problem, to stop.
  virtual bool frame(const DigitCanvas& canvas, int delay, std::string& problem) = 0;
};

}  // namespace mosaiq::import
