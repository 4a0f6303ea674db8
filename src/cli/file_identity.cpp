#include "cli/file_identity.h"

namespace mosaiq {

bool same_file(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.volume == b.volume && a.index == b.index;
}

bool file_exists(const std::string& name) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return false;
  const bool directory = identify_open_file(file).directory;
  std::fclose(file);
  return !directory;
}

}  // namespace mosaiq
