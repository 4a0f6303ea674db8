#include "convert/wrd_writer.h"

namespace mosaiq {

std::size_t format_decimal_long(std::int64_t value, char* out) {
  // Work in the unsigned magnitude so that the most negative value needs no special case.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char digits[20];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::size_t length = 0;
  if (value < 0) out[length++] = '-';
  while (count > 0) out[length++] = digits[--count];
  return length;
}

void WrdWriter::put_decimal(std::int64_t value) {
  char* at = reserve(max_decimal_length);
  commit(at + format_decimal(value, at));
}

void WrdWriter::put_decimal_2(std::int64_t value) {
  commit(format_decimal_2(value, reserve(max_decimal_length + 1)));
}

bool WrdWriter::flush() {
  if (!write_failed_ && used_ > 0 && !sink_.write(buffer_.get(), used_)) write_failed_ = true;
  used_ = 0;
  return !write_failed_;
}

void WrdWriter::put_large(const char* data, std::size_t size) {
  while (size > 0) {
    if (used_ == capacity && !flush()) return;
    std::size_t room = capacity - used_;
    std::size_t part = size < room ? size : room;
    std::memcpy(buffer_.get() + used_, data, part);
    used_ += part;
    data += part;
    size -= part;
  }
}

}  // namespace mosaiq
