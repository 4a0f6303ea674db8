#include "view/page_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/file_identity.h"

namespace mosaiq::view {

bool same_file(const std::string& in, const std::string& out) {
  return mosaiq::same_file(identify_path(in), identify_path(out));
}

bool write_file_atomically(const std::string& name, std::string_view bytes, std::string& error) {
  // Beside the page, so that the rename stays within one file system.
  const std::string temporary = name + ".tmp-" + std::to_string(::getpid());
  const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (descriptor < 0) {
    error = std::strerror(errno);
    return false;
  }
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    written += static_cast<std::size_t>(count);
  }
  bool good = written == bytes.size();
  if (!good) error = std::strerror(errno);
  if (good && ::fsync(descriptor) != 0) {
    good = false;
    error = std::strerror(errno);
  }
  if (::close(descriptor) != 0 && good) {
    good = false;
    error = std::strerror(errno);
  }
  if (good && std::rename(temporary.c_str(), name.c_str()) != 0) {
    good = false;
    error = std::strerror(errno);
  }
  if (!good) ::unlink(temporary.c_str());
  return good;
}

}  // namespace mosaiq::view
