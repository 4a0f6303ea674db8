// PNG files, decoded by libpng into 8-bit RGBA, whatever their depth, palette or gamma.
#pragma once

#include <string>
#include <string_view>

#include "import/rgba_picture.h"

namespace mosaiq::import {

// Whether the bytes begin with the PNG signature.
bool is_png(std::string_view bytes);

// Decodes the picture; false, with the problem in words, when the file is not a PNG, is broken,
// or has more than 16 MiB pixels.
bool read_png(std::string_view bytes, RgbaPicture& picture, std::string& problem);

}  // namespace mosaiq::import
