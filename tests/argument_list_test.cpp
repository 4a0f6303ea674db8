#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/argument_list.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using testing::shift_jis_lead;

std::vector<std::string> split(std::string_view line) {
  std::vector<std::string> texts;
  for (const CommandArgument& argument : split_command_line(line, shift_jis_lead)) {
    texts.push_back(argument.text);
  }
  return texts;
}

using Texts = std::vector<std::string>;

TEST(ArgumentList, SplitsAtBlanksOutsideQuotes) {
  EXPECT_EQ(split("mosaiq   a \t b  "), (Texts{"a", "b"}));
  EXPECT_EQ(split("mosaiq"), Texts{});
  EXPECT_EQ(split("mosaiq \"two words\" x\"y z\"w"), (Texts{"two words", "xy zw"}));
  EXPECT_EQ(split("\"C:\\Program Files\\mosaiq.exe\" -h"), (Texts{"-h"}));
  EXPECT_EQ(split("C:\\tools\\mosaiq.exe\t-o x"), (Texts{"-o", "x"}));
  EXPECT_EQ(split("mosaiq \"\""), (Texts{""}));
}

TEST(ArgumentList, BackslashesCountOnlyBeforeAQuote) {
  EXPECT_EQ(split(R"(m a\\b\c)"), (Texts{R"(a\\b\c)"}));
  EXPECT_EQ(split(R"(m a\\"b c")"), (Texts{R"(a\b c)"}));      // 2n: n backslashes, a quote
  EXPECT_EQ(split(R"(m a\\\"b c)"), (Texts{R"(a\"b)", "c"}));  // 2n+1: n and a literal quote
  EXPECT_EQ(split(R"(m \"a)"), (Texts{R"("a)"}));
  // "" inside a stretch gives a quote and ends it; the next quote opens another.
  EXPECT_EQ(split(R"(m "a""b" c)"), (Texts{R"(a"b c)"}));
  EXPECT_EQ(split(R"(m "a"" b")"), (Texts{R"(a")", "b"}));
}

TEST(ArgumentList, DoubleByteCharactersAreUnits) {
  // "ソ" is 0x83 0x5C: its second byte is no backslash, so the quote after it ends the stretch.
  EXPECT_EQ(split("m \"\x83\x5c\" next"), (Texts{"\x83\x5c", "next"}));
  EXPECT_EQ(split("m \x83\x5c\\\"x"), (Texts{"\x83\x5c\"x"}));
  const std::vector<CommandArgument> arguments =
      split_command_line("m \"*.wve\" *.wve", shift_jis_lead);
  EXPECT_TRUE(arguments[0].began_with_quote);
  EXPECT_FALSE(arguments[1].began_with_quote);
}

TEST(ArgumentList, DirectoryPartEndsAtTheLastSeparatorBeforeTheWildcard) {
  std::string directory;
  EXPECT_TRUE(wildcard_directory_part("*.wve", shift_jis_lead, directory));
  EXPECT_EQ(directory, "");
  EXPECT_TRUE(wildcard_directory_part("sub\\*.wve", shift_jis_lead, directory));
  EXPECT_EQ(directory, "sub\\");
  EXPECT_TRUE(wildcard_directory_part("a/b\\c?/d*.wve", shift_jis_lead, directory));
  EXPECT_EQ(directory, "a/b\\");
  EXPECT_TRUE(wildcard_directory_part("C:*.wve", shift_jis_lead, directory));
  EXPECT_EQ(directory, "C:");
  EXPECT_FALSE(wildcard_directory_part("abc:*.wve", shift_jis_lead, directory));
  EXPECT_FALSE(wildcard_directory_part("song.wve", shift_jis_lead, directory));
  // The second byte 0x5C of "ソ" is not a separator.
  EXPECT_TRUE(wildcard_directory_part("\x83\x5c*.wve", shift_jis_lead, directory));
  EXPECT_EQ(directory, "");
}

TEST(ArgumentList, NamesSortWithoutRegardToCase) {
  const auto before = [](std::string_view a, std::string_view b) {
    return name_before(a, b, shift_jis_lead);
  };
  EXPECT_TRUE(before("a.wve", "B.wve"));
  EXPECT_FALSE(before("B.wve", "a.wve"));
  EXPECT_TRUE(before("ab", "abc"));
  EXPECT_TRUE(before("_x", "ax"));              // "_" (0x5F) before "a" (0x61), though after "A"
  EXPECT_TRUE(before("ABC", "abc"));            // equal when folded: byte order
  EXPECT_TRUE(before("\x82\x60", "\x82\x82"));  // full-width Ａ as ａ, before ｂ
  EXPECT_TRUE(before("\x82\x81", "\x82\x61"));  // ａ before Ｂ
  EXPECT_TRUE(before("z", "\x82\x60"));         // one byte before a double-byte unit
}

TEST(ArgumentList, ExpandsUnquotedWildcardsIntoSortedMatches) {
  const std::map<std::string, std::vector<std::string>> listing = {
      {"*.wve", {".", "..", "B.wve", "a.wve", "-i.wve"}},
      {"sub\\*.wve", {"c.wve"}},
      {"sub/?.wve", {"c.wve"}},
      {"x*", {}},
  };
  const DirectorySearch search = [&listing](const std::string& pattern) {
    const auto found = listing.find(pattern);
    return found == listing.end() ? std::vector<std::string>{} : found->second;
  };
  const std::vector<CommandArgument> arguments =
      split_command_line("m -o out *.wve \"*.wve\" sub\\*.wve sub/?.wve x* plain", shift_jis_lead);
  EXPECT_EQ(expand_arguments(arguments, shift_jis_lead, search),
            (Texts{"-o", "out", "-i.wve", "a.wve", "B.wve", "*.wve", "sub\\c.wve", "sub/c.wve",
                   "x*", "plain"}));
}

}  // namespace
}  // namespace mosaiq
