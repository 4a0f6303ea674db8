#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/html_writer.h"
#include "view_test_support.h"

namespace mosaiq::view {
namespace {

using testing::block;

TEST(HtmlWriter, FramesAreRunsOfTheCellsTheyChange) {
  // A blue and a red glyph (colours 4 and 1 of the terminal), a dark cell, then text and a
  // wide character in the red still selected; then a blank and a yellow letter.
  const Script script = read_script("\n\x1b[2;1H\x1b[34m" + block + "\x1b[31m" + block +
                                    "  ;\n\x1b[3;1HAb\x83\x41;\n\n"
                                    "\x1b[3;1H \x1b[3;2H\x1b[33mb;\n\n");
  GlyphText glyphs;
  const std::vector<FrameTime> times = {
      {0, 0, {1, 1, 0}}, {1, 96, {1, 2, 0}}, {2, 144, {1, 2, 48}}, {3, 192, {1, 3, 0}}};
  const std::string data = page_data({script, times, "t", "no song", ""}, glyphs);
  EXPECT_EQ(data,
            "{\"frames\":[\n[],\n"
            "[80,16,\"4411\",160,1,\"Ab\",162,9,\"\xe3\x82\xa2\"],\n"
            "[160,16,\" \",161,3,\"b\"]],\n"
            "\"starts\":[0.000,1.000,2.000],\n\"end\":3.000,\n\"bars\":[[1,1],[1,2],[1,2]],\n"
            "\"panels\":[{\"pattern\":\"\",\"measure\":\"\",\"beat\":\"\"},"
            "{\"pattern\":\"\",\"measure\":\"\",\"beat\":\"\"},"
            "{\"pattern\":\"\",\"measure\":\"\",\"beat\":\"\"}],\n"
            "\"song\":\"no song\",\n\"audio\":false}");
}

TEST(HtmlWriter, OneSelfContainedPageThatFetchesNothing) {
  std::string text = "\n";
  for (int f = 0; f < 50; ++f) text += "\x1b[1;" + std::to_string(f + 1) + "H</script>&;\n\n";
  const Script script = read_script(text);
  GlyphText glyphs;
  const std::vector<FrameTime> times(script.frames.size() + 1);
  const std::string page = html_page({script, times, "a<b", "song", ""}, glyphs);
  EXPECT_EQ(page.find("</script>&"), std::string::npos);  // texts cannot end the script element
  EXPECT_NE(page.find("<title>a&lt;b</title>"), std::string::npos);
  EXPECT_EQ(page.find("http"), std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos);
  EXPECT_EQ(page.find('@'), std::string::npos) << "every mark of the template is filled";
  EXPECT_NE(page.find("window.player"), std::string::npos);

  // The sound, when it has one, is carried in the page too.
  const std::string sounding =
      html_page({script, times, "a<b", "song", "data:audio/ogg;base64,T2dnUw=="}, glyphs);
  EXPECT_NE(
      sounding.find("<audio id=\"audio\" preload=\"auto\" src=\"data:audio/ogg;base64,T2dnUw==\">"),
      std::string::npos);
  EXPECT_NE(sounding.find("\"audio\":true}"), std::string::npos);
  EXPECT_EQ(sounding.find("http"), std::string::npos);
}

}  // namespace
}  // namespace mosaiq::view
