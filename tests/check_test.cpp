#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "check/directive_suggestion.h"
#include "check/display_text.h"
#include "check/finding_writer.h"
#include "check/wve_check.h"
#include "test_support.h"

namespace mosaiq::check {
namespace {

// A file in memory, read in reads of `chunk` bytes.
class MemoryCheckedSource : public CheckedSource {
 public:
  explicit MemoryCheckedSource(std::string text, std::size_t chunk = 1 << 20)
      : size_(text.size()), source_(std::move(text), chunk) {}
  long read(char* buffer, std::size_t size) override { return source_.read(buffer, size); }
  bool bytes_after(std::uint64_t offset) override { return size_ > offset + 1; }

 private:
  std::size_t size_;
  testing::MemorySource source_;
};

struct Checked {
  CheckSummary summary;
  std::string output;
};

Checked check_text(const std::string& wve, Format format = Format::text,
                   std::size_t chunk = 1 << 20) {
  std::FILE* out = std::tmpfile();
  Checked result;
  {
    WriterSettings settings;
    settings.format = format;
    FindingWriter writer(out, settings);
    MemoryCheckedSource source(wve, chunk);
    result.summary = check_wve(source, "t.wve", CheckSettings{}, writer);
    EXPECT_TRUE(writer.finish());
  }
  std::rewind(out);
  char block[4096];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, out)) > 0) result.output.append(block, got);
  std::fclose(out);
  return result;
}

// Frames painted in a script: every frame painted ends with an empty line, as the header does.
std::size_t painted_frames(const std::string& wrd) {
  std::size_t empty_lines = 0;
  for (std::size_t at = 0; (at = wrd.find("\r\n", at)) != std::string::npos; at += 2) {
    if (at == 0 || wrd.compare(at - 2, 2, "\r\n") == 0) ++empty_lines;
  }
  return empty_lines - 1;
}

// Messy WVE text: records of every shape, rows too long and short, directives among the rows,
// long lines, NULs, 0x1A, CRs, pattern texts, grid sizes.
std::string messy_file(std::uint32_t seed) {
  const auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  static const char* const pieces[] = {
      "*f1-1-1",  "*f2-3-4-1/2", "*f1-1",   "*f",   "*f9-9-9-0/5", "*f1-2-3-1", "*p1,text", "*cp2,",
      "*nXY=3,2", "*nXY=",       "*end",    "*END", " *f1-1-1",    "012",       "0123",     "01",
      "",         "7777777",     "*normal", "x\r",  "a\0b",        "*p3,\x81",  "1\x1a\x31"};
  std::string text =
      next(3) == 0 ? "*nXY=" + std::to_string(next(5)) + "," + std::to_string(next(4)) + "\n" : "";
  for (std::uint32_t lines = 20 + next(60); lines > 0; --lines) {
    const std::uint32_t pick = next(sizeof pieces / sizeof *pieces + 2);
    if (pick < sizeof pieces / sizeof *pieces) {
      text += std::string(pieces[pick], std::strlen(pieces[pick]) + (pick == 20 ? 2 : 0));
    } else {
      text += std::string(200 + next(120), static_cast<char>('0' + next(8)));
    }
    text += next(4) == 0 ? "\r\n" : "\n";
  }
  return text;
}

TEST(Check, SeesTheFramesTheConverterPaints) {
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    const std::string wve = messy_file(seed);
    const testing::Conversion conversion = testing::convert_text(wve);
    for (std::size_t chunk : {std::size_t{1} << 20, std::size_t{7}}) {
      const Checked checked = check_text(wve, Format::text, chunk);
      ASSERT_EQ(checked.summary.complete_frames, painted_frames(conversion.wrd)) << seed;
      ASSERT_LE(checked.summary.frames - checked.summary.complete_frames, 1u) << seed;
    }
  }
}

TEST(Check, FindingsDoNotDependOnHowTheFileIsRead) {
  for (std::uint32_t seed = 500; seed <= 700; ++seed) {
    const std::string wve = messy_file(seed);
    EXPECT_EQ(check_text(wve, Format::json, 1 << 20).output,
              check_text(wve, Format::json, 3).output)
        << seed;
  }
}

TEST(Check, FramesCutShortAreFoundBeforeTheirRows) {
  // The record's finding goes before those of its rows, although it is known only at the end.
  const Checked checked = check_text("*nXY=2,3\n*f1-1-1\n123\n", Format::json);
  const std::size_t truncated = checked.output.find("truncated-frame");
  const std::size_t row = checked.output.find("row-length");
  ASSERT_NE(truncated, std::string::npos);
  ASSERT_NE(row, std::string::npos);
  EXPECT_LT(truncated, row);
}

TEST(DisplayText, ConvertsShiftJisAndEscapesTheRest) {
  std::string shown, indent;
  append_display("a\x82\xa0\xb1\x81 \x1b\t", TextEncoding::utf8, shown, &indent);
  EXPECT_EQ(shown, "a\xe3\x81\x82\xef\xbd\xb1\\x81 \\x1b\t");
  EXPECT_EQ(indent, std::string(1 + 2 + 1 + 4 + 1 + 4, ' ') + "\t");
  shown.clear();
  append_display("a\x82\xa0\x81\x1b", TextEncoding::file_bytes, shown);
  EXPECT_EQ(shown, "a\x82\xa0\x81\\x1b") << "the file's own bytes, but for controls";
}

TEST(DisplayText, JsonStringsAreValidUtf8) {
  EXPECT_EQ(json_string("a\"b\\c\n\xe3\x81\x82"), "\"a\\\"b\\\\c\\u000a\xe3\x81\x82\"");
  EXPECT_EQ(json_string("\x82\xa0\xc0\x80"), "\"\\\\x82\\\\xa0\\\\xc0\\\\x80\"");
}

TEST(DirectiveSuggestion, NamesTheNearestDirective) {
  EXPECT_EQ(suggest_directive("*END"), "*end");
  EXPECT_EQ(suggest_directive("*F1-1-1"), "*f");
  EXPECT_EQ(suggest_directive("*NORMAL"), "*normal");
  EXPECT_EQ(suggest_directive("*nct=1"), "*nCT=");
  EXPECT_EQ(suggest_directive("*CP1,x"), "*cp");
  EXPECT_EQ(suggest_directive("*edn"), "*end");
  EXPECT_EQ(suggest_directive("*complx"), "*complex");
  EXPECT_EQ(suggest_directive("*xyz"), "");
  EXPECT_EQ(suggest_directive("*"), "");
}

}  // namespace
}  // namespace mosaiq::check
