// Which of the eight screen colours a pixel takes, so that a drawing stays visible on the dark
// screen: only the picture's background goes dark (0) — transparent pixels (more than half
// transparent), the colour named as the background, or else the colour that fills the
// picture's border. Every other pixel keeps a lit colour: by its hue where it has colour (a dark
// purple is magenta, a dark red red, a dark blue blue), by its lightness where it is grey (a
// light grey is white), and black or dark grey ink becomes the ink colour (blue, the darkest
// lit one, unless the author names another, or 0 to keep ink dark). The author may map any
// exact colour to a digit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "import/rgba_picture.h"

namespace mosaiq::import {

class ColourMapping {
 public:
  ColourMapping();
  // Every pixel of exactly this colour (0xRRGGBB) becomes `digit`.
  void map(std::uint32_t rgb, std::uint8_t digit);
  // Pixels of this colour are the background: dark.
  void set_background(std::uint32_t rgb);
  std::optional<std::uint32_t> background() const { return background_; }
  // The digit black and dark grey ink takes: 1 to 7, or 0 to keep it dark.
  void set_ink(std::uint8_t digit) {
    ink_ = digit;
    known_.clear();
  }
  // The cell digit of a pixel, 0xAARRGGBB; one more than half transparent is dark, one partly
  // transparent is taken as drawn over the dark screen.
  std::uint8_t digit(std::uint32_t argb) const;

 private:
  std::uint8_t classify(std::uint32_t rgb) const;

  std::unordered_map<std::uint32_t, std::uint8_t> mapped_;
  std::optional<std::uint32_t> background_;
  std::uint8_t ink_ = 1;
  double hue_of_[8] = {};  // the screen colours' hues, in radians
  mutable std::unordered_map<std::uint32_t, std::uint8_t> known_;  // colours classified before
};

// The colour that fills most of the area's border (three quarters of its pixels or more),
// opaque; none where no colour does, or where the border is transparent.
std::optional<std::uint32_t> border_colour(const RgbaPicture& picture, const Rect& area);

// The table --colors prints: every digit, its name and its RGB.
std::string colour_table();

}  // namespace mosaiq::import
