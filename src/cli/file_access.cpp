#include "cli/file_access.h"

#include <cstdio>

#include "cli/file_identity.h"

namespace mosaiq {

namespace {

class SystemInput : public InputFile {
 public:
  SystemInput(std::FILE* file, const FileIdentity& identity) : file_(file), identity_(identity) {}
  ~SystemInput() override { std::fclose(file_); }
  long read(char* buffer, std::size_t size) override {
    const std::size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) return -1;
    return static_cast<long>(count);
  }
  const FileIdentity& identity() const { return identity_; }

 private:
  std::FILE* file_;
  FileIdentity identity_;
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
  bool exists(const std::string& name) override { return file_exists(name); }

  std::unique_ptr<InputFile> open_input(const std::string& name) override {
    FileIdentity identity;
    std::FILE* file = open_for_reading(name, identity);
    if (file == nullptr) return nullptr;
    return std::make_unique<SystemInput>(file, identity);
  }

  bool is_input(const InputFile& input, const std::string& name) override {
    return same_file(static_cast<const SystemInput&>(input).identity(), identify_path(name));
  }

  std::unique_ptr<OutputFile> create_output(const std::string& name) override {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) return nullptr;
    return std::make_unique<SystemOutput>(file);
  }
};

}  // namespace

FileAccess& system_files() {
  static SystemFiles files;
  return files;
}

}  // namespace mosaiq
