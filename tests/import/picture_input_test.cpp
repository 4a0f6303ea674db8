// The author's pictures on the grid: GIFs composited as browsers show them, PNGs, sheets and
// folders, the screen colours, and the grid a picture takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../test_support.h"
#include "import/cell_grid.h"
#include "import/colour_mapping.h"
#include "import/natural_order.h"
#include "import/picture_input.h"
#include "picture_files.h"

namespace mosaiq::import {
namespace {

using testing::gif_file;
using testing::GifFrameSpec;
using testing::png_file;

// The screen colours by digit, so that palette index i is digit i.
const std::vector<std::uint32_t> screen = {0x000000, 0x4466ff, 0xff3333, 0xee33ee,
                                           0x33ee33, 0x33eeee, 0xeeee33, 0xeeeeee};

struct Read {
  bool read;
  ImportedPictures pictures;
  std::string problem;
};

Read read(const std::vector<std::pair<std::string, std::string>>& files, PictureRequest request,
          const std::vector<std::string>& folders = {}) {
  mosaiq::testing::MemoryFiles memory;
  for (const auto& [name, bytes] : files) memory.files[name] = bytes;
  memory.folders.insert(folders.begin(), folders.end());
  Read result{false, {}, {}};
  result.read = read_pictures(memory, request, result.pictures, result.problem);
  return result;
}

// A request for the inputs; the background named, so that no border takes its colour, and the
// margins kept, unless a test asks otherwise.
PictureRequest request_for(std::vector<std::string> inputs) {
  PictureRequest request;
  request.inputs = std::move(inputs);
  request.background = 0x010203;
  request.grid.trim = false;
  return request;
}

TEST(GifPictures, FramesAreCompositedAsBrowsersShowThem) {
  const std::string gif = gif_file(
      4, 2, screen,
      {{0, 0, 4, 2, {1, 1, 1, 1, 1, 1, 1, 1}},
       // red over the second cell, the third transparent: the blue shows through
       {1, 0, 2, 1, {2, 3}, DISPOSE_BACKGROUND, 3},
       // before it, the rectangle above goes back to the dark screen
       {0, 1, 1, 1, {4}, DISPOSE_PREVIOUS},
       // before it, the screen as it was before the green cell
       {3, 1, 1, 1, {2}},
       // a palette of its own: green and yellow
       {0, 0, 2, 1, {1, 0}, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 30, {0x33ee33, 0xeeee33}},
       // a frame that reaches past the canvas is cut to it
       {3, 0, 2, 1, {7, 7}, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, -1}});
  const Read result = read({{"a.gif", gif}}, request_for({"a.gif"}));
  ASSERT_TRUE(result.read) << result.problem;
  EXPECT_EQ(result.pictures.width, 4);
  EXPECT_EQ(result.pictures.height, 2);
  const std::vector<CellPicture> expected = {{1, 1, 1, 1, 1, 1, 1, 1}, {1, 2, 1, 1, 1, 1, 1, 1},
                                             {1, 0, 0, 1, 4, 1, 1, 1}, {1, 0, 0, 1, 1, 1, 1, 2},
                                             {6, 4, 0, 1, 1, 1, 1, 2}, {6, 4, 0, 7, 1, 1, 1, 2}};
  EXPECT_EQ(result.pictures.pictures, expected);
  EXPECT_EQ(result.pictures.delays, (std::vector<int>{10, 10, 10, 10, 30, 0}));
}

TEST(GifPictures, InterlacedRowsAndDelaysOfNothing) {
  std::vector<std::uint8_t> rows;
  for (std::uint8_t y = 0; y < 9; ++y) rows.push_back(y % 8);
  const Read result =
      read({{"i.gif",
             gif_file(1, 9, screen,
                      {{0, 0, 1, 9, rows, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 0, {}, true}})}},
           request_for({"i.gif"}));
  ASSERT_TRUE(result.read) << result.problem;
  EXPECT_EQ(result.pictures.pictures[0], (CellPicture{1, 1, 2, 3, 4, 5, 6, 7, 1}))
      << "black is ink";
  EXPECT_TRUE(result.pictures.delays.empty()) << "delays of 0 are no timing of the GIF's own";
}

TEST(GifPictures, RefusedWithTheReasonAndNothingHuge) {
  const std::string gif = gif_file(8, 8, screen, {{0, 0, 8, 8, std::vector<std::uint8_t>(64, 2)}});
  // A screen of 5000 x 4000 pixels, and nothing else.
  const std::string huge = std::string("GIF89a\x88\x13\xa0\x0f\x00\x00\x00;", 14);
  const struct {
    std::string bytes;
    const char* problem;
  } cases[] = {
      {gif.substr(0, gif.size() / 2), "cannot use p.gif: it is cut short or broken"},
      {huge, "cannot use p.gif: it is 5000 x 4000 pixels, more than 16 MiB pixels a frame"},
      {"GIF89a", "cannot use p.gif: it is cut short or broken"},
      {"hello", "cannot use p.gif: it is not a GIF or PNG file"},
      {std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14),
       "cannot use p.gif: it holds no picture"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.problem);
    const Read result = read({{"p.gif", c.bytes}}, request_for({"p.gif"}));
    EXPECT_FALSE(result.read);
    EXPECT_EQ(result.problem.substr(0, std::string(c.problem).size()), c.problem);
  }
  const std::vector<GifFrameSpec> many(max_animation_frames + 1, GifFrameSpec(0, 0, 1, 1, {1}));
  EXPECT_EQ(read({{"p.gif", gif_file(1, 1, screen, many)}}, request_for({"p.gif"})).problem,
            "cannot use p.gif: it has more than 100,000 frames");
}

TEST(PngPictures, SeveralOfOneSizeASheetAndAFolderInNaturalOrder) {
  const std::string blue = png_file(2, 1, {0x4466ffff, 0x000080ff});  // and a dark blue
  const std::string red = png_file(2, 1, {0xff3333ff, 0xff333300});   // and a transparent red
  const std::string sheet = png_file(4, 2,
                                     {0xff3333ff, 0xff3333ff, 0x33ee33ff, 0x33ee33ff, 0xeeeeeeff,
                                      0xeeeeeeff, 0x000000ff, 0x000000ff});
  const Read two = read({{"b.png", blue}, {"r.png", red}}, request_for({"r.png", "b.png"}));
  ASSERT_TRUE(two.read) << two.problem;
  EXPECT_EQ(two.pictures.pictures, (std::vector<CellPicture>{{2, 0}, {1, 1}}));
  EXPECT_TRUE(two.pictures.delays.empty());

  PictureRequest cut = request_for({"s.png"});
  cut.sheet_columns = 2;
  cut.sheet_rows = 2;
  const Read sheets = read({{"s.png", sheet}}, cut);
  ASSERT_TRUE(sheets.read) << sheets.problem;
  EXPECT_EQ(sheets.pictures.pictures, (std::vector<CellPicture>{{2, 2}, {4, 4}, {7, 7}, {1, 1}}));

  const Read folder = read(
      {{"art/f10.png", red}, {"art/f2.png", blue}, {"art/F1.png", red}, {"art/notes.txt", "x"}},
      request_for({"art"}), {"art"});
  ASSERT_TRUE(folder.read) << folder.problem;
  EXPECT_EQ(folder.pictures.files,
            (std::vector<std::string>{"art/F1.png", "art/f2.png", "art/f10.png"}));

  EXPECT_EQ(read({{"b.png", blue}, {"s.png", sheet}}, request_for({"b.png", "s.png"})).problem,
            "cannot use s.png: it is 4 x 2 pixels, b.png 2 x 1 pixels; the pictures must all have "
            "one size");
  EXPECT_EQ(read({{"s.png", sheet}},
                 [&] {
                   PictureRequest r = cut;
                   r.sheet_columns = 3;
                   return r;
                 }())
                .problem,
            "s.png (4 x 2 pixels) does not cut into 3 x 2 frames of one size");
  EXPECT_EQ(read({}, request_for({"art"}), {"art"}).problem, "the folder art holds no PNG files");
}

TEST(ScreenColours, TheDrawingKeepsALitColourOnlyTheBackgroundGoesDark) {
  ColourMapping colours;
  const struct {
    std::uint32_t argb;
    std::uint8_t digit;
  } cases[] = {
      {0xff4c022e, 3},                   // a penguin's dark purple body: magenta
      {0xff600000, 2},                   // a dark red: red
      {0xff7a1e5a, 3},                   // a dark pink-purple: magenta
      {0xff000080, 1},                   // a dark blue: blue
      {0xff006000, 4},                   // a dark green: green
      {0xff808080, 7}, {0xffc0c0c0, 7},  // light greys: white
      {0xff000000, 1}, {0xff303030, 1},  // black and dark grey ink: the ink colour
      {0xffeeee33, 6}, {0xff33eeee, 5}, {0xffff3333, 2}, {0xff4466ff, 1},
      {0xffee33ee, 3}, {0x00ff3333, 0}, {0x7fff3333, 0},  // more than half transparent is dark
      {0x80ff3333, 2}, {0xc8ff3333, 2},                   // mostly opaque, over the dark screen
  };
  for (const auto& c : cases) EXPECT_EQ(colours.digit(c.argb), c.digit) << std::hex << c.argb;
  colours.set_background(0x303030);
  EXPECT_EQ(colours.digit(0xff303030), 0) << "the background";
  colours.set_ink(0);
  EXPECT_EQ(colours.digit(0xff000000), 0) << "--ink 0 keeps ink dark";
  colours.map(0x000080, 6);
  EXPECT_EQ(colours.digit(0xff000080), 6) << "--map wins";
}

TEST(ScreenColours, TheBackgroundIsWhatFillsTheBorder) {
  RgbaPicture picture{4, 3, std::vector<std::uint32_t>(12, 0xff000000)};
  picture.pixels[5] = 0xffff0000;  // inside
  EXPECT_EQ(border_colour(picture, picture.whole()), std::optional<std::uint32_t>(0x000000));
  picture.pixels[0] = picture.pixels[1] = picture.pixels[2] = 0xff4466ff;  // the top row blue
  EXPECT_EQ(border_colour(picture, picture.whole()), std::nullopt) << "no colour fills it";
  RgbaPicture clear{3, 3, std::vector<std::uint32_t>(9, 0x00000000)};
  EXPECT_EQ(border_colour(clear, clear.whole()), std::nullopt) << "a transparent border";
}

// A picture of `width` x `height` pixels, transparent, with a drawing: each (x, y, argb).
std::string drawing(int width, int height,
                    const std::vector<std::tuple<int, int, std::uint32_t>>& pixels) {
  std::vector<std::uint32_t> rgba(static_cast<std::size_t>(width * height), 0);
  for (const auto& [x, y, argb] : pixels) {
    rgba[static_cast<std::size_t>(y * width + x)] = (argb & 0xffffff) << 8 | argb >> 24;
  }
  return png_file(width, height, rgba);
}

TEST(CellGrids, MarginsTrimmedThenOneToOneOrTheLeastDrawnEdgeLeftOut) {
  // 29 x 25 pixels, a drawing from (1, 1) to (27, 23): trimmed to 27 x 23, one row too many for
  // the screen: the bottom row, with one pixel drawn, is left out, not the top with three.
  std::vector<std::tuple<int, int, std::uint32_t>> pixels;
  for (int x = 1; x <= 27; ++x) pixels.emplace_back(x, 12, 0xffff3333);
  for (int x = 1; x <= 3; ++x) pixels.emplace_back(x, 1, 0xff000000);  // black ink: lit
  pixels.emplace_back(5, 23, 0xff33ee33);
  PictureRequest request = request_for({"a.png"});
  request.grid.trim = true;
  request.background.reset();  // the transparent border: no colour of it
  const Read read_back = read({{"a.png", drawing(29, 25, pixels)}}, request);
  ASSERT_TRUE(read_back.read) << read_back.problem;
  EXPECT_EQ(read_back.pictures.width, 27);
  EXPECT_EQ(read_back.pictures.height, 22);
  EXPECT_EQ(read_back.pictures.how,
            "trimmed from 29 x 25 pixels to 27 x 23, 1:1 but row 24 of the picture left out (the "
            "least drawn)");
  EXPECT_EQ(read_back.pictures.pictures[0][0], 1) << "the ink at the top left";
  EXPECT_EQ(read_back.pictures.pictures[0][11 * 27], 2) << "the red line";
  request.grid.trim = false;
  const Read kept = read({{"a.png", drawing(29, 25, pixels)}}, request);
  ASSERT_TRUE(kept.read) << kept.problem;
  EXPECT_EQ(kept.pictures.how,
            "1:1 but rows 25, 1 and 24 of the picture left out (the least drawn)")
      << "the margins kept, three rows over: the emptiest edges go";
}

TEST(CellGrids, BlocksOrTheSmallestWholeFactorOrAGridAskedFor) {
  // 80 x 40 pixels drawn in blocks of 4: a cell a block, 20 x 10.
  std::vector<std::tuple<int, int, std::uint32_t>> blocks;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 80; ++x) {
      if ((x / 4 + y / 4) % 3 != 0)
        blocks.emplace_back(x, y, (x / 4 + y / 4) % 3 == 1 ? 0xff4466ff : 0xffff3333);
    }
  }
  std::vector<std::tuple<int, int, std::uint32_t>> loose = blocks;
  loose.emplace_back(1, 0, 0xff33eeee);  // one pixel off the blocks
  const struct {
    const char* name;
    std::vector<std::tuple<int, int, std::uint32_t>> pixels;
    GridRequest grid;
    int width, height;
    const char* how;
  } cases[] = {
      {"blocks", blocks, {}, 20, 10, "a cell for every 4 x 4 pixels, the blocks it is drawn in"},
      {"a whole factor", loose, {}, 27, 14, "reduced by 3: a cell for every 3 x 3 pixels"},
      {"cropped to fit", blocks, {{8, 4, 20, 12}, 0, 0, false}, 20, 12, "1:1"},
      {"a grid asked for", blocks, {{}, 30, 22, false}, 30, 22, "scaled into the grid asked for"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PictureRequest request = request_for({"b.png"});
    request.grid = c.grid;
    const Read result = read({{"b.png", drawing(80, 40, c.pixels)}}, request);
    ASSERT_TRUE(result.read) << result.problem;
    EXPECT_EQ(result.pictures.width, c.width);
    EXPECT_EQ(result.pictures.height, c.height);
    EXPECT_EQ(result.pictures.how, c.how);
  }
  const Read cells = read({{"b.png", drawing(80, 40, blocks)}}, request_for({"b.png"}));
  ASSERT_TRUE(cells.read);
  EXPECT_EQ(cells.pictures.pictures[0][1], 1);
  EXPECT_EQ(cells.pictures.pictures[0][20 + 1], 2) << "row 1, column 1: (1 + 1) % 3";
  PictureRequest letterbox = request_for({"b.png"});
  letterbox.grid.width = letterbox.grid.height = 20;
  const Read boxed = read({{"b.png", drawing(80, 40, blocks)}}, letterbox);
  ASSERT_TRUE(boxed.read);
  EXPECT_EQ(boxed.pictures.pictures[0][0 * 20 + 1], 0);
  EXPECT_EQ(boxed.pictures.pictures[0][5 * 20 + 1], 1) << "the picture's first row on grid row 5";
  PictureRequest outside = request_for({"b.png"});
  outside.grid.crop = {70, 0, 20, 10};
  EXPECT_EQ(read({{"b.png", drawing(80, 40, blocks)}}, outside).problem,
            "--crop 70,0,20,10 falls outside the picture, 80 x 40 pixels");
  // A thin line through cells of four pixels keeps them lit.
  std::vector<std::tuple<int, int, std::uint32_t>> line;
  for (int x = 0; x < 78; ++x) line.emplace_back(x, 0, 0xffeeee33);
  PictureRequest thin = request_for({"l.png"});
  thin.grid.width = 39;
  thin.grid.height = 1;
  const Read lined = read({{"l.png", drawing(78, 2, line)}}, thin);
  ASSERT_TRUE(lined.read);
  EXPECT_EQ(lined.pictures.pictures[0], CellPicture(39, 6));
}

TEST(CellGrids, ManyFramesOfAPixelCostWhatTheyChange) {
  // 20,000 frames of one pixel each on a canvas of 4096 x 4096: read in seconds, not hours.
  std::vector<GifFrameSpec> frames;
  for (int k = 0; k < 20000; ++k) {
    frames.emplace_back(100 + k % 50, 200 + k % 30, 1, 1, std::vector<std::uint8_t>{2},
                        DISPOSE_BACKGROUND, NO_TRANSPARENT_COLOR, 2);
  }
  const Read result = read({{"m.gif", gif_file(4096, 4096, screen, frames)}}, [] {
    PictureRequest r = request_for({"m.gif"});
    r.grid.trim = true;
    return r;
  }());
  ASSERT_TRUE(result.read) << result.problem;
  EXPECT_EQ(result.pictures.pictures.size(), 20000u);
  EXPECT_EQ(result.pictures.width, 25) << "trimmed to the 50 x 30 pixels drawn in, then halved";
}

TEST(NaturalOrder, NumbersByValue) {
  const std::vector<std::pair<const char*, const char*>> before = {
      {"f2", "f10"}, {"f2", "f02"}, {"a", "B"}, {"x9y", "x10"}, {"F1", "f2"}, {"frame", "frame1"}};
  for (const auto& [a, b] : before) {
    EXPECT_TRUE(natural_less(a, b)) << a << " before " << b;
    EXPECT_FALSE(natural_less(b, a)) << b << " not before " << a;
  }
}

}  // namespace
}  // namespace mosaiq::import
