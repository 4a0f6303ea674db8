#include "convert/memory_streams.h"

#include <algorithm>
#include <cstring>

namespace mosaiq {

long MemorySource::read(char* buffer, std::size_t size) {
  if (position_ >= fail_at_) return -1;
  const std::size_t stop = std::min({text_.size(), fail_at_, position_ + std::min(piece_, size)});
  const std::size_t count = stop - position_;
  if (count == 0 && fail_at_ != std::string::npos) return -1;
  if (count > 0) std::memcpy(buffer, text_.data() + position_, count);
  position_ = stop;
  return static_cast<long>(count);
}

bool MemorySink::write(const char* data, std::size_t size) {
  const std::size_t room = limit_ - std::min(limit_, bytes.size());
  bytes.append(data, std::min(size, room));
  return size <= room;
}

}  // namespace mosaiq
