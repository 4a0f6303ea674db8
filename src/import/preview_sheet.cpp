#include "import/preview_sheet.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "convert/cell_colours.h"

namespace mosaiq::import {

namespace {

// The text chunk that marks a sheet, right after the header.
constexpr char mark_key[] = "Software";
constexpr char mark_text[] = "mosaiq-import preview";

constexpr std::uint32_t sheet_colour = 0xff202020;  // around and between the pictures
constexpr int gap = 8;                              // pixels between them

std::uint32_t cell_argb(std::uint8_t digit) {
  const CellColour& c = cell_colours[digit & 7];
  return 0xff000000u | std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
}

// The sheet as pixels: for each frame kept, its source scaled up by `scale`, its transparent
// pixels on a chequer, and beside it its cells, as tall.
struct Sheet {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;

  void fill(int x, int y, int w, int h, std::uint32_t argb) {
    for (int py = y; py < y + h; ++py) {
      std::fill_n(&pixels[static_cast<std::size_t>(py) * width + x], w, argb);
    }
  }
};

Sheet draw_sheet(const ImportedPictures& pictures) {
  const RgbaPicture& first = pictures.sources.front();
  const int scale = std::max(1, 160 / std::max(first.width, first.height));
  const int cell = std::max(2, (first.height * scale + pictures.height - 1) / pictures.height);
  const int source_width = first.width * scale,
            row_height = std::max(first.height * scale, pictures.height * cell);
  Sheet sheet;
  sheet.width = gap + source_width + gap + pictures.width * cell + gap;
  const auto rows = static_cast<int>(pictures.sources.size());
  sheet.height = gap + rows * (row_height + gap);
  sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * sheet.height, sheet_colour);
  for (int k = 0; k < rows; ++k) {
    const RgbaPicture& source = pictures.sources[static_cast<std::size_t>(k)];
    const int top = gap + k * (row_height + gap);
    for (int y = 0; y < source.height; ++y) {
      for (int x = 0; x < source.width; ++x) {
        const std::uint32_t argb = source.at(x, y);
        const bool light = ((x + y) & 1) != 0;
        sheet.fill(gap + x * scale, top + y * scale, scale, scale,
                   argb >> 24 >= 128 ? argb | 0xff000000u
                   : light           ? 0xff606060
                                     : 0xff404040);
      }
    }
    const CellPicture& cells = pictures.pictures[static_cast<std::size_t>(k)];
    const int left = gap + source_width + gap;
    for (int y = 0; y < pictures.height; ++y) {
      for (int x = 0; x < pictures.width; ++x) {
        sheet.fill(left + x * cell, top + y * cell, cell, cell,
                   cell_argb(cells[static_cast<std::size_t>(y * pictures.width + x)]));
      }
    }
  }
  return sheet;
}

void write_to_sink(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<ByteSink*>(png_get_io_ptr(png));
  if (!out->write(reinterpret_cast<const char*>(data), size)) png_error(png, "write failed");
}

void flush_nothing(png_structp) {}

bool write_png(const Sheet& sheet, ByteSink& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, write_to_sink, flush_nothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(sheet.width),
               static_cast<png_uint_32>(sheet.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_text mark{};
  mark.compression = PNG_TEXT_COMPRESSION_NONE;
  mark.key = const_cast<char*>(mark_key);
  mark.text = const_cast<char*>(mark_text);
  png_set_text(png, info, &mark, 1);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<std::size_t>(sheet.width) * 3);
  for (int y = 0; y < sheet.height; ++y) {
    for (int x = 0; x < sheet.width; ++x) {
      const std::uint32_t argb = sheet.pixels[static_cast<std::size_t>(y) * sheet.width + x];
      row[3 * static_cast<std::size_t>(x)] = static_cast<png_byte>(argb >> 16);
      row[3 * static_cast<std::size_t>(x) + 1] = static_cast<png_byte>(argb >> 8);
      row[3 * static_cast<std::size_t>(x) + 2] = static_cast<png_byte>(argb);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool write_preview_sheet(const ImportedPictures& pictures, ByteSink& out, std::string& problem) {
  if (pictures.sources.empty()) {
    problem = "no frame to show";
    return false;
  }
  if (!write_png(draw_sheet(pictures), out)) {
    problem = "libpng cannot write the sheet";
    return false;
  }
  return true;
}

bool preview_written_by_import(std::string_view first_bytes) {
  // The signature (8 bytes), the header chunk (25), then the text chunk: its length, its type,
  // the key, a zero byte and the text.
  const std::string chunk = std::string("tEXt") + mark_key + std::string(1, '\0') + mark_text;
  return first_bytes.substr(0, 8) == "\x89PNG\r\n\x1a\n" &&
         first_bytes.size() >= 33 + 4 + chunk.size() &&
         first_bytes.substr(33 + 4, chunk.size()) == chunk;
}

}  // namespace mosaiq::import
