// Writing findings as compilers do (FILE:LINE:COLUMN: warning: MESSAGE [CHECK], the line and a
// caret under the column) or as one JSON array.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_options.h"
#include "check/checks.h"
#include "check/display_text.h"

namespace mosaiq {
class Reporter;
}

namespace mosaiq::check {

// A note under a finding: where its cause stands, or how many more like it were folded into it.
struct Note {
  std::uint64_t line;
  std::uint64_t column;
  std::string message;
};

struct Finding {
  Check check;
  std::uint64_t offset;  // the byte it points at, from the start of the file
  std::uint64_t line;    // from 1
  std::uint64_t column;  // in bytes, from 1
  std::string message;   // English; text quoted from the file already made fit to show
  // The bytes of the line shown under it: the part of the line that holds the column, without
  // its line end, and the column its first byte stands in.
  std::string source;
  std::uint64_t source_column = 1;
  std::vector<Note> notes;
};

struct WriterSettings {
  Format format = Format::text;
  bool colour = false;
  TextEncoding encoding = TextEncoding::file_bytes;  // JSON is always UTF-8
};

// Where a file's findings go, in the order of the file.
class FindingSink {
 public:
  virtual ~FindingSink() = default;
  // How text quoted from a file is to be shown in messages.
  virtual TextEncoding encoding() const = 0;
  virtual void write(std::string_view file, const Finding& finding) = 0;
};

// The findings kept as they are, their texts in UTF-8: for a program that shows them itself.
class FindingList : public FindingSink {
 public:
  TextEncoding encoding() const override { return TextEncoding::utf8; }
  void write(std::string_view, const Finding& finding) override { findings.push_back(finding); }

  std::vector<Finding> findings;
};

// Formats findings in the order they come and writes them to standard output in large blocks.
class FindingWriter : public FindingSink {
 public:
  FindingWriter(Reporter& out, const WriterSettings& settings);
  FindingWriter(const FindingWriter&) = delete;
  FindingWriter& operator=(const FindingWriter&) = delete;

  TextEncoding encoding() const override;

  void write(std::string_view file, const Finding& finding) override;
  // Writes what is left and ends the JSON array.
  void finish();
  std::uint64_t count() const { return count_; }

 private:
  void format_text(std::string_view file, const Finding& finding);
  void format_json(std::string_view file, const Finding& finding);
  void format_location(std::string_view file, std::uint64_t line, std::uint64_t column);

  Reporter& out_;
  WriterSettings settings_;
  std::string buffer_;
  std::uint64_t count_ = 0;
};

}  // namespace mosaiq::check
