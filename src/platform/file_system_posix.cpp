#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

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

FileKind kind_of_path(const std::string& name) {
  struct stat info;
  if (::stat(name.c_str(), &info) != 0) return FileKind::missing;
  return S_ISREG(info.st_mode)   ? FileKind::regular
         : S_ISDIR(info.st_mode) ? FileKind::folder
                                 : FileKind::other;
}

std::int64_t size_of_open_file(std::FILE* file) {
  struct stat info;
  if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<std::int64_t>(info.st_size);
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

bool make_folders(const std::string& name) {
  for (std::size_t at = name.find('/', 1);; at = name.find('/', at + 1)) {
    const std::string part = name.substr(0, at);
    if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) break;
  }
  return kind_of_path(name) == FileKind::folder || (errno = ENOTDIR, false);
}

bool remove_file(const std::string& name) { return ::unlink(name.c_str()) == 0; }

std::string follow_links(const std::string& name) {
  char resolved[PATH_MAX];
  return ::realpath(name.c_str(), resolved) != nullptr ? std::string(resolved) : name;
}

namespace {

// The name of a temporary file while it has one, to be removed if a signal ends the run first.
char pending_name[4096];
volatile std::sig_atomic_t pending = 0;

void remove_pending_and_stop(int signal) {
  if (pending) ::unlink(pending_name);
  ::raise(signal);  // the handler was reset: once it returns, the signal ends the run as it would
}

// While it lives, an interrupt, a termination or a hang-up first removes the pending file.
class PendingFile {
 public:
  explicit PendingFile(const std::string& name) {
    if (name.size() >= sizeof pending_name) return;
    std::memcpy(pending_name, name.c_str(), name.size() + 1);
    struct sigaction action {};
    action.sa_handler = remove_pending_and_stop;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) ::sigaction(signals_[i], &action, &saved_[i]);
    pending = 1;
    armed_ = true;
  }
  ~PendingFile() {
    if (!armed_) return;
    pending = 0;
    for (int i = 0; i < 3; ++i) ::sigaction(signals_[i], &saved_[i], nullptr);
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

 private:
  static constexpr int signals_[3] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction saved_[3];
  bool armed_ = false;
};

// Writes to a descriptor in blocks (a producer may hand over a few bytes at a time); the first
// failure is kept in words.
class DescriptorSink : public ByteSink {
 public:
  explicit DescriptorSink(int descriptor) : descriptor_(descriptor) { buffer_.reserve(block); }
  bool write(const char* data, std::size_t size) override {
    if (!failure.empty()) return false;
    if (buffer_.size() + size > block && !flush()) return false;
    if (size >= block) return put(std::string_view(data, size));
    buffer_.append(data, size);
    return true;
  }
  // Writes what is held back; false when that failed.
  bool flush() {
    const bool written = buffer_.empty() || put(buffer_);
    buffer_.clear();
    return written;
  }
  std::string failure;

 private:
  static constexpr std::size_t block = std::size_t{1} << 16;

  bool put(std::string_view bytes) {
    if (failure.empty() && write_all(descriptor_, bytes)) return true;
    if (failure.empty()) failure = std::strerror(errno);
    return false;
  }

  int descriptor_;
  std::string buffer_;
};

std::string folder_of(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// A file without a name in the folder of `name`, when the system makes one and can link it in
// later; -1 otherwise.
int unnamed_file_beside(const std::string& name) {
#ifdef O_TMPFILE
  const int descriptor = ::open(folder_of(name).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (descriptor < 0) return -1;
  const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
  if (::access(link.c_str(), F_OK) == 0) return descriptor;
  ::close(descriptor);
#else
  (void)name;
#endif
  return -1;
}

// The new file while it is written: without a name where the system allows it, else under its
// temporary name. However the writing ends (an exception included), what is not put in place is
// removed.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& name, const std::string& temporary) : temporary_(temporary) {
    descriptor_ = unnamed_file_beside(name);
    if (descriptor_ >= 0) return;
    pending_ = std::make_unique<PendingFile>(temporary);
    descriptor_ = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    named_ = descriptor_ >= 0;
  }
  ~TemporaryFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (named_) ::unlink(temporary_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int descriptor() const { return descriptor_; }

  // Gives the file its temporary name (an unnamed one is linked in), closes it and renames it
  // to `name`; false, with `why`, when any step failed.
  bool put_in_place(const std::string& name, std::string& why) {
    if (!named_) {
      pending_ = std::make_unique<PendingFile>(temporary_);
      const std::string link = "/proc/self/fd/" + std::to_string(descriptor_);
      named_ =
          ::linkat(AT_FDCWD, link.c_str(), AT_FDCWD, temporary_.c_str(), AT_SYMLINK_FOLLOW) == 0;
      if (!named_) return failed(why);
    }
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0 || std::rename(temporary_.c_str(), name.c_str()) != 0) {
      return failed(why);
    }
    named_ = false;
    return true;
  }

 private:
  static bool failed(std::string& why) {
    why = std::strerror(errno);
    return false;
  }

  std::string temporary_;
  int descriptor_ = -1;
  bool named_ = false;  // it has the temporary name, which must go if it is not renamed
  std::unique_ptr<PendingFile> pending_;
};

}  // namespace

bool replace_file(const std::string& name, const Producer& produce, std::string& why) {
  // Beside the file, so that the rename stays within one file system.
  TemporaryFile file(name, name + ".tmp-" + std::to_string(::getpid()));
  if (file.descriptor() < 0) {
    why = std::strerror(errno);
    return false;
  }
  DescriptorSink sink(file.descriptor());
  std::string problem;
  if (!produce(sink, problem) || !sink.flush()) {
    why = sink.failure.empty() ? problem : sink.failure;
    return false;
  }
  if (::fsync(file.descriptor()) != 0) {
    why = std::strerror(errno);
    return false;
  }
  return file.put_in_place(name, why);
}

}  // namespace mosaiq
