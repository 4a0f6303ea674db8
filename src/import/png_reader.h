// PNG files, decoded by libpng into 8-bit RGBA (whatever their depth, palette or gamma) and
// matched to cell digits.
#pragma once

#include <string>
#include <string_view>

#include "import/colour_matching.h"
#include "import/digit_canvas.h"

namespace mosaiq::import {

// Whether the bytes begin with the PNG signature.
bool is_png(std::string_view bytes);

// Decodes the picture into `canvas`; false, with the problem in words, when the file is not a
// PNG, is broken, or has more than 16 MiB pixels.
bool read_png(std::string_view bytes, const ColourMatcher& colours, DigitCanvas& canvas,
              std::string& problem);

}  // namespace mosaiq::import
