// The reader's source and the writer's sink over files opened by the front end.
#pragma once

#include <cstdio>

#include "convert/wrd_writer.h"
#include "convert/wve_reader.h"

namespace mosaiq {

class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  long read(char* buffer, std::size_t size) override;

 private:
  std::FILE* file_;
};

// Unbuffered by the C library: the writer already hands over large blocks.
class FileSink : public ByteSink {
 public:
  explicit FileSink(std::FILE* file);
  bool write(const char* data, std::size_t size) override;

 private:
  std::FILE* file_;
};

}  // namespace mosaiq
