#include "import/png_reader.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace mosaiq::import {

bool is_png(std::string_view bytes) { return bytes.substr(0, 8) == "\x89PNG\r\n\x1a\n"; }

bool read_png(std::string_view bytes, RgbaPicture& picture, std::string& problem) {
  if (!is_png(bytes)) {
    problem = "it is not a PNG file";
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    problem = std::string("it is broken (") + image.message + ")";
    png_image_free(&image);
    return false;
  }
  if (static_cast<std::size_t>(image.width) * image.height > max_picture_pixels) {
    problem = "it is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
              " pixels, more than 16 MiB pixels";
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    problem = std::string("it is cut short or broken (") + image.message + ")";
    png_image_free(&image);
    return false;
  }
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const png_byte* pixel = &rgba[4 * i];
    picture.pixels[i] = std::uint32_t{pixel[3]} << 24 | std::uint32_t{pixel[0]} << 16 |
                        std::uint32_t{pixel[1]} << 8 | pixel[2];
  }
  return true;
}

}  // namespace mosaiq::import
