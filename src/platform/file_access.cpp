#include "platform/file_access.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_system.h"

namespace mosaiq {

namespace {

// A file read as bytes. One that cannot seek (standard input, a pipe) keeps what was read of it
// in a temporary file, from which a rewound reading takes it again before going on.
class SystemInput : public InputFile {
 public:
  SystemInput(std::FILE* file, const FileIdentity& identity, bool owned)
      : file_(file),
        identity_(identity),
        owned_(owned),
        start_(std::ftell(file)),
        size_(size_of_open_file(file)) {
    if (start_ < 0) identity_.regular = false;
    if (!identity_.regular) size_ = -1;
  }
  ~SystemInput() override {
    if (owned_) std::fclose(file_);
    if (kept_ != nullptr) std::fclose(kept_);
  }

  long read(char* buffer, std::size_t size) override {
    if (replaying_) {
      const std::size_t count = std::fread(buffer, 1, size, kept_);
      if (count > 0) return static_cast<long>(count);
      if (std::ferror(kept_)) return fail();
      replaying_ = false;
      keep_failed_ |= std::fseek(kept_, 0, SEEK_END) != 0;  // what comes next is kept after it
    }
    const std::size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) return fail();
    if (keeping() && std::fwrite(buffer, 1, count, kept_) != count) keep_failed_ = true;
    return static_cast<long>(count);
  }

  bool rewind() override {
    if (identity_.regular) return std::fseek(file_, start_, SEEK_SET) == 0;
    if (kept_ == nullptr || keep_failed_ || std::fflush(kept_) != 0) return false;
    std::rewind(kept_);
    replaying_ = true;
    return true;
  }

  std::string failure() const override { return std::strerror(error_); }
  std::int64_t size() const override { return size_ < 0 ? -1 : size_ - start_; }
  const FileIdentity& identity() const { return identity_; }

 private:
  bool keeping() {
    if (identity_.regular || replaying_) return false;
    if (kept_ == nullptr && !keep_failed_) {
      kept_ = std::tmpfile();
      keep_failed_ = kept_ == nullptr;
    }
    return kept_ != nullptr;
  }

  long fail() {
    error_ = errno;
    return -1;
  }

  std::FILE* file_;
  FileIdentity identity_;
  bool owned_;
  long start_;                 // where reading began
  std::int64_t size_;          // of a regular file; -1 for any other
  std::FILE* kept_ = nullptr;  // what was read of a file that cannot seek
  bool keep_failed_ = false;
  bool replaying_ = false;
  int error_ = 0;
};

// Unbuffered by the C library: the writer already hands over large blocks.
class SystemOutput : public OutputFile {
 public:
  explicit SystemOutput(std::FILE* file) : file_(file) { std::setvbuf(file_, nullptr, _IONBF, 0); }
  ~SystemOutput() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  bool write(const char* data, std::size_t size) override {
    return std::fwrite(data, 1, size, file_) == size;
  }
  bool close() override {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }

 private:
  std::FILE* file_;
};

class SystemFiles : public FileAccess {
 public:
  bool exists(const std::string& name) override {
    FileIdentity identity;
    std::FILE* file = open_for_reading(name, identity);
    if (file != nullptr) std::fclose(file);
    return file != nullptr;
  }

  FileKind kind(const std::string& name) override { return kind_of_path(name); }

  std::unique_ptr<InputFile> open_input(const std::string& name, std::string& why) override {
    FileIdentity identity;
    std::FILE* file = open_for_reading(name, identity);
    if (file == nullptr) {
      why = std::strerror(errno);
      return nullptr;
    }
    return std::make_unique<SystemInput>(file, identity, true);
  }

  std::unique_ptr<InputFile> open_standard_input() override {
    return std::make_unique<SystemInput>(stdin, identify_open_file(stdin), false);
  }

  bool is_input(const InputFile& input, const std::string& name) override {
    return static_cast<const SystemInput&>(input).identity().same_as(identify_path(name));
  }

  std::unique_ptr<OutputFile> create_output(const std::string& name) override {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) return nullptr;
    return std::make_unique<SystemOutput>(file);
  }

  bool list_folder(const std::string& name, std::vector<std::string>& entries,
                   std::string& why) override {
    if (folder_entries(name, entries)) return true;
    why = std::strerror(errno);
    return false;
  }

  bool same_file(const std::string& a, const std::string& b) override {
    return identify_path(a).same_as(identify_path(b));
  }

  bool stamp(const std::string& name, FileStamp& stamp) override { return stamp_path(name, stamp); }

  std::string link_target(const std::string& name) override { return follow_links(name); }

  bool make_folders(const std::string& name, std::string& why) override {
    if (mosaiq::make_folders(name)) return true;
    why = std::strerror(errno);
    return false;
  }

  bool remove_file(const std::string& name) override { return mosaiq::remove_file(name); }

  bool write_whole(const std::string& name, const Producer& produce, std::string& why) override {
    return replace_file(name, produce, why);
  }
};

}  // namespace

FileAccess& system_files() {
  static SystemFiles files;
  return files;
}

WholeFile read_whole_file(FileAccess& files, const std::string& name, std::size_t limit,
                          std::string& bytes, std::string& why, const FirstBytesJudge& judge) {
  bytes.clear();
  std::unique_ptr<InputFile> input =
      name == "-" ? files.open_standard_input() : files.open_input(name, why);
  if (!input) return WholeFile::unreadable;
  const std::int64_t size = input->size();
  const auto give_up = [&](WholeFile result, std::string reason) {
    std::string().swap(bytes);
    why = std::move(reason);
    return result;
  };
  if (size > static_cast<std::int64_t>(limit)) {
    return give_up(WholeFile::too_large, "larger than " + size_words(limit));
  }
  if (size > 0) bytes.reserve(static_cast<std::size_t>(size) + 1);
  char block[1 << 16];
  bool judged = !judge;
  long got = 0;
  do {
    got = input->read(block, sizeof block);
    if (got > 0) bytes.append(block, static_cast<std::size_t>(got));
    if (!judged && (got <= 0 || bytes.size() >= sizeof block)) {
      judged = true;
      if (std::string problem = judge(bytes); !problem.empty()) {
        return give_up(WholeFile::refused, std::move(problem));
      }
    }
  } while (got > 0 && bytes.size() <= limit);
  if (bytes.size() > limit)
    return give_up(WholeFile::too_large, "larger than " + size_words(limit));
  if (got >= 0) return WholeFile::read;
  return give_up(WholeFile::unreadable, input->failure());
}

bool read_file_start(FileAccess& files, const std::string& name, std::size_t count,
                     std::string& bytes, std::string& why) {
  bytes.clear();
  std::unique_ptr<InputFile> input =
      name == "-" ? files.open_standard_input() : files.open_input(name, why);
  if (!input) return false;
  bytes.resize(count);
  std::size_t have = 0;
  long got = 0;
  while (have < count && (got = input->read(&bytes[have], count - have)) > 0) {
    have += static_cast<std::size_t>(got);
  }
  bytes.resize(have);
  if (got >= 0) return true;
  why = input->failure();
  return false;
}

std::string size_words(std::size_t bytes) {
  static const char* const units[] = {"bytes", "KiB", "MiB", "GiB"};
  int unit = 0;
  while (unit < 3 && bytes >= 1024 && bytes % 1024 == 0) {
    bytes /= 1024;
    ++unit;
  }
  return std::to_string(bytes) + " " + units[unit];
}

}  // namespace mosaiq
