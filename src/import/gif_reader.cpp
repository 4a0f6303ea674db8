#include "import/gif_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/failure.h"

namespace mosaiq::import {

namespace {

struct Reader {
  std::string_view bytes;
  std::size_t at = 0;
};

int read_bytes(GifFileType* gif, GifByteType* into, int count) {
  Reader& reader = *static_cast<Reader*>(gif->UserData);
  const std::size_t size =
      std::min(static_cast<std::size_t>(std::max(count, 0)), reader.bytes.size() - reader.at);
  std::memcpy(into, reader.bytes.data() + reader.at, size);
  reader.at += size;
  return static_cast<int>(size);
}

struct CloseGif {
  void operator()(GifFileType* gif) const {
    int error;
    DGifCloseFile(gif, &error);
  }
};

std::string broken(int error) {
  const char* why = GifErrorString(error);
  return std::string("it is cut short or broken") +
         (why != nullptr ? std::string(" (") + why + ")" : "");
}

// What a frame asks to become of it before the next is drawn: its rectangle to transparency
// (background), or to what it covered (previous, kept for that).
struct Disposal {
  int mode = DISPOSAL_UNSPECIFIED;
  Rect area;
  std::vector<std::uint32_t> before;  // the area as it was, for "previous"
};

void dispose(RgbaPicture& canvas, Disposal& disposal) {
  const Rect& area = disposal.area;
  for (int y = area.y; y < area.bottom(); ++y) {
    std::uint32_t* row = &canvas.pixels[static_cast<std::size_t>(y) * canvas.width + area.x];
    if (disposal.mode == DISPOSE_BACKGROUND) {
      std::fill_n(row, area.width, 0u);
    } else if (disposal.mode == DISPOSE_PREVIOUS && !disposal.before.empty()) {
      std::copy_n(&disposal.before[static_cast<std::size_t>(y - area.y) * area.width], area.width,
                  row);
    }
  }
  disposal = Disposal{};
}

// The canvas's pixels in the area, row by row.
std::vector<std::uint32_t> pixels_in(const RgbaPicture& canvas, const Rect& area) {
  std::vector<std::uint32_t> kept;
  kept.reserve(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height));
  for (int y = area.y; y < area.bottom(); ++y) {
    const auto row =
        canvas.pixels.begin() + (static_cast<std::ptrdiff_t>(y) * canvas.width + area.x);
    kept.insert(kept.end(), row, row + area.width);
  }
  return kept;
}

// The row of an interlaced image that its `index`-th line fills: every 8th from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1.
int interlaced_row(int index, int height) {
  static constexpr int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const int rows =
        starts[pass] < height ? (height - starts[pass] + steps[pass] - 1) / steps[pass] : 0;
    if (index < rows) return starts[pass] + index * steps[pass];
    index -= rows;
  }
  return 0;
}

// One animation decoded: the canvas, the frame being read, and the disposal still to come.
class GifDecoding {
 public:
  GifDecoding(GifFileType* gif, FrameSink& sink) : gif_(gif), sink_(sink) {}

  bool run(std::string& problem) {
    const auto width = static_cast<std::size_t>(gif_->SWidth),
               height = static_cast<std::size_t>(gif_->SHeight);
    if (width == 0 || height == 0) return fail(problem, "it has no pixels");
    if (width * height > max_picture_pixels) {
      return fail(problem, "it is " + std::to_string(width) + " x " + std::to_string(height) +
                               " pixels, more than 16 MiB pixels a frame");
    }
    canvas_ = {gif_->SWidth, gif_->SHeight, std::vector<std::uint32_t>(width * height, 0)};
    for (GifRecordType record = UNDEFINED_RECORD_TYPE; record != TERMINATE_RECORD_TYPE;) {
      if (DGifGetRecordType(gif_, &record) == GIF_ERROR) return fail(problem, broken(gif_->Error));
      if (record == EXTENSION_RECORD_TYPE && !extension(problem)) return false;
      if (record == IMAGE_DESC_RECORD_TYPE && !image(problem)) return false;
    }
    if (frames_ == 0) return fail(problem, "it holds no picture");
    return true;
  }

 private:
  // A graphic control extension sets the next frame's delay, transparency and disposal.
  bool extension(std::string& problem) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR)
      return fail(problem, broken(gif_->Error));
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4 &&
        DGifExtensionToGCB(block[0], block + 1, &control_) == GIF_OK) {
      controlled_ = true;
    }
    std::string comment;
    while (block != nullptr) {
      if (code == COMMENT_EXT_FUNC_CODE && comment.size() < 4096) {
        comment.append(reinterpret_cast<const char*>(block + 1), block[0]);
      }
      if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR)
        return fail(problem, broken(gif_->Error));
    }
    if (code == COMMENT_EXT_FUNC_CODE) sink_.comment(comment);
    return true;
  }

  bool image(std::string& problem) {
    if (DGifGetImageDesc(gif_) == GIF_ERROR) return fail(problem, broken(gif_->Error));
    if (++frames_ > max_animation_frames) return fail(problem, "it has more than 100,000 frames");
    const GifImageDesc& desc = gif_->Image;
    if (static_cast<std::size_t>(desc.Width) * static_cast<std::size_t>(desc.Height) >
        max_picture_pixels) {
      return fail(problem, "a frame of " + std::to_string(desc.Width) + " x " +
                               std::to_string(desc.Height) + " pixels, more than 16 MiB pixels");
    }
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif_->SColorMap;
    if (map == nullptr)
      return fail(problem, "frame " + std::to_string(frames_) + " has no colours");
    std::uint32_t colours[256] = {};
    for (int i = 0; i < map->ColorCount && i < 256; ++i) {
      const GifColorType& c = map->Colors[i];
      colours[i] = 0xff000000u | std::uint32_t{c.Red} << 16 | std::uint32_t{c.Green} << 8 | c.Blue;
    }
    Rect changed = frames_ == 1 ? canvas_.whole() : disposal_.area;
    dispose(canvas_, disposal_);
    const Rect area = Rect{desc.Left, desc.Top, desc.Width, desc.Height}.within(canvas_.whole());
    const int mode = controlled_ ? control_.DisposalMode : DISPOSAL_UNSPECIFIED;
    if (mode == DISPOSE_PREVIOUS) disposal_.before = pixels_in(canvas_, area);
    if (!draw(desc, colours, map->ColorCount, problem)) return false;
    disposal_.mode = mode;
    disposal_.area = area;
    const int delay = controlled_ ? control_.DelayTime : -1;
    controlled_ = false;
    // giflib keeps a record of every frame read, growing them one at a time: dropped at once,
    // so that many frames cost no more than one.
    GifFreeSavedImages(gif_);
    gif_->ImageCount = 0;
    return sink_.frame(canvas_, changed.joined(area), delay, problem);
  }

  // The frame's pixels over the canvas; a transparent one, or one outside the canvas, leaves it.
  bool draw(const GifImageDesc& desc, const std::uint32_t* palette, int colours,
            std::string& problem) {
    const int transparent = controlled_ ? control_.TransparentColor : NO_TRANSPARENT_COLOR;
    std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
    for (int i = 0; i < desc.Height; ++i) {
      if (DGifGetLine(gif_, line.data(), desc.Width) == GIF_ERROR)
        return fail(problem, broken(gif_->Error));
      const int y = desc.Top + (desc.Interlace ? interlaced_row(i, desc.Height) : i);
      if (y < 0 || y >= canvas_.height) continue;
      std::uint32_t* row = &canvas_.pixels[static_cast<std::size_t>(y) * canvas_.width];
      for (int x = 0; x < desc.Width; ++x) {
        const int at = desc.Left + x, index = line[static_cast<std::size_t>(x)];
        if (at < 0 || at >= canvas_.width || index == transparent) continue;
        row[at] = index < colours ? palette[index] : 0;
      }
    }
    return true;
  }

  GifFileType* gif_;
  FrameSink& sink_;
  RgbaPicture canvas_;
  Disposal disposal_;
  GraphicsControlBlock control_{};
  bool controlled_ = false;  // a graphic control extension came before the frame
  std::size_t frames_ = 0;
};

}  // namespace

bool is_gif(std::string_view bytes) {
  return bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a";
}

bool read_gif(std::string_view bytes, FrameSink& sink, std::string& problem) {
  if (!is_gif(bytes)) {
    problem = "it is not a GIF file";
    return false;
  }
  Reader reader{bytes};
  int error = 0;
  const std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&reader, read_bytes, &error));
  if (!gif) {
    problem = broken(error);
    return false;
  }
  GifDecoding decoding(gif.get(), sink);
  return decoding.run(problem);
}

}  // namespace mosaiq::import
