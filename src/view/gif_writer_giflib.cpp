// GIFs written by giflib: the first frame whole, every later one as the rectangle it changes.
#include <gif_lib.h>

#include <algorithm>
#include <memory>

#include "convert/cell_colours.h"
#include "platform/file_marks.h"
#include "view/bitmap_font.h"
#include "view/gif_writer.h"

namespace mosaiq::view {

namespace {

// giflib's output, into the sink: a refused write is a short count, which giflib reports.
int write_bytes(GifFileType* gif, const GifByteType* bytes, int count) {
  ByteSink& out = *static_cast<ByteSink*>(gif->UserData);
  return out.write(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count)) ? count
                                                                                          : 0;
}

struct CloseGif {
  void operator()(GifFileType* gif) const {
    int error;
    EGifCloseFile(gif, &error);
  }
};

// The rectangle where two pictures differ; empty (width 0) where they do not.
struct Change {
  int left = 0, top = 0, width = 0, height = 0;

  void add(int x, int y, int w, int h) {
    if (width == 0) {
      *this = {x, y, w, h};
      return;
    }
    const int right = std::max(left + width, x + w), bottom = std::max(top + height, y + h);
    left = std::min(left, x);
    top = std::min(top, y);
    width = right - left;
    height = bottom - top;
  }
};

// The picture of one frame: palette indices (cell digits), row by row. Each frame is drawn over
// the one before, cell by cell where cells changed, so that a frame costs what it changes.
class Canvas {
 public:
  Canvas(const GifArea& grid, const GifLook& look)
      : grid_(grid),
        look_(look),
        font_(std::max(1, look.scale / 8)),
        band_(look.panel ? 2 * line_height * font_ + 2 * font_ : 0),
        width_(grid.columns * look.scale),
        height_(grid.rows * look.scale + band_),
        pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

  int width() const { return width_; }
  int height() const { return height_; }
  int band() const { return band_; }
  const std::vector<GifPixelType>& pixels() const { return pixels_; }

  // Draws the frame; returns where the picture changed (all of it for the first frame).
  Change draw(const GifFrame& frame) {
    Change change;
    const bool first = cells_.empty();
    if (first) {
      cells_.assign(frame.cells.size(), 0xff);
      change.add(0, 0, width_, height_);
    }
    for (int row = 0; row < grid_.rows; ++row) {
      for (int column = 0; column < grid_.columns; ++column) {
        const auto at = static_cast<std::size_t>(row * grid_.columns + column);
        if (frame.cells[at] == cells_[at]) continue;
        cells_[at] = frame.cells[at];
        const int x = column * look_.scale, y = band_ + row * look_.scale;
        fill(x, y, look_.scale, look_.scale, frame.cells[at]);
        change.add(x, y, look_.scale, look_.scale);
      }
    }
    if (look_.panel && (first || frame.panel != panel_)) draw_panel(frame.panel, change);
    return change;
  }

 private:
  // The panel's band drawn anew; the rows where its pixels changed join the change.
  void draw_panel(const std::string& panel, Change& change) {
    panel_ = panel;
    const std::size_t size = static_cast<std::size_t>(band_) * static_cast<std::size_t>(width_);
    const std::vector<GifPixelType> before(pixels_.begin(), pixels_.begin() + size);
    std::fill_n(pixels_.begin(), size, 0);
    const std::size_t split = panel.find('\n');
    text(panel.substr(0, split), font_, 6);  // yellow, as the pattern row is
    text(split == std::string::npos ? "" : panel.substr(split + 1), font_ + line_height * font_, 7);
    for (int y = 0; y < band_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
        if (before[at] != pixels_[at]) change.add(x, y, 1, 1);
      }
    }
  }

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

  GifArea grid_;
  GifLook look_;
  int font_;  // pixels a font pixel
  int band_;  // the panel's height
  int width_, height_;
  std::vector<GifPixelType> pixels_;
  std::vector<std::uint8_t> cells_;  // the cells drawn; none before the first frame
  std::string panel_;                // the panel drawn
};

class GiflibWriter : public GifWriter {
 public:
  GiflibWriter(const GifArea& area, const GifLook& look)
      : canvas_(area, look), scale_(look.scale) {}

  bool start(ByteSink& out) {
    int error = 0;
    gif_.reset(EGifOpen(&out, write_bytes, &error));
    if (!gif_) return fail("giflib cannot start a GIF");
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
        EGifPutComment(gif_.get(), grid_gif_comment({scale_, canvas_.band()}).c_str()) == GIF_OK &&
        loop_forever();
    GifFreeMapObject(map);
    return written || fail("giflib cannot write the GIF");
  }

  bool frame(const GifFrame& frame) override {
    Change area = canvas_.draw(frame);
    if (area.width == 0) area = {0, 0, 1, 1};  // only the panel's hidden part changed
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, static_cast<int>(frame.delay),
                                 NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif_.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
            GIF_OK ||
        EGifPutImageDesc(gif_.get(), area.left, area.top, area.width, area.height, false,
                         nullptr) != GIF_OK) {
      return fail("giflib cannot write the GIF");
    }
    const std::vector<GifPixelType>& pixels = canvas_.pixels();
    for (int y = area.top; y < area.top + area.height; ++y) {
      GifPixelType* row = const_cast<GifPixelType*>(
          &pixels[static_cast<std::size_t>(y) * canvas_.width() + area.left]);
      if (EGifPutLine(gif_.get(), row, area.width) != GIF_OK) {
        return fail("giflib cannot write the GIF");
      }
    }
    return true;
  }

  bool finish() override {
    int error = 0;
    return EGifCloseFile(gif_.release(), &error) == GIF_OK || fail("giflib cannot finish the GIF");
  }

  const std::string& problem() const override { return problem_; }

 private:
  bool fail(const char* why) {
    if (problem_.empty()) problem_ = why;
    return false;
  }

  bool loop_forever() {
    static const GifByteType netscape[] = "NETSCAPE2.0";
    static const GifByteType forever[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif_.get(), APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif_.get(), 11, netscape) == GIF_OK &&
           EGifPutExtensionBlock(gif_.get(), 3, forever) == GIF_OK &&
           EGifPutExtensionTrailer(gif_.get()) == GIF_OK;
  }

  Canvas canvas_;
  int scale_;
  std::unique_ptr<GifFileType, CloseGif> gif_;
  std::string problem_;
};

}  // namespace

bool can_write_gifs() { return true; }

std::unique_ptr<GifWriter> start_gif(ByteSink& out, const GifArea& area, const GifLook& look,
                                     std::string& problem) {
  const std::int64_t band = look.panel ? (2 * line_height + 2) * std::max(1, look.scale / 8) : 0;
  const std::int64_t width = static_cast<std::int64_t>(area.columns) * look.scale,
                     height = static_cast<std::int64_t>(area.rows) * look.scale + band;
  if (width < 1 || height < 1 || width > largest_gif_side || height > largest_gif_side) {
    problem = "a GIF of " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels cannot be written: a GIF has 1 to 65535 pixels a side";
    return nullptr;
  }
  auto writer = std::make_unique<GiflibWriter>(area, look);
  if (!writer->start(out)) {
    problem = writer->problem();
    return nullptr;
  }
  return writer;
}

}  // namespace mosaiq::view
