#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "convert/converter_state.h"
#include "convert/field_scanner.h"
#include "convert/frame_record.h"
#include "convert/status_panel.h"

namespace mosaiq {
namespace {

// The record as the general formatted-input scan reads it, field by field, stopping at the
// first part of "*f%d-%d-%d-%d/%d" that does not match.
FrameRecord scanned(const std::string& line, const PanelState& shown) {
  FrameRecord record{shown.shown_pattern, shown.shown_measure, shown.shown_beat, 0, 1, 0};
  FieldScanner scan{line, 2};
  std::int32_t* const fields[] = {&record.pattern_number, &record.measure, &record.beat,
                                  &record.repaint_flag, &record.beat_division};
  const char separators[] = {'-', '-', '-', '/'};
  for (int i = 0; i < 5; ++i) {
    if ((i > 0 && !scan.scan_char(separators[i - 1])) || !scan.scan_int(*fields[i])) break;
    record.numbers = i + 1;
  }
  return record;
}

std::string fields(const FrameRecord& r) {
  return std::to_string(r.pattern_number) + " " + std::to_string(r.measure) + " " +
         std::to_string(r.beat) + " " + std::to_string(r.repaint_flag) + " " +
         std::to_string(r.beat_division) + " #" + std::to_string(r.numbers);
}

TEST(FrameRecord, CommonFormsAndOddOnesReadAsFormattedInputReadsThem) {
  PanelState state;
  state.shown_pattern = 4;
  state.shown_measure = 5;
  state.shown_beat = 6;
  EXPECT_EQ(fields(parse_frame_record("*f1-2-3", state)), "1 2 3 0 1 #3");
  EXPECT_EQ(fields(parse_frame_record("*f12-34567-8-1/24", state)), "12 34567 8 1 24 #5");
  EXPECT_EQ(fields(parse_frame_record("*f1-2-3-1", state)), "1 2 3 1 1 #4");
  EXPECT_EQ(fields(parse_frame_record("*f", state)), "4 5 6 0 1 #0");
  EXPECT_EQ(fields(parse_frame_record("*f 7- 8", state)), "7 8 6 0 1 #2");
  EXPECT_EQ(fields(parse_frame_record("*f1234567890-2-3", state)), "1234567890 2 3 0 1 #3");
  EXPECT_EQ(fields(parse_frame_record("*f4294967297-2-3", state)), "1 2 3 0 1 #3") << "wraps";
  EXPECT_EQ(fields(parse_frame_record("*f1-2-3x-4/5", state)), "1 2 3 0 1 #3");
  // Random records, plain and odd, against the field-by-field scan.
  std::uint32_t seed = 3;
  const auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  const std::string alphabet = "0123456789-/ +x";
  for (int round = 0; round < 200000; ++round) {
    std::string line = "*f";
    if (round % 2 == 0) {
      line += std::to_string(next(100000)) + "-" + std::to_string(next(1000000)) + "-" +
              std::to_string(next(100));
      if (round % 4 == 0) line += "-" + std::to_string(next(3)) + "/" + std::to_string(next(30));
      if (round % 8 == 0) line += alphabet[next(static_cast<std::uint32_t>(alphabet.size()))];
    } else {
      for (std::uint32_t n = next(24); n > 0; --n) {
        line += alphabet[next(static_cast<std::uint32_t>(alphabet.size()))];
      }
    }
    ASSERT_EQ(fields(parse_frame_record(line, state)), fields(scanned(line, state))) << line;
  }
}

TEST(FrameRecord, DivisionZeroAndTheDivisionInForceChangeNothing) {
  ConverterState state;
  FrameRecord record{1, 1, 1, 0, 3, 5};
  EXPECT_TRUE(take_beat_division(state, record));
  EXPECT_EQ(state.beat_division, 3);
  EXPECT_FALSE(take_beat_division(state, record));
  record.beat_division = 0;
  EXPECT_FALSE(take_beat_division(state, record));
  EXPECT_EQ(state.beat_division, 3);
}

}  // namespace
}  // namespace mosaiq
