#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "convert/memory_streams.h"
#include "convert/wrd_writer.h"
#include "test_support.h"

namespace mosaiq {
namespace {

std::string decimal(std::int64_t value) {
  char text[24];
  return std::string(text, format_decimal(value, text));
}

TEST(WrdWriter, FormatsDecimalsAtTheExtremes) {
  EXPECT_EQ(decimal(0), "0");
  EXPECT_EQ(decimal(-7), "-7");
  EXPECT_EQ(decimal(2147483647), "2147483647");
  EXPECT_EQ(decimal(-2147483648LL), "-2147483648");
  EXPECT_EQ(decimal(4294967294LL), "4294967294");
  EXPECT_EQ(decimal(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(decimal(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
}

TEST(WrdWriter, PadsToTwoColumnsLikePercentTwoD) {
  MemorySink sink;
  WrdWriter writer(sink);
  for (std::int64_t value : {0LL, 7LL, -1LL, 10LL, 100LL, -12LL, -2147483648LL}) {
    writer.put_decimal_2(value);
    writer.put("|");
  }
  writer.flush();
  EXPECT_EQ(sink.bytes, " 0| 7|-1|10|100|-12|-2147483648|");
}

TEST(WrdWriter, WritesLargeOutputWholeAndInOrder) {
  MemorySink sink;
  WrdWriter writer(sink);
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    std::string piece = std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), '.');
    writer.put(piece);
    writer.end_line();
    expected += piece + "\r\n";
  }
  std::string big(WrdWriter::capacity * 2 + 3, 'b');
  writer.put(big);
  expected += big;
  EXPECT_TRUE(writer.flush());
  EXPECT_EQ(sink.bytes, expected);
}

TEST(WrdWriter, FailureIsStickyAndKeepsATruePrefix) {
  MemorySink sink(100);
  WrdWriter writer(sink);
  std::string expected;
  for (int i = 0; i < 50000; ++i) {
    writer.put("line");
    writer.end_line();
    expected += "line\r\n";
  }
  EXPECT_TRUE(writer.failed());
  EXPECT_FALSE(writer.flush());
  EXPECT_EQ(sink.bytes, expected.substr(0, 100));
}

// An empty view may carry no pointer at all; copying from it was undefined behaviour.
TEST(WrdWriter, EmptyViewWithoutAPointerWritesNothing) {
  MemorySink sink;
  WrdWriter writer(sink);
  writer.put(std::string_view{});
  writer.put("x");
  writer.flush();
  EXPECT_EQ(sink.bytes, "x");
}

TEST(WrdWriter, CursorEscapesTakeSixtyFourBitPositions) {
  // The right edge of the widest grid: origin 40 - 2147483646, cell 2147483645.
  const std::int64_t origin_col = 40 - 2147483646LL;
  char text[3 * cursor_position_room];
  char* at = put_cursor_position(text, 14, origin_col + 2 * 2147483645LL);
  at = put_cursor_forward(at, 2 * 2147483645LL);
  at = put_cursor_position(at, (24 - 2147483646LL) / 2 + 3 + 2147483645LL, -2147483606);
  EXPECT_EQ(std::string(text, at),
            "\x1b[14;2147483684H;\r\n\x1b[4294967290C"
            "\x1b[1073741837;-2147483606H;\r\n");
}

}  // namespace
}  // namespace mosaiq
