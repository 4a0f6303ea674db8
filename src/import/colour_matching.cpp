#include "import/colour_matching.h"

#include <cmath>
#include <cstdio>

#include "convert/cell_colours.h"

namespace mosaiq::import {

namespace {

std::uint32_t rgb_of(const CellColour& colour) {
  return std::uint32_t{colour.red} << 16 | std::uint32_t{colour.green} << 8 | colour.blue;
}

// An sRGB channel, 0 to 255, as linear light.
double linear(std::uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The most colours remembered once matched: pixel art has few; a photograph is matched afresh.
constexpr std::size_t most_known = 1 << 16;

}  // namespace

ColourMatcher::ColourMatcher() {
  for (int digit = 0; digit < 8; ++digit) screen_[digit] = lab_of(rgb_of(cell_colours[digit]));
}

void ColourMatcher::map(std::uint32_t rgb, std::uint8_t digit) { mapped_[rgb & 0xffffff] = digit; }

ColourMatcher::Lab ColourMatcher::lab_of(std::uint32_t rgb) {
  const double r = linear(rgb >> 16 & 0xff), g = linear(rgb >> 8 & 0xff), b = linear(rgb & 0xff);
  const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
  const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
  const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
  return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
          1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
          0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

std::uint8_t ColourMatcher::nearest(std::uint32_t rgb) const {
  const Lab colour = lab_of(rgb);
  std::uint8_t best = 0;
  double best_distance = 1e9;
  for (std::uint8_t digit = 0; digit < 8; ++digit) {
    const double dl = (colour.l - screen_[digit].l) / 2, da = colour.a - screen_[digit].a,
                 db = colour.b - screen_[digit].b;
    const double distance = dl * dl + da * da + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = digit;
    }
  }
  return best;
}

std::uint8_t ColourMatcher::digit(std::uint32_t rgb) const {
  rgb &= 0xffffff;
  if (const auto mapped = mapped_.find(rgb); mapped != mapped_.end()) return mapped->second;
  if (const auto known = known_.find(rgb); known != known_.end()) return known->second;
  const std::uint8_t digit = nearest(rgb);
  if (known_.size() < most_known) known_.emplace(rgb, digit);
  return digit;
}

std::uint8_t ColourMatcher::digit(std::uint32_t rgb, std::uint8_t alpha) const {
  if (alpha == 255) return digit(rgb);
  if (alpha < 128) return 0;
  if (const auto mapped = mapped_.find(rgb & 0xffffff); mapped != mapped_.end()) {
    return mapped->second;
  }
  std::uint32_t over_dark = 0;
  for (const int shift : {16, 8, 0}) {
    over_dark |= ((rgb >> shift & 0xff) * alpha + 127) / 255 << shift;
  }
  return digit(over_dark);
}

std::string colour_table() {
  std::string table = "digit\tname\trgb\n";
  for (int digit = 0; digit < 8; ++digit) {
    const CellColour& colour = cell_colours[digit];
    char line[48];
    std::snprintf(line, sizeof line, "%d\t%s\t#%02x%02x%02x\n", digit, colour.name, colour.red,
                  colour.green, colour.blue);
    table += line;
  }
  return table;
}

}  // namespace mosaiq::import
