// GIF files, still or animated, decoded by giflib and composited frame by frame as browsers
// show them: each frame drawn over what the one before left (its transparent pixels letting
// that show through), then disposed of as it asks, to transparency or to what was there before
// it; frames smaller than the canvas, and their own colour tables, as the format allows. A frame
// costs what it covers, not the canvas: only its rectangle is drawn, kept or disposed of.
#pragma once

#include <string>
#include <string_view>

#include "import/rgba_picture.h"

namespace mosaiq::import {

// Whether the bytes begin as a GIF file does.
bool is_gif(std::string_view bytes);

// Decodes every frame into `sink`; false, with the problem in words, when the file is not a GIF,
// is cut short or broken, or is larger than a picture or an animation may be.
bool read_gif(std::string_view bytes, FrameSink& sink, std::string& problem);

}  // namespace mosaiq::import
