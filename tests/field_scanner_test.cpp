#include <gtest/gtest.h>

#include <cstdint>

#include "convert/field_scanner.h"

namespace mosaiq {
namespace {

// The value "%d" reads from the text, or the sentinel 12345 when it does not convert.
std::int32_t scan(std::string_view text, std::size_t* stop = nullptr) {
  FieldScanner scanner{text, 0};
  std::int32_t value = 12345;
  scanner.scan_int(value);
  if (stop) *stop = scanner.position;
  return value;
}

TEST(FieldScanner, ReadsDecimalFieldsLikeFormattedInput) {
  EXPECT_EQ(scan("42"), 42);
  EXPECT_EQ(scan("-42x"), -42);
  EXPECT_EQ(scan("+7"), 7);
  EXPECT_EQ(scan(" \t\n\v\f\r9"), 9);
  EXPECT_EQ(scan("007"), 7);
  std::size_t stop = 0;
  EXPECT_EQ(scan("  13-4", &stop), 13);
  EXPECT_EQ(stop, 4u);
}

TEST(FieldScanner, FieldThatDoesNotConvertKeepsItsValueAndPosition) {
  for (std::string_view text : {"", "-", "+", " -x", "x1", "- 1", "\n"}) {
    std::size_t stop = 99;
    EXPECT_EQ(scan(text, &stop), 12345) << text;
    EXPECT_EQ(stop, 0u) << text;
  }
}

TEST(FieldScanner, ValuesBeyond32BitsWrapModulo2To32) {
  EXPECT_EQ(scan("2147483647"), 2147483647);
  EXPECT_EQ(scan("2147483648"), -2147483647 - 1);
  EXPECT_EQ(scan("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(scan("4294967295"), -1);
  EXPECT_EQ(scan("4294967297"), 1);
  EXPECT_EQ(scan("99999999999"), 1215752191);
  EXPECT_EQ(scan("-99999999999"), -1215752191);
  EXPECT_EQ(scan("123456789012345678901234567890"), 1312754386);
}

TEST(FieldScanner, LiteralsAndRestOfLine) {
  FieldScanner scanner{"7,some text\n", 0};
  std::int32_t number = 0;
  std::string_view text;
  EXPECT_FALSE(scanner.scan_char('-'));
  EXPECT_TRUE(scanner.scan_int(number));
  EXPECT_TRUE(scanner.scan_char(','));
  EXPECT_TRUE(scanner.scan_rest_of_line(text));
  EXPECT_EQ(text, "some text");
  EXPECT_FALSE(scanner.scan_rest_of_line(text)) << "nothing but the line end is left";

  FieldScanner no_end{"ab", 0};
  EXPECT_TRUE(no_end.scan_rest_of_line(text));
  EXPECT_EQ(text, "ab");
}

}  // namespace
}  // namespace mosaiq
