#include <gtest/gtest.h>

#include <string>

#include "platform/file_names.h"
#include "test_support.h"

namespace mosaiq {
namespace {

constexpr const PathSyntax& posix = testing::posix_paths;
constexpr const PathSyntax& windows = testing::windows_paths;

struct NameCase {
  const char* argument;
  const char* output_source;  // the -o name, or nullptr
  const char* input_name;
  const char* output_name;
};

void expect_names(const PathSyntax& syntax, const NameCase& c) {
  const std::string source = c.output_source ? c.output_source : c.argument;
  EXPECT_EQ(make_input_name(c.argument, syntax), c.input_name) << c.argument;
  EXPECT_EQ(make_output_name(source, syntax), c.output_name) << source;
}

TEST(FileNames, DerivesNamesWithSlashAsSeparator) {
  const NameCase cases[] = {
      {"song", nullptr, "song.wve", "song.wrd"},
      {"song.wve", nullptr, "song.wve", "song.wrd"},
      {"song.txt", nullptr, "song.txt", "song.wrd"},
      {"song.", nullptr, "song.", "song.wrd"},
      {"a.b.c", nullptr, "a.b.c", "a.b.wrd"},
      {"./song", nullptr, "./song.wve", "./song.wrd"},
      {"../data/song", nullptr, "../data/song.wve", "../data/song.wrd"},
      {"songs.old/song", nullptr, "songs.old/song.wve", "songs.old/song.wrd"},
      {"data/song", nullptr, "data/song.wve", "data/song.wrd"},
      {"song", "out", "song.wve", "out.wrd"},
      {"song", "out.txt", "song.wve", "out.wrd"},
      {"song", "songs.old/out", "song.wve", "songs.old/out.wrd"},
      // The backslash is an ordinary character here.
      {"songs.old\\song", nullptr, "songs.old\\song", "songs.wrd"},
      {".hidden", nullptr, ".hidden", ".wrd"},
      {"dir.d/", nullptr, "dir.d/.wve", "dir.d/.wrd"},
  };
  for (const NameCase& c : cases) expect_names(posix, c);
}

TEST(FileNames, DerivesNamesWithBackslashAndDoubleByteCharacters) {
  const NameCase cases[] = {
      {".\\song", nullptr, ".\\song.wve", ".\\song.wrd"},
      {"..\\data\\song", nullptr, "..\\data\\song.wve", "..\\data\\song.wrd"},
      {"songs.old\\song", nullptr, "songs.old\\song.wve", "songs.old\\song.wrd"},
      {"song", "songs.old\\out", "song.wve", "songs.old\\out.wrd"},
      {"data/song.x", nullptr, "data/song.x", "data/song.wrd"},
      // "表" is 0x95 0x5C: its second byte is not a separator, so "a.b" stays one component.
      {"a.b\x95\x5c", nullptr, "a.b\x95\x5c", "a.wrd"},
      {"x.d\\\x95\x5c", nullptr, "x.d\\\x95\x5c.wve", "x.d\\\x95\x5c.wrd"},
  };
  for (const NameCase& c : cases) expect_names(windows, c);
}

TEST(FileNames, NamesHaveNoLengthLimit) {
  const std::string long_stem(300, 's');
  EXPECT_EQ(make_input_name(long_stem, posix), long_stem + ".wve");
  EXPECT_EQ(make_output_name(long_stem + ".wve", posix), long_stem + ".wrd");
  const std::string deep = std::string(4000, 'd') + "/" + long_stem;
  EXPECT_EQ(make_output_name(deep, posix), deep + ".wrd");
}

TEST(FileNames, SlashArgumentsAreOptionsUnlessTheyArePaths) {
  EXPECT_TRUE(is_option("-o", posix));
  EXPECT_TRUE(is_option("-", posix));
  EXPECT_TRUE(is_option("/h", posix));
  EXPECT_TRUE(is_option("/help", posix));
  EXPECT_TRUE(is_option("/", posix));
  EXPECT_FALSE(is_option("/home/u/song", posix));
  EXPECT_FALSE(is_option("//", posix));
  EXPECT_FALSE(is_option("song", posix));
  EXPECT_FALSE(is_option("", posix));
  EXPECT_TRUE(is_option("/home/u/song", windows));
  EXPECT_TRUE(is_option("-x/y", posix));
}

}  // namespace
}  // namespace mosaiq
