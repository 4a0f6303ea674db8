#include "convert/wrd_writer.h"

namespace mosaiq {

std::size_t format_decimal(std::int64_t value, char* out) {
  // Screen rows and columns are mostly small: one or two digits without a loop.
  if (value >= 0 && value < 100) {
    if (value < 10) {
      out[0] = static_cast<char>('0' + value);
      return 1;
    }
    out[0] = static_cast<char>('0' + value / 10);
    out[1] = static_cast<char>('0' + value % 10);
    return 2;
  }
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
  char* at = reserve(max_decimal_length + 1);
  if (value >= 0 && value < 10) *at++ = ' ';
  commit(at + format_decimal(value, at));
}

bool WrdWriter::flush() {
  if (!write_failed && used > 0 && !sink.write(buffer, used)) write_failed = true;
  used = 0;
  return !write_failed;
}

void WrdWriter::put_large(const char* data, std::size_t size) {
  while (size > 0) {
    if (used == capacity && !flush()) return;
    std::size_t room = capacity - used;
    std::size_t part = size < room ? size : room;
    std::memcpy(buffer + used, data, part);
    used += part;
    data += part;
    size -= part;
  }
}

}  // namespace mosaiq
