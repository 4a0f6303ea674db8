// The line reader through which the engine reads a WVE file.
#pragma once

#include <cstddef>
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
  ReadStatus next_line(std::string_view& text);

  bool failed() const { return read_failed; }

  ByteSource& source;
  std::size_t begin = 0;  // translated bytes not yet handed out: buffer[begin, end)
  std::size_t end = 0;
  bool source_done = false;
  bool read_failed = false;
  bool pending_cr = false;  // a CR at the end of the last block, its partner not yet seen
  char buffer[capacity + 1];

 private:
  void refill();
};

}  // namespace mosaiq
