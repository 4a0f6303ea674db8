#include "cli/file_identity.h"

#include <cerrno>

namespace mosaiq {

bool same_file(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.volume == b.volume && a.index == b.index;
}

std::FILE* open_for_reading(const std::string& name, FileIdentity& identity) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return nullptr;
  identity = identify_open_file(file);
  if (!identity.directory) return file;
  std::fclose(file);
  errno = EISDIR;
  return nullptr;
}

bool file_exists(const std::string& name) {
  FileIdentity identity;
  std::FILE* file = open_for_reading(name, identity);
  if (file != nullptr) std::fclose(file);
  return file != nullptr;
}

}  // namespace mosaiq
