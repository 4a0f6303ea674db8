#include "platform/file_system.h"

#include <cerrno>

namespace mosaiq {

std::FILE* open_for_reading(const std::string& name, FileIdentity& identity) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return nullptr;
  identity = identify_open_file(file);
  if (!identity.directory) return file;
  std::fclose(file);
  errno = EISDIR;
  return nullptr;
}

}  // namespace mosaiq
