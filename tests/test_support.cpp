#include "test_support.h"

#include <algorithm>
#include <cstring>

namespace mosaiq::testing {

const char* const wrd_header = "@startup(400)\r\n@wmode(23);\r\n@wait(0);\r\n\r\n";

std::string wrd_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string wve_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

bool FakeConsole::take(std::string& stream, std::string_view text) {
  if (writes_fail) return false;
  stream += text;
  return true;
}

bool FakeConsole::read_line(std::string& line) {
  line.clear();
  while (position_ < input_.size()) {
    char c = input_[position_++];
    line.push_back(c);
    if (c == '\n') break;
  }
  return !line.empty();
}

std::string FakeConsole::variable(const char* name) {
  const auto found = variables.find(name);
  return found == variables.end() ? std::string() : found->second;
}

namespace {

class MemoryInput : public InputFile {
 public:
  MemoryInput(std::string name, const std::string& text, std::size_t fail_at)
      : name(std::move(name)),
        source_(text, static_cast<std::size_t>(-1), fail_at),
        size_(this->name == "-" ? -1 : static_cast<std::int64_t>(text.size())) {}
  long read(char* buffer, std::size_t size) override { return source_.read(buffer, size); }
  bool rewind() override {
    source_.rewind();
    return true;
  }
  std::string failure() const override { return "Input/output error"; }
  std::int64_t size() const override { return size_; }
  std::string name;

 private:
  MemorySource source_;
  std::int64_t size_;
};

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(std::string& bytes, std::size_t limit) : sink_(limit), bytes_(bytes) {}
  bool write(const char* data, std::size_t size) override {
    const bool written = sink_.write(data, size);
    bytes_ = sink_.bytes;
    return written;
  }
  bool close() override { return true; }

 private:
  MemorySink sink_;
  std::string& bytes_;
};

}  // namespace

std::string MemoryFiles::resolve(const std::string& name) const {
  const auto link = links.find(name);
  return link == links.end() ? name : link->second;
}

bool MemoryFiles::exists(const std::string& name) { return files.count(resolve(name)) != 0; }

FileKind MemoryFiles::kind(const std::string& name) {
  const std::string target = resolve(name);
  if (folders.count(target) != 0) return FileKind::folder;
  if (devices.count(target) != 0) return FileKind::other;
  return files.count(target) != 0 ? FileKind::regular : FileKind::missing;
}

std::unique_ptr<InputFile> MemoryFiles::open_input(const std::string& name, std::string& why) {
  const std::string target = resolve(name);
  if (folders.count(target) != 0) {
    why = "Is a directory";
    return nullptr;
  }
  const auto file = files.find(target);
  if (file == files.end()) {
    why = "No such file or directory";
    return nullptr;
  }
  return std::make_unique<MemoryInput>(target, file->second, read_fails_at);
}

std::unique_ptr<InputFile> MemoryFiles::open_standard_input() {
  return std::make_unique<MemoryInput>("-", standard_input, std::string::npos);
}

bool MemoryFiles::is_input(const InputFile& input, const std::string& name) {
  return static_cast<const MemoryInput&>(input).name == resolve(name);
}

std::unique_ptr<OutputFile> MemoryFiles::create_output(const std::string& name) {
  const std::string target = resolve(name);
  if (unwritable.count(target) != 0 || folders.count(target) != 0) return nullptr;
  std::string& bytes = files[target];
  bytes.clear();
  return std::make_unique<MemoryOutput>(bytes, write_limit);
}

bool MemoryFiles::same_file(const std::string& a, const std::string& b) {
  return exists(a) && resolve(a) == resolve(b);
}

bool MemoryFiles::list_folder(const std::string& name, std::vector<std::string>& entries,
                              std::string& why) {
  if (folders.count(resolve(name)) == 0) {
    why = files.count(resolve(name)) != 0 ? "Not a directory" : "No such file or directory";
    return false;
  }
  const std::string prefix = resolve(name) + "/";
  for (const auto& [path, bytes] : files) {
    if (path.compare(0, prefix.size(), prefix) == 0 &&
        path.find('/', prefix.size()) == std::string::npos) {
      entries.push_back(path.substr(prefix.size()));
    }
  }
  return true;
}

bool MemoryFiles::stamp(const std::string& name, FileStamp& stamp) {
  const auto file = files.find(resolve(name));
  if (file == files.end()) return false;
  stamp.size = file->second.size();
  // Written later, later; written alike, alike.
  const auto at = written_at.find(resolve(name));
  stamp.written = (at != written_at.end() ? at->second << 32 : 0) +
                  static_cast<std::int64_t>(std::hash<std::string>()(file->second) & 0xffffffff);
  return true;
}

bool MemoryFiles::make_folders(const std::string& name, std::string& why) {
  if (files.count(name) != 0) {
    why = "Not a directory";
    return false;
  }
  folders.insert(name);
  return true;
}

bool MemoryFiles::write_whole(const std::string& name, const Producer& produce, std::string& why) {
  MemorySink sink(unwritable.count(name) != 0 ? 0 : write_limit);
  std::string problem;
  if (!produce(sink, problem)) {
    why = sink.bytes.size() >= write_limit || unwritable.count(name) != 0
              ? "No space left on device"
              : problem;
    return false;
  }
  links.erase(name);  // the rename replaces a link, not what it leads to
  files[name] = std::move(sink.bytes);
  written_at[name] = ++clock;
  return true;
}

}  // namespace mosaiq::testing
