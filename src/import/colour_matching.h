// Which of the eight screen colours a pixel takes: the nearest by how far apart the eye sees
// them (in OKLab, lightness counting half, so that a dark blue stays blue rather than going
// dark), unless the author mapped its exact colour to a digit.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace mosaiq::import {

class ColourMatcher {
 public:
  ColourMatcher();
  // Every pixel of exactly this colour (0xRRGGBB) becomes `digit`.
  void map(std::uint32_t rgb, std::uint8_t digit);
  // The cell digit of an opaque colour.
  std::uint8_t digit(std::uint32_t rgb) const;
  // The cell digit of a colour with its alpha: drawn over the dark screen; a pixel more than half
  // transparent is dark.
  std::uint8_t digit(std::uint32_t rgb, std::uint8_t alpha) const;

 private:
  std::uint8_t nearest(std::uint32_t rgb) const;

  struct Lab {
    double l, a, b;
  };
  static Lab lab_of(std::uint32_t rgb);

  Lab screen_[8];
  std::unordered_map<std::uint32_t, std::uint8_t> mapped_;
  mutable std::unordered_map<std::uint32_t, std::uint8_t> known_;  // colours matched before
};

// The table --colors prints: every digit, its name and its RGB.
std::string colour_table();

}  // namespace mosaiq::import
