// The line reader through which the engine reads a WVE file.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace mosaiq {

// Where the WVE bytes come from: a file, or memory in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to size bytes into buffer; returns how many were read, 0 at the end of the input,
  // or a negative value on a read error.
  virtual long read(char* buffer, std::size_t size) = 0;
};

enum class ReadStatus { line, end, error };

// Reads the input as a text stream, the same way on every platform: CR LF becomes "\n" (a lone
// CR stays), and a byte 0x1A ends the input. Each call yields one line, but at most
// line_limit bytes of it (counted after that translation), so a longer line comes in pieces. A
// NUL byte ends the text of its piece; the rest of that piece is dropped.
struct WveReader {
  static constexpr std::size_t line_limit = 254;
  static constexpr std::size_t capacity = 64 * 1024;

  explicit WveReader(ByteSource& source) : source(source) {}

  // On ReadStatus::line, text holds the piece with its "\n" when it has one. It stays valid
  // until the next call. After ReadStatus::error or ReadStatus::end every call returns the same.
  ReadStatus next_line(std::string_view& text) {
    // The common case inline: a whole line ending within the buffered bytes, holding no NUL.
    const char* start = buffer + begin;
    const std::size_t available = end - begin;
    const void* newline = std::memchr(start, '\n', available < line_limit ? available : line_limit);
    if (newline != nullptr) {
      const std::size_t length =
          static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1;
      if (next_nul >= begin + length) {
        begin += length;
        text = std::string_view(start, length);
        return ReadStatus::line;
      }
    }
    return next_line_slow(text);
  }

  bool failed() const { return read_failed; }

  ByteSource& source;
  std::size_t begin = 0;  // translated bytes not yet handed out: buffer[begin, end)
  std::size_t end = 0;
  bool source_done = false;
  bool read_failed = false;
  bool pending_cr = false;  // a CR at the end of the last block, its partner not yet seen
  std::size_t next_nul = no_nul;  // where the first NUL at or after begin is, or no_nul
  char buffer[capacity + 1];

 private:
  static constexpr std::size_t no_nul = static_cast<std::size_t>(-1);
  ReadStatus next_line_slow(std::string_view& text);
  void find_next_nul(std::size_t from);
  void refill();
};

}  // namespace mosaiq
