// Writing findings as compilers do (FILE:LINE:COLUMN: warning: MESSAGE [CHECK], the line and a
// caret under the column) or as one JSON array.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "check/check_options.h"
#include "check/checks.h"
#include "check/display_text.h"

namespace mosaiq::check {

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
};

struct WriterSettings {
  Format format = Format::text;
  bool colour = false;
  TextEncoding encoding = TextEncoding::file_bytes;  // JSON is always UTF-8
};

// Text kept aside: in memory, or in a temporary file once it grows large.
class Spool {
 public:
  Spool() = default;
  ~Spool();
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;

  void add(const std::string& text);
  // Hands everything kept, in order, to `take`, and empties the spool; false when the temporary
  // file failed.
  template <class Take>
  bool drain(Take&& take);
  void clear();
  bool empty() const { return memory_.empty() && file_ == nullptr; }

 private:
  std::string memory_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

class FindingWriter {
 public:
  FindingWriter(std::FILE* out, const WriterSettings& settings);
  FindingWriter(const FindingWriter&) = delete;
  FindingWriter& operator=(const FindingWriter&) = delete;

  // How text quoted from a file is to be shown in messages.
  TextEncoding encoding() const;

  void write(std::string_view file, const Finding& finding);

  // From hold() on, findings are kept aside; after stop_holding() they are written again as
  // they come, and release() writes the ones kept aside. So findings found later can go
  // before them.
  void hold() { holding_ = true; }
  void stop_holding() { holding_ = false; }
  void release();

  // A file's findings, kept until the file is known to be checked right: commit_file() writes
  // them, discard_file() forgets them as if they had never been found.
  void begin_file();
  void commit_file();
  void discard_file();

  // Writes what is left and ends the JSON array; false when any write failed.
  bool finish();
  std::uint64_t count() const { return count_; }

 private:
  void format(std::string_view file, const Finding& finding, std::string& text);
  void put(const std::string& text);
  void output(const std::string& text);

  std::FILE* out_;
  WriterSettings settings_;
  std::string buffer_;
  Spool held_;  // findings of a frame's rows, while its record's wait
  Spool file_;  // findings of a file, while it may be checked again
  bool holding_ = false;
  bool in_file_ = false;
  bool started_ = false;  // some finding has gone out
  bool failed_ = false;
  std::uint64_t count_ = 0;
  std::uint64_t file_start_count_ = 0;
  bool file_start_started_ = false;
};

}  // namespace mosaiq::check
