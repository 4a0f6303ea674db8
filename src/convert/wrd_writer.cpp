#include "convert/wrd_writer.h"

namespace mosaiq {

std::size_t format_decimal(std::int64_t value, char* out) {
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
  char text[24];
  put(text, format_decimal(value, text));
}

void WrdWriter::put_decimal_2(std::int64_t value) {
  char text[24];
  std::size_t length = format_decimal(value, text);
  if (length < 2) put(" ", 1);
  put(text, length);
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
