// GIFs written by giflib: the first frame whole, every later one as the rectangle it changes.
#include <gif_lib.h>

#include <algorithm>
#include <memory>

#include "convert/cell_colours.h"
#include "view/bitmap_font.h"
#include "view/gif_writer.h"

namespace mosaiq::view {

namespace {

int write_bytes(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::string*>(gif->UserData)
      ->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
  return count;
}

struct CloseGif {
  void operator()(GifFileType* gif) const {
    int error;
    EGifCloseFile(gif, &error);
  }
};

// The picture of one frame: palette indices (cell digits), row by row.
class Canvas {
 public:
  Canvas(const ScreenGrid& grid, const GifLook& look)
      : grid_(grid),
        look_(look),
        font_(std::max(1, look.scale / 8)),
        band_(look.panel ? 2 * line_height * font_ + 2 * font_ : 0),
        width_(grid.width * look.scale),
        height_(grid.height * look.scale + band_),
        pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

  int width() const { return width_; }
  int height() const { return height_; }
  int band() const { return band_; }
  const std::vector<GifPixelType>& pixels() const { return pixels_; }

  void draw(const GifFrame& frame) {
    std::fill(pixels_.begin(), pixels_.end(), 0);
    for (int row = 0; row < grid_.height; ++row) {
      for (int column = 0; column < grid_.width; ++column) {
        fill(column * look_.scale, band_ + row * look_.scale, look_.scale, look_.scale,
             frame.cells[static_cast<std::size_t>(row * grid_.width + column)]);
      }
    }
    if (look_.panel) {
      const std::size_t split = frame.panel.find('\n');
      text(frame.panel.substr(0, split), font_, 6);  // yellow, as the pattern row is
      text(split == std::string::npos ? "" : frame.panel.substr(split + 1),
           font_ + line_height * font_, 7);
    }
  }

 private:
  void fill(int x, int y, int w, int h, GifPixelType colour) {
    for (int py = y; py < y + h; ++py) {
      std::fill_n(&pixels_[static_cast<std::size_t>(py) * width_ + x], w, colour);
    }
  }

  void text(const std::string& line, int top, GifPixelType colour) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      const int left = font_ + static_cast<int>(i) * glyph_advance * font_;
      if (left + glyph_width * font_ > width_) return;
      for (int y = 0; y < glyph_height; ++y) {
        for (int x = 0; x < glyph_width; ++x) {
          if (glyph_pixel(line[i], x, y))
            fill(left + x * font_, top + y * font_, font_, font_, colour);
        }
      }
    }
  }

  ScreenGrid grid_;
  GifLook look_;
  int font_;  // pixels a font pixel
  int band_;  // the panel's height
  int width_, height_;
  std::vector<GifPixelType> pixels_;
};

// The rectangle where two pictures differ; empty (width 0) where they do not.
struct Change {
  int left = 0, top = 0, width = 0, height = 0;
};

Change changed(const std::vector<GifPixelType>& before, const std::vector<GifPixelType>& after,
               int width, int height) {
  int left = width, right = -1, top = height, bottom = -1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * width + x;
      if (before[at] == after[at]) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return right < 0 ? Change{} : Change{left, top, right - left + 1, bottom - top + 1};
}

class GifOutput {
 public:
  GifOutput(std::string& bytes, const Canvas& canvas, int scale)
      : bytes_(bytes), canvas_(canvas), scale_(scale) {}

  bool open() {
    int error = 0;
    gif_.reset(EGifOpen(&bytes_, write_bytes, &error));
    if (!gif_) return false;
    EGifSetGifVersion(gif_.get(), true);
    GifColorType colours[8];
    for (int digit = 0; digit < 8; ++digit) {
      colours[digit] = {cell_colours[digit].red, cell_colours[digit].green,
                        cell_colours[digit].blue};
    }
    ColorMapObject* map = GifMakeMapObject(8, colours);
    const bool written =
        map != nullptr &&
        EGifPutScreenDesc(gif_.get(), canvas_.width(), canvas_.height(), 8, 0, map) == GIF_OK &&
        EGifPutComment(gif_.get(), comment().c_str()) == GIF_OK && loop_forever();
    GifFreeMapObject(map);
    return written;
  }

  // One frame: the rectangle that changed, shown for `delay` hundredths (at most 655.35 s a
  // GIF frame: a longer one is followed by unchanged ones).
  bool frame(const std::vector<GifPixelType>& pixels, const Change& area, std::int64_t delay) {
    for (bool first = true; first || delay > 0; first = false) {
      const int part = static_cast<int>(std::min<std::int64_t>(delay, 65535));
      delay -= part;
      GraphicsControlBlock control{DISPOSE_DO_NOT, false, part, NO_TRANSPARENT_COLOR};
      GifByteType extension[4];
      const std::size_t length = EGifGCBToExtension(&control, extension);
      const Change drawn = first ? area : Change{0, 0, 1, 1};
      if (EGifPutExtension(gif_.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length),
                           extension) != GIF_OK ||
          EGifPutImageDesc(gif_.get(), drawn.left, drawn.top, drawn.width, drawn.height, false,
                           nullptr) != GIF_OK) {
        return false;
      }
      for (int y = drawn.top; y < drawn.top + drawn.height; ++y) {
        GifPixelType* row = const_cast<GifPixelType*>(
            &pixels[static_cast<std::size_t>(y) * canvas_.width() + drawn.left]);
        if (EGifPutLine(gif_.get(), row, drawn.width) != GIF_OK) return false;
      }
    }
    return true;
  }

  bool close() {
    int error = 0;
    return EGifCloseFile(gif_.release(), &error) == GIF_OK;
  }

 private:
  bool loop_forever() {
    static const GifByteType netscape[] = "NETSCAPE2.0";
    static const GifByteType forever[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif_.get(), APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif_.get(), 11, netscape) == GIF_OK &&
           EGifPutExtensionBlock(gif_.get(), 3, forever) == GIF_OK &&
           EGifPutExtensionTrailer(gif_.get()) == GIF_OK;
  }

  // Says it is mosaiq-view's, and where the grid is, for mosaiq-import to read.
  std::string comment() const { return grid_gif_comment({scale_, canvas_.band()}); }

  std::string& bytes_;
  const Canvas& canvas_;
  int scale_;
  std::unique_ptr<GifFileType, CloseGif> gif_;
};

}  // namespace

bool can_write_gifs() { return true; }

bool write_gif(const std::vector<GifFrame>& frames, const ScreenGrid& grid, const GifLook& look,
               std::string& bytes, std::string& problem) {
  bytes.clear();
  Canvas canvas(grid, look);
  GifOutput output(bytes, canvas, look.scale);
  if (!output.open()) {
    problem = "giflib cannot start a GIF";
    return false;
  }
  std::vector<GifPixelType> before;
  for (const GifFrame& frame : frames) {
    canvas.draw(frame);
    Change area = before.empty()
                      ? Change{0, 0, canvas.width(), canvas.height()}
                      : changed(before, canvas.pixels(), canvas.width(), canvas.height());
    if (area.width == 0) area = {0, 0, 1, 1};  // only the panel's hidden part changed
    if (!output.frame(canvas.pixels(), area, frame.delay)) {
      problem = "giflib cannot write the GIF";
      return false;
    }
    before = canvas.pixels();
  }
  if (!output.close()) {
    problem = "giflib cannot finish the GIF";
    return false;
  }
  return true;
}

}  // namespace mosaiq::view
