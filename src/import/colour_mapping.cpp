#include "import/colour_mapping.h"

#include <cmath>
#include <cstdio>
#include <map>

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

// A colour as the eye sees it (OKLab): its lightness, 0 to 1, and its colour, a and b.
struct Lab {
  double l, a, b;
  double chroma() const { return std::hypot(a, b); }
  double hue() const { return std::atan2(b, a); }
};

Lab lab_of(std::uint32_t rgb) {
  const double r = linear(rgb >> 16 & 0xff), g = linear(rgb >> 8 & 0xff), b = linear(rgb & 0xff);
  const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
  const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
  const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
  return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
          1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
          0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

// A colour with less colour than this is a grey (the screen's own greys have none; a tint
// that the eye barely tells from grey, under it).
constexpr double least_chroma = 0.04;
// A grey darker than this is ink; a lighter one is white.
constexpr double lightest_ink = 0.45;
// The most colours remembered once classified: pixel art has few; a photograph is classified
// afresh.
constexpr std::size_t most_known = 1 << 16;

double angle_between(double a, double b) {
  constexpr double pi = 3.14159265358979323846;
  const double d = std::fabs(a - b);
  return d > pi ? 2 * pi - d : d;
}

}  // namespace

ColourMapping::ColourMapping() {
  for (int digit = 1; digit < 7; ++digit)
    hue_of_[digit] = lab_of(rgb_of(cell_colours[digit])).hue();
}

void ColourMapping::map(std::uint32_t rgb, std::uint8_t digit) { mapped_[rgb & 0xffffff] = digit; }

void ColourMapping::set_background(std::uint32_t rgb) { background_ = rgb & 0xffffff; }

std::uint8_t ColourMapping::classify(std::uint32_t rgb) const {
  const Lab colour = lab_of(rgb);
  if (colour.chroma() < least_chroma) return colour.l < lightest_ink ? ink_ : 7;
  std::uint8_t best = 1;
  for (std::uint8_t digit = 2; digit < 7; ++digit) {
    if (angle_between(colour.hue(), hue_of_[digit]) < angle_between(colour.hue(), hue_of_[best])) {
      best = digit;
    }
  }
  return best;
}

std::uint8_t ColourMapping::digit(std::uint32_t argb) const {
  const std::uint32_t alpha = argb >> 24, rgb = argb & 0xffffff;
  if (alpha < 128) return 0;
  if (const auto mapped = mapped_.find(rgb); mapped != mapped_.end()) return mapped->second;
  if (background_ && rgb == *background_) return 0;
  std::uint32_t seen = rgb;
  if (alpha < 255) {
    seen = 0;
    for (const int shift : {16, 8, 0}) seen |= ((rgb >> shift & 0xff) * alpha + 127) / 255 << shift;
  }
  if (const auto known = known_.find(seen); known != known_.end()) return known->second;
  const std::uint8_t digit = classify(seen);
  if (known_.size() < most_known) known_.emplace(seen, digit);
  return digit;
}

std::optional<std::uint32_t> border_colour(const RgbaPicture& picture, const Rect& area) {
  std::map<std::uint32_t, std::size_t> counts;
  std::size_t pixels = 0;
  const auto count = [&](int x, int y) {
    const std::uint32_t argb = picture.at(x, y);
    ++pixels;
    if (argb >> 24 >= 128) ++counts[argb & 0xffffff];
  };
  for (int x = area.x; x < area.right(); ++x) {
    count(x, area.y);
    if (area.height > 1) count(x, area.bottom() - 1);
  }
  for (int y = area.y + 1; y + 1 < area.bottom(); ++y) {
    count(area.x, y);
    if (area.width > 1) count(area.right() - 1, y);
  }
  for (const auto& [rgb, n] : counts) {
    if (4 * n >= 3 * pixels) return rgb;
  }
  return std::nullopt;
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
