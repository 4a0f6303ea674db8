#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace mosaiq {

namespace {

FileIdentity from_stat(const struct stat& info) {
  FileIdentity identity;
  identity.known = true;
  identity.directory = S_ISDIR(info.st_mode);
  identity.regular = S_ISREG(info.st_mode);
  identity.volume = static_cast<std::uint64_t>(info.st_dev);
  identity.index = static_cast<std::uint64_t>(info.st_ino);
  return identity;
}

bool write_all(int descriptor, std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    written += static_cast<std::size_t>(count);
  }
  return true;
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

bool stamp_path(const std::string& name, FileStamp& stamp) {
  struct stat info;
  if (::stat(name.c_str(), &info) != 0) return false;
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.written =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  stamp.index = static_cast<std::uint64_t>(info.st_ino);
  return true;
}

bool folder_entries(const std::string& name, std::vector<std::string>& entries) {
  DIR* folder = ::opendir(name.c_str());
  if (folder == nullptr) return false;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string entry_name = entry->d_name;
    if (entry_name != "." && entry_name != "..") entries.push_back(entry_name);
  }
  ::closedir(folder);
  return true;
}

std::string follow_links(const std::string& name) {
  char resolved[PATH_MAX];
  return ::realpath(name.c_str(), resolved) != nullptr ? std::string(resolved) : name;
}

bool replace_file(const std::string& name, std::string_view bytes, std::string& why) {
  // Beside the file, so that the rename stays within one file system.
  const std::string temporary = name + ".tmp-" + std::to_string(::getpid());
  const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (descriptor < 0) {
    why = std::strerror(errno);
    return false;
  }
  bool good = write_all(descriptor, bytes) && ::fsync(descriptor) == 0;
  if (!good) why = std::strerror(errno);
  if (::close(descriptor) != 0 && good) {
    good = false;
    why = std::strerror(errno);
  }
  if (good && std::rename(temporary.c_str(), name.c_str()) != 0) {
    good = false;
    why = std::strerror(errno);
  }
  if (!good) ::unlink(temporary.c_str());
  return good;
}

}  // namespace mosaiq
