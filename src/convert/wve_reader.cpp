#include "convert/wve_reader.h"

#include <cstring>

namespace mosaiq {

namespace {

// Removes every CR that stands before an LF in data; returns the new length.
std::size_t fold_crlf(char* data, std::size_t length) {
  char* cr = static_cast<char*>(std::memchr(data, '\r', length));
  if (cr == nullptr) return length;
  char* out = cr;
  const char* in = cr;
  const char* stop = data + length;
  while (in < stop) {
    if (*in == '\r' && in + 1 < stop && in[1] == '\n') {
      ++in;
      continue;
    }
    *out++ = *in++;
  }
  return static_cast<std::size_t>(out - data);
}

}  // namespace

ReadStatus WveReader::next_line_slow(std::string_view& text) {
  for (;;) {
    const char* start = buffer + begin;
    std::size_t available = end - begin;
    std::size_t window = available < line_limit ? available : line_limit;
    std::size_t length;
    if (const void* newline = std::memchr(start, '\n', window)) {
      length = static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1;
    } else if (available >= line_limit) {
      length = line_limit;
    } else if (read_failed) {
      return ReadStatus::error;
    } else if (source_done) {
      if (available == 0) return ReadStatus::end;
      length = available;
    } else {
      refill();
      continue;
    }
    begin += length;
    if (next_nul < begin) {
      text = std::string_view(start, next_nul - static_cast<std::size_t>(start - buffer));
      find_next_nul(begin);
    } else {
      text = std::string_view(start, length);
    }
    return ReadStatus::line;
  }
}

void WveReader::find_next_nul(std::size_t from) {
  const void* nul = std::memchr(buffer + from, '\0', end - from);
  next_nul = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) : no_nul;
}

void WveReader::refill() {
  std::memmove(buffer, buffer + begin, end - begin);
  end -= begin;
  begin = 0;
  const std::size_t fresh = end;
  if (pending_cr) {
    buffer[end++] = '\r';
    pending_cr = false;
  }
  long count = source.read(buffer + end, capacity - end);
  if (count < 0) {
    read_failed = true;
    source_done = true;
    find_next_nul(0);
    return;
  }
  if (count == 0) {
    source_done = true;
  } else {
    char* raw = buffer + end;
    std::size_t size = static_cast<std::size_t>(count);
    if (const void* marker = std::memchr(raw, 0x1A, size)) {
      size = static_cast<std::size_t>(static_cast<const char*>(marker) - raw);
      source_done = true;
    }
    end += size;
  }
  end = fresh + fold_crlf(buffer + fresh, end - fresh);
  // A CR at the very end may be the first half of a CR LF that the next block completes.
  if (!source_done && end > fresh && buffer[end - 1] == '\r') {
    --end;
    pending_cr = true;
  }
  find_next_nul(0);
}

}  // namespace mosaiq
