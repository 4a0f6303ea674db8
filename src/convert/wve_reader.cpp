#include "convert/wve_reader.h"

#include <cstring>

#include "convert/line_ends.h"

namespace mosaiq {

namespace {

// Bytes read past the end of the data when its line ends are marked a word at a time.
constexpr std::size_t padding = 64;

// The largest block of rows take_rows() looks at: far less than the buffer holds.
constexpr std::size_t max_row_block = 64 * 1024;

}  // namespace

WveReader::WveReader(ByteSource& source)
    : source_(source),
      buffer_(new char[capacity + padding]),
      marks_(new std::uint64_t[capacity / 64 + 1]()) {}

ReadStatus WveReader::next_line_slow(WveLine& line) {
  for (;;) {
    const std::size_t available = end_ - begin_;
    // One byte beyond the limit: a CR there may belong to a line end that still fits.
    const std::size_t stop = begin_ + (available < line_limit + 1 ? available : line_limit + 1);
    const std::size_t newline = find_newline(begin_, stop);
    if (newline < stop) {
      const std::size_t before = newline - begin_;
      const bool cr = before > 0 && buffer_[newline - 1] == '\r';
      if (before < line_limit || (before == line_limit && cr)) {
        hand_out(line, newline - cr, newline + 1, static_cast<std::uint8_t>(1 + cr));
      } else {
        hand_out(line, begin_ + line_limit, begin_ + line_limit, 0);
      }
    } else if (available > line_limit || (source_done_ && available == line_limit)) {
      hand_out(line, begin_ + line_limit, begin_ + line_limit, 0);
    } else if (!source_done_) {
      refill();
      continue;
    } else if (read_failed_) {
      return ReadStatus::error;
    } else if (available == 0) {
      return ReadStatus::end;
    } else {
      hand_out(line, end_, end_, 0);
    }
    return ReadStatus::line;
  }
}

void WveReader::hand_out(WveLine& line, std::size_t text_end, std::size_t next,
                         std::uint8_t line_end) {
  line.offset = base_ + begin_;
  line.length = static_cast<std::uint32_t>(text_end - begin_);
  const std::size_t text_stop = next_nul_ < text_end ? next_nul_ : text_end;
  line.text = std::string_view(buffer_.get() + begin_, text_stop - begin_);
  line.line_end = line_end;
  begin_ = next;
  if (next_nul_ < begin_) find_next_nul(begin_);
}

std::string_view WveReader::take_rows(std::size_t width, std::int32_t count, std::size_t& stride) {
  if (width == 0 || width >= line_limit || count <= 0) return {};
  while (end_ - begin_ < width + 2 && !source_done_) refill();
  if (end_ - begin_ < width + 1) return {};
  const bool crlf = buffer_[begin_ + width] == '\r';
  stride = width + 1 + crlf;
  const std::size_t size = stride * static_cast<std::size_t>(count);
  if (size > max_row_block) return {};
  while (end_ - begin_ < size && !source_done_) refill();
  if (end_ - begin_ < size || next_nul_ < begin_ + size) return {};
  // Every line end where it belongs, and no other "\n" in the block.
  const char* const block = buffer_.get() + begin_;
  for (std::size_t at = 0; at < size; at += stride) {
    const char* const end = block + at + width;
    if (crlf ? end[0] != '\r' || end[1] != '\n' : end[0] != '\n' || end[-1] == '\r') return {};
    if (find_newline(begin_ + at, begin_ + at + width) != begin_ + at + width) return {};
  }
  begin_ += size;
  return std::string_view(block, size);
}

bool WveReader::skip_repeat(std::string_view bytes) {
  while (end_ - begin_ < bytes.size() && !source_done_) refill();
  if (bytes.empty() || end_ - begin_ < bytes.size() ||
      std::memcmp(buffer_.get() + begin_, bytes.data(), bytes.size()) != 0) {
    return false;
  }
  begin_ += bytes.size();
  if (next_nul_ < begin_) find_next_nul(begin_);
  return true;
}

void WveReader::find_next_nul(std::size_t from) {
  const void* nul = std::memchr(buffer_.get() + from, '\0', end_ - from);
  next_nul_ = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.get()) : none;
}

void WveReader::refill() {
  char* const buffer = buffer_.get();
  std::memmove(buffer, buffer + begin_, end_ - begin_);
  base_ += begin_;
  end_ -= begin_;
  begin_ = 0;
  if (end_ == capacity) return;  // callers never wait for more than a full buffer
  const long count = source_.read(buffer + end_, capacity - end_);
  if (count < 0) {
    read_failed_ = true;
    source_done_ = true;
  } else if (count == 0) {
    source_done_ = true;
  } else {
    std::size_t size = static_cast<std::size_t>(count);
    if (const void* marker = std::memchr(buffer + end_, 0x1A, size)) {
      size = static_cast<std::size_t>(static_cast<const char*>(marker) - (buffer + end_));
      end_marker_ = static_cast<std::int64_t>(base_ + end_ + size);
      source_done_ = true;
    }
    end_ += size;
  }
  // Neither "\n" nor NUL may be seen past the data in the last word.
  std::memset(buffer + end_, ' ', padding);
  if (mark_line_ends(buffer, (end_ + 63) / 64, marks_.get())) {
    find_next_nul(0);
  } else {
    next_nul_ = none;
  }
}

}  // namespace mosaiq
