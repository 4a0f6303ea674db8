#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "convert/line_ends.h"
#include "convert/memory_streams.h"
#include "convert/wve_reader.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using Pieces = std::vector<std::string>;

// A piece as its text and line end, "\n" or "\r\n" as it stood in the input.
std::string shown(const WveLine& line) {
  return std::string(line.text) + (line.line_end == 2 ? "\r\n" : line.line_end == 1 ? "\n" : "");
}

// Every piece the reader yields, then "<end>" or "<error>".
Pieces read_all(const std::string& text, std::size_t chunk = 1 << 20,
                std::size_t fail_at = std::string::npos) {
  MemorySource source(text, chunk, fail_at);
  WveReader reader(source);
  Pieces pieces;
  WveLine line;
  ReadStatus status;
  while ((status = reader.next_line(line)) == ReadStatus::line) pieces.push_back(shown(line));
  pieces.push_back(status == ReadStatus::end ? "<end>" : "<error>");
  return pieces;
}

TEST(WveReader, YieldsLinesWithTheirLineEnds) {
  EXPECT_EQ(read_all("a\n\nbc\nlast"), (Pieces{"a\n", "\n", "bc\n", "last", "<end>"}));
  EXPECT_EQ(read_all(""), (Pieces{"<end>"}));
}

TEST(WveReader, LineEndsAreLfOrCrLfAndALoneCrIsText) {
  EXPECT_EQ(read_all("a\r\nb\rc\r\r\nd\r"), (Pieces{"a\r\n", "b\rc\r\r\n", "d\r", "<end>"}));
  MemorySource source("ab\r\nc\r\r\n");
  WveReader reader(source);
  WveLine line;
  ASSERT_EQ(reader.next_line(line), ReadStatus::line);
  EXPECT_EQ(line.text, "ab");
  EXPECT_EQ(line.line_end, 2);
  ASSERT_EQ(reader.next_line(line), ReadStatus::line);
  EXPECT_EQ(line.text, "c\r") << "only the CR before the LF belongs to the line end";
}

TEST(WveReader, CrLfSplitAtEveryOffsetOfAReadIsStillOneLineEnd) {
  const std::string text = "ab\r\ncd\r\n\r\ne\r";
  for (std::size_t chunk = 1; chunk <= text.size(); ++chunk) {
    EXPECT_EQ(read_all(text, chunk), (Pieces{"ab\r\n", "cd\r\n", "\r\n", "e\r", "<end>"})) << chunk;
  }
  // The same where the reader's own buffer ends between the CR and the LF, at every offset
  // around its end.
  for (std::size_t before = WveReader::capacity - 300; before < WveReader::capacity + 3;
       before += 37) {
    std::string filler(before, 'x');
    for (std::size_t i = 100; i < filler.size(); i += 100) filler[i] = '\n';
    const Pieces whole = read_all(filler + "\r\nz", 4096);
    EXPECT_EQ(whole[whole.size() - 3], filler.substr(filler.rfind('\n') + 1) + "\r\n") << before;
    EXPECT_EQ(whole[whole.size() - 2], "z");
  }
}

TEST(WveReader, ByteOneAEndsTheInputAndIsFound) {
  EXPECT_EQ(read_all("ab\ncd\x1a\nef\n"), (Pieces{"ab\n", "cd", "<end>"}));
  EXPECT_EQ(read_all("ab\r\x1a\n"), (Pieces{"ab\r", "<end>"}));
  EXPECT_EQ(read_all("ab\r\x1a", 3), (Pieces{"ab\r", "<end>"}));
  MemorySource source("abc\n\x1a\x1a", 2);
  WveReader reader(source);
  WveLine line;
  while (reader.next_line(line) == ReadStatus::line) {}
  EXPECT_EQ(reader.end_marker(), 4);
  MemorySource plain("abc\n");
  WveReader no_marker(plain);
  while (no_marker.next_line(line) == ReadStatus::line) {}
  EXPECT_EQ(no_marker.end_marker(), -1);
}

TEST(WveReader, LongLinesComeIn254BytePieces) {
  const std::string s253(253, 'a'), s254(254, 'b'), s255(255, 'c');
  EXPECT_EQ(read_all(s253 + "\nx"), (Pieces{s253 + "\n", "x", "<end>"}));
  // A line of exactly 254 bytes leaves its line end to be read as an empty line.
  EXPECT_EQ(read_all(s254 + "\nx"), (Pieces{s254, "\n", "x", "<end>"}));
  EXPECT_EQ(read_all(s254 + "\r\nx"), (Pieces{s254, "\r\n", "x", "<end>"}));
  EXPECT_EQ(read_all(s255 + "\n"), (Pieces{std::string(254, 'c'), "c\n", "<end>"}));
  // The count is taken as if CR LF were one byte: 253 bytes and CR LF are one line.
  for (std::size_t chunk : {1, 7, 253, 254, 255, 1 << 20}) {
    EXPECT_EQ(read_all(s253 + "\r\n", chunk), (Pieces{s253 + "\r\n", "<end>"})) << chunk;
  }
  const std::string long_line(254 * 3 + 7, 'd');
  EXPECT_EQ(read_all(long_line, 13), (Pieces{std::string(254, 'd'), std::string(254, 'd'),
                                             std::string(254, 'd'), std::string(7, 'd'), "<end>"}));
}

TEST(WveReader, NulEndsTheTextOfItsPiece) {
  EXPECT_EQ(read_all(std::string("ab\0cd\nef\n", 9)), (Pieces{"ab\n", "ef\n", "<end>"}));
  // The piece is still cut at 254 bytes; only its text ends at the NUL.
  std::string text = std::string("x\0", 2) + std::string(300, 'y');
  EXPECT_EQ(read_all(text), (Pieces{"x", std::string(48, 'y'), "<end>"}));
  const std::string nul_line("ab\0cd\r\n", 7);
  MemorySource source(nul_line);
  WveReader reader(source);
  WveLine line;
  ASSERT_EQ(reader.next_line(line), ReadStatus::line);
  EXPECT_EQ(line.raw(), std::string("ab\0cd", 5)) << "the raw bytes keep what the text drops";
  EXPECT_EQ(line.length, 5u);
}

TEST(WveReader, OffsetsCountTheBytesOfTheInput) {
  const std::string text = "ab\r\n\ncdef\n" + std::string(300, 'z');
  MemorySource source(text, 3);
  WveReader reader(source);
  std::vector<std::uint64_t> offsets;
  WveLine line;
  while (reader.next_line(line) == ReadStatus::line) offsets.push_back(line.offset);
  EXPECT_EQ(offsets, (std::vector<std::uint64_t>{0, 4, 5, 10, 264}));
}

TEST(WveReader, ReadErrorIsReportedAfterTheCompleteLines) {
  EXPECT_EQ(read_all("ab\ncd\nef", 4, 7), (Pieces{"ab\n", "cd\n", "<error>"}));
  MemorySource source("", 1, 0);
  WveReader reader(source);
  WveLine line;
  EXPECT_EQ(reader.next_line(line), ReadStatus::error);
  EXPECT_EQ(reader.next_line(line), ReadStatus::error);
  EXPECT_TRUE(reader.failed());
}

// Random text from a small alphabet heavy in line ends, CRs and NULs.
std::string random_text(std::uint32_t& seed, std::size_t size) {
  static const char alphabet[] = {'0', '1', '7', '*', '\n', '\n', '\r', '\0', 'x'};
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    text += alphabet[(seed >> 16) % sizeof alphabet];
  }
  return text;
}

TEST(WveReader, NextRowHandsOutTheSamePiecesAsNextLine) {
  std::uint32_t seed = 7;
  for (int round = 0; round < 200; ++round) {
    const std::string text = random_text(seed, 600);
    const std::size_t width = 1 + round % 9;
    const std::size_t chunk = 1 + round % 17;
    MemorySource a_source(text, chunk), b_source(text, chunk);
    WveReader a(a_source), b(b_source);
    WveLine x, y;
    for (;;) {
      const ReadStatus sa = a.next_row(x, width), sb = b.next_line(y);
      ASSERT_EQ(sa, sb) << round;
      if (sa != ReadStatus::line) break;
      ASSERT_EQ(shown(x), shown(y)) << round;
      ASSERT_EQ(x.offset, y.offset);
      ASSERT_EQ(x.length, y.length);
    }
  }
}

TEST(WveReader, TakeRowsTakesOnlyRowsOfTheWidthWithOneKindOfLineEnd) {
  const auto taken = [](const std::string& text, std::size_t width, std::int32_t count) {
    MemorySource source(text);
    WveReader reader(source);
    std::size_t stride = 0;
    const std::string block(reader.take_rows(width, count, stride));
    WveLine rest;
    const bool more = reader.next_line(rest) == ReadStatus::line;
    return block + "|" + (more ? shown(rest) : "");
  };
  EXPECT_EQ(taken("123\n456\n*f", 3, 2), "123\n456\n|*f");
  EXPECT_EQ(taken("123\r\n456\r\n", 3, 2), "123\r\n456\r\n|");
  EXPECT_EQ(taken("123\r\n456\n", 3, 2), "|123\r\n") << "mixed line ends";
  EXPECT_EQ(taken("12\r\n456\n", 3, 2), "|12\r\n") << "a CR before the LF ends the row early";
  EXPECT_EQ(taken("1\n3\n456\n", 3, 2), "|1\n") << "a line end inside a row";
  EXPECT_EQ(taken(std::string("1\0003\n456\n", 8), 3, 2), "|1\n");
  EXPECT_EQ(taken("123\n456", 3, 2), "|123\n") << "the last row has no line end";
  EXPECT_EQ(taken("123\n", 3, 2), "|123\n") << "the input ends";
  EXPECT_EQ(taken(std::string(253, '1') + "\n", 253, 1), std::string(253, '1') + "\n|");
  EXPECT_EQ(taken(std::string(254, '1') + "\n", 254, 1), "|" + std::string(254, '1'));
}

TEST(WveReader, TakeRowsAgreesWithNextLineWhereverTheBufferEnds) {
  // Rows of 24 cells with CR LF, read in reads of odd sizes, so that blocks of rows span the
  // ends of the reads and of the reader's buffer.
  std::string text;
  for (int frame = 0; frame < 20000; ++frame) {
    text += "*f1-1-1\r\n";
    for (int row = 0; row < 5; ++row) {
      text += std::string(24, static_cast<char>('0' + (frame + row) % 8)) + "\r\n";
    }
  }
  for (std::size_t chunk : {4093, 65536, 1 << 20}) {
    MemorySource a_source(text, chunk), b_source(text, chunk);
    WveReader a(a_source), b(b_source);
    WveLine x, y;
    std::size_t blocks = 0;
    while (a.next_line(x) == ReadStatus::line) {
      ASSERT_EQ(b.next_line(y), ReadStatus::line);
      ASSERT_EQ(x.text, "*f1-1-1");
      std::size_t stride = 0;
      const std::string_view block = a.take_rows(24, 5, stride);
      blocks += !block.empty();
      std::string expected;
      for (int row = 0; row < 5; ++row) {
        ASSERT_EQ(b.next_line(y), ReadStatus::line);
        expected += shown(y);
      }
      if (block.empty()) {
        for (int row = 0; row < 5; ++row) ASSERT_EQ(a.next_line(x), ReadStatus::line);
      } else {
        ASSERT_EQ(block, expected);
        ASSERT_EQ(stride, 26u);
      }
    }
    EXPECT_EQ(blocks, 20000u) << "every block fits once the buffer is refilled";
  }
}

TEST(WveReader, SkipRepeatTakesOnlyTheSameBytes) {
  MemorySource source("11\n22\n11\n22\n11\n23\n", 4);
  WveReader reader(source);
  std::size_t stride = 0;
  const std::string first(reader.take_rows(2, 2, stride));
  EXPECT_EQ(first, "11\n22\n");
  EXPECT_TRUE(reader.skip_repeat(first));
  EXPECT_FALSE(reader.skip_repeat(first));
  WveLine line;
  ASSERT_EQ(reader.next_line(line), ReadStatus::line);
  EXPECT_EQ(line.text, "11");
  EXPECT_FALSE(reader.skip_repeat("22\n33\n")) << "longer than what is left";
}

TEST(LineEnds, FastMarksEqualTheByteByByteOnes) {
  std::uint32_t seed = 99;
  const std::string text = random_text(seed, 64 * 40);
  std::vector<std::uint64_t> fast(40), slow(40);
  EXPECT_EQ(mark_line_ends(text.data(), 40, fast.data()),
            mark_line_ends_portable(text.data(), 40, slow.data()));
  EXPECT_EQ(fast, slow);
  const std::string no_nul(128, 'a');
  EXPECT_FALSE(mark_line_ends(no_nul.data(), 2, fast.data()));
}

}  // namespace
}  // namespace mosaiq
