// Where the engine's bytes come from and go to: files, or memory in tests and harnesses.
#pragma once

#include <cstddef>

namespace mosaiq {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to size bytes into buffer; returns how many were read, 0 at the end of the input,
  // or a negative value on a read error.
  virtual long read(char* buffer, std::size_t size) = 0;
  // Goes back to the first byte, so that the input can be read again; false when it cannot.
  virtual bool rewind() { return false; }
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all of data; returns false when not all of it could be written.
  virtual bool write(const char* data, std::size_t size) = 0;
};

}  // namespace mosaiq
