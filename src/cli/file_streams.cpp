#include "cli/file_streams.h"

namespace mosaiq {

long FileSource::read(char* buffer, std::size_t size) {
  std::size_t count = std::fread(buffer, 1, size, file_);
  if (count == 0 && std::ferror(file_)) return -1;
  return static_cast<long>(count);
}

FileSink::FileSink(std::FILE* file) : file_(file) { std::setvbuf(file_, nullptr, _IONBF, 0); }

bool FileSink::write(const char* data, std::size_t size) {
  return std::fwrite(data, 1, size, file_) == size;
}

}  // namespace mosaiq
