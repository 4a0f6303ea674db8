// What the fuzz targets share: the fuzzer's bytes as an input read in pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mosaiq::fuzzing {

// The bytes, handed out in reads of at most `piece` bytes, as the reader of the engine (Source
// is ByteSource) or of the checker (Source is CheckedSource) sees a file.
template <class Source>
class PieceSource : public Source {
 public:
  PieceSource(const std::uint8_t* data, std::size_t size, std::size_t piece)
      : data_(data), size_(size), piece_(piece) {}
  long read(char* buffer, std::size_t room) override {
    std::size_t count = size_ - position_;
    if (count > piece_) count = piece_;
    if (count > room) count = room;
    if (count > 0) std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return static_cast<long>(count);
  }

 protected:
  std::size_t size() const { return size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t piece_;
  std::size_t position_ = 0;
};

}  // namespace mosaiq::fuzzing
