#include <gtest/gtest.h>

#include "platform/character_set.h"

namespace mosaiq {
namespace {

TEST(CharacterSet, NamesAreShownSafelyOnEitherConsole) {
  const struct {
    std::string text;
    std::string utf8, shift_jis;
  } cases[] = {
      {"plain name.wve\t", "plain name.wve\t", "plain name.wve\t"},
      {"a\x1b[2Jb\x7f", "a\\x1b[2Jb\\x7f", "a\\x1b[2Jb\\x7f"},
      {"\xe3\x81\x82.wve", "\xe3\x81\x82.wve", "\xe3\x81\\x82.wve"},  // あ in UTF-8
      {"\x82\xa0.wve", "\\x82\\xa0.wve", "\x82\xa0.wve"},             // あ in Shift_JIS
      {"\xc2\x9b"
       "1m",
       "\\xc2\\x9b1m", "\xc2\\x9b1m"},          // a C1 control in UTF-8
      {"\xb1\x82", "\\xb1\\x82", "\xb1\\x82"},  // half-width kana, a lead byte cut short
  };
  for (const auto& c : cases) {
    EXPECT_EQ(console_safe(c.text, true), c.utf8) << c.text;
    EXPECT_EQ(console_safe(c.text, false), c.shift_jis) << c.text;
  }
}

}  // namespace
}  // namespace mosaiq
