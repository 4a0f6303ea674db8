// The buffered writer through which the engine writes the WRD script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "convert/byte_streams.h"

namespace mosaiq {

// Collects the script in a fixed buffer and hands it to the sink in large blocks. The script's
// line end is CR LF on every platform; callers end lines with end_line(), never with a bare "\n".
// After the first failed write the writer drops everything and failed() stays true, so the file
// holds a true prefix of the script.
class WrdWriter {
 public:
  static constexpr std::size_t capacity = 256 * 1024;

  explicit WrdWriter(ByteSink& sink) : sink_(sink), buffer_(new char[capacity]) {}
  WrdWriter(const WrdWriter&) = delete;
  WrdWriter& operator=(const WrdWriter&) = delete;

  void put(const char* data, std::size_t size) {
    if (size <= capacity - used_) {
      std::memcpy(buffer_.get() + used_, data, size);
      used_ += size;
    } else {
      put_large(data, size);
    }
  }
  void put(std::string_view text) {
    if (!text.empty()) put(text.data(), text.size());  // an empty view may hold no pointer
  }
  void end_line() { commit(end_line(reserve(2))); }
  // The line end written into a span from reserve(); returns the end of it.
  static char* end_line(char* at) {
    std::memcpy(at, "\r\n", 2);
    return at + 2;
  }

  // Room for at least `size` more bytes (at most capacity): the bytes go where the pointer
  // points, and commit() takes the end of what was written there. For loops that write many
  // small pieces without a call per piece.
  char* reserve(std::size_t size) {
    if (capacity - used_ < size) flush();
    return buffer_.get() + used_;
  }
  void commit(char* stop) { used_ = static_cast<std::size_t>(stop - buffer_.get()); }
  // Like reserve(), for a pointer obtained from reserve() and not yet committed.
  char* ensure(char* at, std::size_t size) {
    if (static_cast<std::size_t>(buffer_.get() + capacity - at) >= size) return at;
    commit(at);
    return reserve(size);
  }

  // The value in decimal, with a minus sign when negative.
  void put_decimal(std::int64_t value);
  // As printf's "%2d": at least two characters, filled with spaces on the left.
  void put_decimal_2(std::int64_t value);

  // Hands the buffered bytes to the sink; false when this or an earlier write failed.
  bool flush();
  bool failed() const { return write_failed_; }

 private:
  void put_large(const char* data, std::size_t size);

  ByteSink& sink_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  bool write_failed_ = false;
};

// The most bytes format_decimal() writes.
constexpr std::size_t max_decimal_length = 20;

// format_decimal() for values outside 0 to 99.
std::size_t format_decimal_long(std::int64_t value, char* out);

// Formats value in decimal into out (room for max_decimal_length bytes); returns the number of
// bytes. Screen rows and columns are mostly small: one or two digits take no loop.
inline std::size_t format_decimal(std::int64_t value, char* out) {
  if (value >= 0 && value < 10) {
    out[0] = static_cast<char>('0' + value);
    return 1;
  }
  if (value >= 10 && value < 100) {
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return 2;
  }
  return format_decimal_long(value, out);
}

// As printf's "%2d" into out (room for max_decimal_length + 1 bytes): at least two characters,
// filled with spaces on the left. Returns the end of what it wrote.
inline char* format_decimal_2(std::int64_t value, char* out) {
  if (value >= 0 && value < 10) {
    out[0] = ' ';
    out[1] = static_cast<char>('0' + value);
    return out + 2;
  }
  return out + format_decimal(value, out);
}

// The cursor escapes, formatted into a span from WrdWriter::reserve(); each returns the end of
// what it wrote. Rows and columns are 64-bit: a wide grid's columns pass 2^31.
constexpr std::size_t cursor_position_room = 2 + 2 * max_decimal_length + 1 + 4;
constexpr std::size_t cursor_forward_room = 2 + max_decimal_length + 1;

// "\x1b[row;columnH;" and its line end: the line that moves the cursor.
inline char* put_cursor_position(char* at, std::int64_t row, std::int64_t column) {
  std::memcpy(at, "\x1b[", 2);
  at += 2;
  at += format_decimal(row, at);
  *at++ = ';';
  at += format_decimal(column, at);
  std::memcpy(at, "H;", 2);
  return WrdWriter::end_line(at + 2);
}

// "\x1b[nC": moves the cursor forward within a line of cells.
inline char* put_cursor_forward(char* at, std::int64_t columns) {
  std::memcpy(at, "\x1b[", 2);
  at += 2;
  at += format_decimal(columns, at);
  *at = 'C';
  return at + 1;
}

}  // namespace mosaiq
