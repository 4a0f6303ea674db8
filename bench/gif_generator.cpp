// Writes an animated GIF for the benchmark of mosaiq-import: WIDTH x HEIGHT pixels, FRAMES frames
// of 4 hundredths each, whole frames of pixel art in blocks of 4 pixels (bars and a ball that
// move, in the eight screen colours), the same bytes on every run.
//
// usage: gif_generator FRAMES WIDTH HEIGHT > OUT.gif
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: gif_generator FRAMES WIDTH HEIGHT > OUT.gif\n");
    return 2;
  }
  const int frames = std::atoi(argv[1]), width = std::atoi(argv[2]), height = std::atoi(argv[3]);
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
  GifColorType colours[8] = {{0, 0, 0},          {0x44, 0x66, 0xff}, {0xff, 0x33, 0x33},
                             {0xee, 0x33, 0xee}, {0x33, 0xee, 0x33}, {0x33, 0xee, 0xee},
                             {0xee, 0xee, 0x33}, {0xee, 0xee, 0xee}};
  ColorMapObject* map = GifMakeMapObject(8, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  std::vector<GifPixelType> row(static_cast<std::size_t>(width));
  for (int f = 0; f < frames; ++f) {
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, 4, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE,
                     static_cast<int>(EGifGCBToExtension(&control, extension)), extension);
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    const int ball_x = (f * 12) % width, ball_y = (f * 4) % height;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const int bx = x / 4, by = y / 4;
        int colour = (bx + f) % 24 < 3 ? 1 + (by + f / 8) % 7 : 0;
        const int dx = (x - ball_x) / 4, dy = (y - ball_y) / 4;
        if (dx * dx + dy * dy < 9) colour = 7;
        row[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(colour);
      }
      EGifPutLine(gif, row.data(), width);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
