#include "cli/file_identity.h"

#include <sys/stat.h>

namespace mosaiq {

namespace {

FileIdentity from_stat(const struct stat& info) {
  FileIdentity identity;
  identity.known = true;
  identity.directory = S_ISDIR(info.st_mode);
  identity.volume = static_cast<std::uint64_t>(info.st_dev);
  identity.index = static_cast<std::uint64_t>(info.st_ino);
  return identity;
}

}  // namespace

FileIdentity identify_open_file(std::FILE* file) {
  struct stat info;
  if (::fstat(::fileno(file), &info) != 0) return {};
  return from_stat(info);
}

FileIdentity identify_path(const std::string& name) {
  struct stat info;
  if (::stat(name.c_str(), &info) != 0) return {};
  return from_stat(info);
}

}  // namespace mosaiq
