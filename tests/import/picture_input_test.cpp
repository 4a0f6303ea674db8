// The author's pictures on the grid: GIFs composited as browsers show them, PNGs, sheets and
// folders, the screen colours, and the grid a picture takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../test_support.h"
#include "import/cell_grid.h"
#include "import/colour_matching.h"
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

PictureRequest request_for(std::vector<std::string> inputs) {
  PictureRequest request;
  request.inputs = std::move(inputs);
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
  EXPECT_EQ(result.pictures.pictures[0], (CellPicture{0, 1, 2, 3, 4, 5, 6, 7, 0}));
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
  EXPECT_EQ(sheets.pictures.pictures, (std::vector<CellPicture>{{2, 2}, {4, 4}, {7, 7}, {0, 0}}));

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

TEST(ScreenColours, NearestAsTheEyeSeesThem) {
  ColourMatcher colours;
  for (std::uint8_t digit = 0; digit < 8; ++digit) EXPECT_EQ(colours.digit(screen[digit]), digit);
  const struct {
    std::uint32_t rgb;
    std::uint8_t alpha, digit;
  } cases[] = {
      {0x000080, 255, 1},  // a dark blue stays blue
      {0x800000, 255, 2}, {0x006000, 255, 4}, {0x303030, 255, 0},
      {0xc0c0c0, 255, 7}, {0xff3333, 0, 0},    // transparent: dark
      {0xff3333, 200, 2},                      // mostly opaque, over the dark screen
      {0xff3333, 127, 0}, {0xff3333, 128, 2},  // more than half transparent is dark
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rgb);
    EXPECT_EQ(colours.digit(c.rgb, c.alpha), c.digit);
  }
  colours.map(0x000080, 3);
  EXPECT_EQ(colours.digit(0x000080), 3) << "--map wins";
}

TEST(CellGrids, OwnSizeBlocksOrScaledToFit) {
  // 80 x 40 pixels drawn in blocks of 4: a cell a block, 20 x 10.
  DigitCanvas blocks{80, 40, std::vector<std::uint8_t>(80 * 40, 0)};
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 80; ++x)
      blocks.pixels[y * 80 + x] = static_cast<std::uint8_t>((x / 4 + y / 4) % 3);
  }
  // The same with one pixel off the blocks: scaled to fit, 39 x 20.
  DigitCanvas loose = blocks;
  loose.pixels[81] = 5;
  const struct {
    const char* name;
    GridRequest request;
    const DigitCanvas& picture;
    int width, height;
  } cases[] = {
      {"blocks", {}, blocks, 20, 10},
      {"scaled", {}, loose, 39, 20},
      {"cropped to fit", {{8, 4, 20, 12}, 0, 0}, blocks, 20, 12},
      {"a grid asked for", {{}, 30, 22}, blocks, 30, 22},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CellGrid grid(c.request);
    std::string problem;
    ASSERT_TRUE(grid.fit(c.picture, problem)) << problem;
    EXPECT_EQ(grid.width(), c.width);
    EXPECT_EQ(grid.height(), c.height);
  }
  CellGrid grid({});
  std::string problem;
  ASSERT_TRUE(grid.fit(blocks, problem));
  const CellPicture cells = grid.cells(blocks);
  EXPECT_EQ(cells[0], 0);
  EXPECT_EQ(cells[1], 1);
  EXPECT_EQ(cells[20 + 1], 2) << "row 1, column 1: (1 + 1) % 3";

  // Into a grid twice as high as the picture's proportions: centred, dark above and below.
  CellGrid letterbox({{}, 20, 20});
  ASSERT_TRUE(letterbox.fit(blocks, problem));
  const CellPicture boxed = letterbox.cells(blocks);
  EXPECT_EQ(boxed[0 * 20 + 1], 0);
  EXPECT_EQ(boxed[5 * 20 + 1], 1) << "the picture's first row on grid row 5";

  CellGrid outside({{70, 0, 20, 10}, 0, 0});
  EXPECT_FALSE(outside.fit(blocks, problem));
  EXPECT_EQ(problem, "--crop 70,0,20,10 falls outside the picture, 80 x 40 pixels");

  // A thin line through cells of four pixels keeps them lit.
  DigitCanvas line{78, 2, std::vector<std::uint8_t>(78 * 2, 0)};
  for (int x = 0; x < 78; ++x) line.pixels[x] = 6;
  CellGrid thin({});
  ASSERT_TRUE(thin.fit(line, problem));
  EXPECT_EQ(thin.cells(line), CellPicture(39, 6));
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
