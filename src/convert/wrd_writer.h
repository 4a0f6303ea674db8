// The buffered writer through which the engine writes the WRD script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace mosaiq {

// Where the WRD bytes go: a file, or memory in tests.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all of data; returns false when not all of it could be written.
  virtual bool write(const char* data, std::size_t size) = 0;
};

// Collects the script in a fixed buffer and hands it to the sink in large blocks. The script's
// line end is CR LF on every platform; callers end lines with end_line(), never with a bare "\n".
// After the first failed write the writer drops everything and failed() stays true, so the file
// holds a true prefix of the script.
struct WrdWriter {
  static constexpr std::size_t capacity = 64 * 1024;

  explicit WrdWriter(ByteSink& sink) : sink(sink) {}

  void put(const char* data, std::size_t size) {
    if (size <= capacity - used) {
      std::memcpy(buffer + used, data, size);
      used += size;
    } else {
      put_large(data, size);
    }
  }
  void put(std::string_view text) {
    if (!text.empty()) put(text.data(), text.size());  // an empty view may hold no pointer
  }
  void end_line() { put("\r\n", 2); }

  // Room for at least `size` more bytes (at most capacity): the bytes go where the pointer
  // points, and commit() takes the end of what was written there. For loops that write many
  // small pieces without a call per piece.
  char* reserve(std::size_t size) {
    if (capacity - used < size) flush();
    return buffer + used;
  }
  void commit(char* stop) { used = static_cast<std::size_t>(stop - buffer); }
  // Like reserve(), for a pointer obtained from reserve() and not yet committed.
  char* ensure(char* at, std::size_t size) {
    if (static_cast<std::size_t>(buffer + capacity - at) >= size) return at;
    commit(at);
    return reserve(size);
  }

  // The value in decimal, with a minus sign when negative.
  void put_decimal(std::int64_t value);
  // As printf's "%2d": at least two characters, filled with spaces on the left.
  void put_decimal_2(std::int64_t value);

  // Hands the buffered bytes to the sink; false when this or an earlier write failed.
  bool flush();
  bool failed() const { return write_failed; }

  ByteSink& sink;
  std::size_t used = 0;
  bool write_failed = false;
  char buffer[capacity];

 private:
  void put_large(const char* data, std::size_t size);
};

// Formats value in decimal into out (at least 20 bytes); returns the number of bytes.
std::size_t format_decimal(std::int64_t value, char* out);

// The most bytes format_decimal() writes.
constexpr std::size_t max_decimal_length = 20;

}  // namespace mosaiq
