// Pictures built in the tests with the libraries' own writers: GIFs frame by frame, as an
// editor would export them, and PNGs from RGBA pixels.
#pragma once

#include <gif_lib.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace mosaiq::import::testing {

struct GifFrameSpec {
  GifFrameSpec(int left_, int top_, int width_, int height_, std::vector<std::uint8_t> indices_,
               int disposal_ = DISPOSE_DO_NOT, int transparent_ = NO_TRANSPARENT_COLOR,
               int delay_ = 10, std::vector<std::uint32_t> local_ = {}, bool interlace_ = false)
      : left(left_),
        top(top_),
        width(width_),
        height(height_),
        indices(std::move(indices_)),
        disposal(disposal_),
        transparent(transparent_),
        delay(delay_),
        local(std::move(local_)),
        interlace(interlace_) {}
  int left, top, width, height;
  std::vector<std::uint8_t> indices;  // width × height palette indices
  int disposal;
  int transparent;
  int delay;                         // hundredths of a second; -1: no control block
  std::vector<std::uint32_t> local;  // a palette of its own, 0xRRGGBB each
  bool interlace;
};

inline ColorMapObject* palette(const std::vector<std::uint32_t>& colours) {
  int size = 2;
  while (size < static_cast<int>(colours.size())) size *= 2;
  std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < colours.size(); ++i) {
    entries[i] = {static_cast<GifByteType>(colours[i] >> 16),
                  static_cast<GifByteType>(colours[i] >> 8), static_cast<GifByteType>(colours[i])};
  }
  return GifMakeMapObject(size, entries.data());
}

inline std::string gif_file(int width, int height, const std::vector<std::uint32_t>& global,
                            const std::vector<GifFrameSpec>& frames) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(
      &out,
      [](GifFileType* file, const GifByteType* bytes, int count) {
        static_cast<std::string*>(file->UserData)
            ->append(reinterpret_cast<const char*>(bytes), count);
        return count;
      },
      &error);
  EGifSetGifVersion(gif, true);
  ColorMapObject* map = global.empty() ? nullptr : palette(global);
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  GifFreeMapObject(map);
  for (const GifFrameSpec& frame : frames) {
    if (frame.delay >= 0) {
      GraphicsControlBlock control{frame.disposal, false, frame.delay, frame.transparent};
      GifByteType extension[4];
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE,
                       static_cast<int>(EGifGCBToExtension(&control, extension)), extension);
    }
    ColorMapObject* local = frame.local.empty() ? nullptr : palette(frame.local);
    EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlace, local);
    GifFreeMapObject(local);
    std::vector<GifPixelType> rows(frame.indices.begin(), frame.indices.end());
    // An interlaced image is sent every 8th row from 0, every 8th from 4, every 4th from 2,
    // then every 2nd from 1.
    std::vector<int> order;
    if (frame.interlace) {
      for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
        for (int y = start; y < frame.height; y += step) order.push_back(y);
      }
    } else {
      for (int y = 0; y < frame.height; ++y) order.push_back(y);
    }
    for (const int y : order)
      EGifPutLine(gif, &rows[static_cast<std::size_t>(y * frame.width)], frame.width);
    // giflib keeps the frame's own palette and never frees it.
    GifFreeMapObject(gif->Image.ColorMap);
    gif->Image.ColorMap = nullptr;
  }
  EGifCloseFile(gif, &error);
  return out;
}

// A PNG of RGBA pixels, 0xRRGGBBAA each.
inline std::string png_file(int width, int height, const std::vector<std::uint32_t>& pixels) {
  std::vector<png_byte> rgba;
  for (const std::uint32_t p : pixels) {
    for (const int shift : {24, 16, 8, 0}) rgba.push_back(static_cast<png_byte>(p >> shift));
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
  std::string out(size, '\0');
  png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr);
  out.resize(size);
  return out;
}

}  // namespace mosaiq::import::testing
