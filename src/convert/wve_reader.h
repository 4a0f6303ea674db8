// The line reader through which the engine reads a WVE file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "convert/byte_streams.h"

namespace mosaiq {

enum class ReadStatus { line, end, error };

// One read of the input: a whole line, or a piece of a longer one.
struct WveLine {
  std::string_view text;      // without its line end, and cut at its first NUL byte
  std::uint64_t offset = 0;   // where the piece starts, in bytes from the start of the input
  std::uint32_t length = 0;   // bytes before its line end, a NUL and what follows it included
  std::uint8_t line_end = 0;  // 1 for "\n", 2 for "\r\n", 0 when it has none

  // The piece's bytes as they stand in the input, without its line end.
  std::string_view raw() const { return {text.data(), length}; }
};

// Reads the input as a text stream, the same way on every platform: a line ends at "\n" or at
// "\r\n" (a lone CR is text), and a byte 0x1A ends the input. Each call yields one line, but at
// most line_limit bytes of it, counted as if every CR LF were one byte, so a longer line comes
// in pieces. A NUL byte ends the text of its piece; the rest of that piece is dropped.
class WveReader {
 public:
  static constexpr std::size_t line_limit = 254;
  static constexpr std::size_t capacity = 256 * 1024;

  explicit WveReader(ByteSource& source);
  WveReader(const WveReader&) = delete;
  WveReader& operator=(const WveReader&) = delete;

  // On ReadStatus::line, `line` describes the next piece; its text stays valid until the next
  // call. After ReadStatus::error or ReadStatus::end every call returns the same.
  ReadStatus next_line(WveLine& line) {
    // The common case inline: a line end among the next bytes, and no NUL before it.
    const std::size_t begin = begin_;
    const std::size_t available = end_ - begin;
    const std::size_t stop = begin + (available < line_limit ? available : line_limit);
    const std::size_t newline = find_newline(begin, stop);
    if (newline < stop && newline < next_nul_) {
      const char* const text = buffer_.get() + begin;
      const std::size_t cr = newline > begin && text[newline - begin - 1] == '\r';
      const std::size_t length = newline - cr - begin;
      begin_ = newline + 1;
      line.text = std::string_view(text, length);
      line.offset = base_ + begin;
      line.length = static_cast<std::uint32_t>(length);
      line.line_end = static_cast<std::uint8_t>(1 + cr);
      return ReadStatus::line;
    }
    return next_line_slow(line);
  }

  // next_line() for a caller that expects a line of `width` bytes, such as a grid row: the
  // same piece, found faster when the expectation holds.
  ReadStatus next_row(WveLine& line, std::size_t width) {
    const std::size_t begin = begin_;
    const std::size_t stop = begin + width;
    if (width > 0 && width < line_limit && stop + 1 < end_ && stop <= next_nul_) {
      const char* const text = buffer_.get() + begin;
      std::size_t end_length = 0;
      if (text[width] == '\n' && text[width - 1] != '\r') {
        end_length = 1;
      } else if (text[width] == '\r' && text[width + 1] == '\n') {
        end_length = 2;
      }
      if (end_length != 0 && find_newline(begin, stop) == stop) {
        begin_ = stop + end_length;
        line.text = std::string_view(text, width);
        line.offset = base_ + begin;
        line.length = static_cast<std::uint32_t>(width);
        line.line_end = static_cast<std::uint8_t>(end_length);
        return ReadStatus::line;
      }
    }
    return next_line(line);
  }

  // Takes the next `count` lines at once when each is `width` bytes of text (no "\n" and no NUL
  // among them) and all have the same line end, "\n" or "\r\n": the lines of a grid written the
  // usual way. Returns them as one block, a line every `stride` bytes (width and the line end);
  // empty, having taken nothing, when the lines are not all such. The lines taken are the
  // pieces next_line() would have handed out.
  std::string_view take_rows(std::size_t width, std::int32_t count, std::size_t& stride);

  // Passes over `bytes` when the input goes on with exactly them; false, having taken nothing,
  // when it does not. For bytes that take_rows() handed out before: they are then the same
  // lines again.
  bool skip_repeat(std::string_view bytes);

  // True once a read of the source failed; the lines before the failure were all handed out.
  bool failed() const { return read_failed_; }
  // Where a byte 0x1A ended the input, in bytes from its start; -1 while none was met.
  std::int64_t end_marker() const { return end_marker_; }

 private:
  static constexpr std::size_t none = static_cast<std::size_t>(-1);

  // The first "\n" at or after `from` and before `stop` (at most end_), or `stop`.
  std::size_t find_newline(std::size_t from, std::size_t stop) const {
    const std::uint64_t* const marks = marks_.get();
    std::size_t word = from >> 6;
    std::uint64_t bits = marks[word] & (~std::uint64_t{0} << (from & 63));
    while (bits == 0) {
      if (((word + 1) << 6) >= stop) return stop;
      bits = marks[++word];
    }
    const std::size_t at = (word << 6) + static_cast<std::size_t>(__builtin_ctzll(bits));
    return at < stop ? at : stop;
  }

  ReadStatus next_line_slow(WveLine& line);
  void hand_out(WveLine& line, std::size_t text_end, std::size_t next, std::uint8_t line_end);
  void find_next_nul(std::size_t from);
  void refill();

  ByteSource& source_;
  std::unique_ptr<char[]> buffer_;          // the unread bytes are [begin_, end_)
  std::unique_ptr<std::uint64_t[]> marks_;  // bit i of word w: buffer_[64 w + i] is "\n"
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::size_t next_nul_ = none;  // the first NUL at or after begin_, or none
  std::uint64_t base_ = 0;       // where buffer_[0] stands in the input
  std::int64_t end_marker_ = -1;
  bool source_done_ = false;
  bool read_failed_ = false;
};

}  // namespace mosaiq
