#include "convert/wve_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace mosaiq {
namespace {

using testing::MemorySource;
using Pieces = std::vector<std::string>;

// Every piece the reader yields, then "<end>" or "<error>".
Pieces read_all(const std::string& text, std::size_t chunk = 1 << 20,
                std::size_t fail_at = std::string::npos) {
  MemorySource source(text, chunk, fail_at);
  WveReader reader(source);
  Pieces pieces;
  std::string_view piece;
  ReadStatus status;
  while ((status = reader.next_line(piece)) == ReadStatus::line) pieces.emplace_back(piece);
  pieces.push_back(status == ReadStatus::end ? "<end>" : "<error>");
  return pieces;
}

TEST(WveReader, YieldsLinesWithTheirLineEnds) {
  EXPECT_EQ(read_all("a\n\nbc\nlast"), (Pieces{"a\n", "\n", "bc\n", "last", "<end>"}));
  EXPECT_EQ(read_all(""), (Pieces{"<end>"}));
}

TEST(WveReader, TranslatesCrLfAndKeepsLoneCr) {
  EXPECT_EQ(read_all("a\r\nb\rc\r\r\nd\r"), (Pieces{"a\n", "b\rc\r\n", "d\r", "<end>"}));
}

TEST(WveReader, CrLfSplitAcrossReadsIsStillOneLineEnd) {
  const std::string text = "ab\r\ncd\r\n\r\ne\r";
  for (std::size_t chunk = 1; chunk <= 5; ++chunk) {
    EXPECT_EQ(read_all(text, chunk), (Pieces{"ab\n", "cd\n", "\n", "e\r", "<end>"})) << chunk;
  }
  // The same where a block of the reader's buffer ends between CR and LF.
  std::string filler(WveReader::capacity - 1, 'x');
  for (std::size_t i = 100; i < filler.size(); i += 100) filler[i] = '\n';
  const Pieces whole = read_all(filler + "\r\nz");
  EXPECT_EQ(whole[whole.size() - 3], filler.substr(filler.rfind('\n') + 1) + "\n");
  EXPECT_EQ(whole[whole.size() - 2], "z");
}

TEST(WveReader, ByteOneAEndsTheInput) {
  EXPECT_EQ(read_all("ab\ncd\x1a\nef\n"), (Pieces{"ab\n", "cd", "<end>"}));
  EXPECT_EQ(read_all("ab\r\x1a\n"), (Pieces{"ab\r", "<end>"}));
  EXPECT_EQ(read_all("ab\r\x1a", 3), (Pieces{"ab\r", "<end>"}));
}

TEST(WveReader, LongLinesComeIn254BytePieces) {
  const std::string s253(253, 'a'), s254(254, 'b'), s255(255, 'c');
  EXPECT_EQ(read_all(s253 + "\nx"), (Pieces{s253 + "\n", "x", "<end>"}));
  // A line of exactly 254 bytes leaves its line end to be read as an empty line.
  EXPECT_EQ(read_all(s254 + "\nx"), (Pieces{s254, "\n", "x", "<end>"}));
  EXPECT_EQ(read_all(s255 + "\n"), (Pieces{std::string(254, 'c'), "c\n", "<end>"}));
  // The count is taken after CR LF became "\n".
  EXPECT_EQ(read_all(s253 + "\r\n"), (Pieces{s253 + "\n", "<end>"}));
  const std::string long_line(254 * 3 + 7, 'd');
  EXPECT_EQ(read_all(long_line, 13),
            (Pieces{std::string(254, 'd'), std::string(254, 'd'), std::string(254, 'd'),
                    std::string(7, 'd'), "<end>"}));
}

TEST(WveReader, NulEndsTheTextOfItsPiece) {
  EXPECT_EQ(read_all(std::string("ab\0cd\nef\n", 9)), (Pieces{"ab", "ef\n", "<end>"}));
  // The piece is still cut at 254 bytes; only its text ends at the NUL.
  std::string text = std::string("x\0", 2) + std::string(300, 'y');
  EXPECT_EQ(read_all(text), (Pieces{"x", std::string(48, 'y'), "<end>"}));
}

TEST(WveReader, ReadErrorIsReportedAfterTheCompleteLines) {
  EXPECT_EQ(read_all("ab\ncd\nef", 4, 7), (Pieces{"ab\n", "cd\n", "<error>"}));
  MemorySource source("", 1, 0);
  WveReader reader(source);
  std::string_view piece;
  EXPECT_EQ(reader.next_line(piece), ReadStatus::error);
  EXPECT_EQ(reader.next_line(piece), ReadStatus::error);
  EXPECT_TRUE(reader.failed());
}

}  // namespace
}  // namespace mosaiq
