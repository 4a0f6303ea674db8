// The engine's byte streams in memory: for conversions in memory, tests and fuzzing harnesses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/byte_streams.h"

namespace mosaiq {

// Hands out the text in reads of at most `piece` bytes; fails at byte `fail_at` when it is
// within the text, and at the end of the text when it is past it.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view text, std::size_t piece = static_cast<std::size_t>(-1),
                        std::size_t fail_at = std::string::npos)
      : text_(text), piece_(piece), fail_at_(fail_at) {}
  long read(char* buffer, std::size_t size) override;
  std::size_t position() const { return position_; }
  bool rewind() override {
    position_ = 0;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t piece_;
  std::size_t fail_at_;
  std::size_t position_ = 0;
};

// Keeps what is written; refuses everything once `limit` bytes have been taken.
class MemorySink : public ByteSink {
 public:
  explicit MemorySink(std::size_t limit = std::string::npos) : limit_(limit) {}
  bool write(const char* data, std::size_t size) override;
  std::string bytes;

 private:
  std::size_t limit_;
};

}  // namespace mosaiq
