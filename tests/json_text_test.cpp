#include <gtest/gtest.h>

#include "platform/json_text.h"

namespace mosaiq {
namespace {

TEST(JsonText, StringsAreValidUtf8AndSafeInAPage) {
  const struct {
    std::string bytes;
    std::string json;
  } cases[] = {
      {"a\"b\\c\n\xe3\x81\x82", "\"a\\\"b\\\\c\\u000a\xe3\x81\x82\""},
      {"\x82\xa0\xc0\x80", "\"\\\\x82\\\\xa0\\\\xc0\\\\x80\""},  // Shift_JIS, an overlong form
      {"</script>&", "\"\\u003c/script\\u003e\\u0026\""},
      {std::string("\0\x1f\x7f", 3), "\"\\u0000\\u001f\\u007f\""},
      {"\xed\xa0\x80\xf0\x9f\x98\x80", "\"\\\\xed\\\\xa0\\\\x80\xf0\x9f\x98\x80\""},  // a surrogate
      {"\xe3\x81", "\"\\\\xe3\\\\x81\""},                                             // cut short
      {"", "\"\""},
  };
  for (const auto& c : cases) EXPECT_EQ(json_string(c.bytes), c.json) << c.bytes;
  std::string out = "[";
  append_json_string(out, "x");
  EXPECT_EQ(out, "[\"x\"") << "appended to what is there";
}

}  // namespace
}  // namespace mosaiq
