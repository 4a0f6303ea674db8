#include "test_support.h"

#include <algorithm>
#include <cstring>

namespace mosaiq::testing {

long MemorySource::read(char* buffer, std::size_t size) {
  if (position_ >= fail_at_) return -1;
  std::size_t stop = std::min({text_.size(), fail_at_, position_ + chunk_, position_ + size});
  std::size_t count = stop - position_;
  if (count == 0 && fail_at_ != std::string::npos) return -1;
  std::memcpy(buffer, text_.data() + position_, count);
  position_ = stop;
  return static_cast<long>(count);
}

bool MemorySink::write(const char* data, std::size_t size) {
  std::size_t room = limit_ - std::min(limit_, bytes.size());
  bytes.append(data, std::min(size, room));
  return size <= room;
}

Conversion convert_text(const std::string& wve, std::size_t chunk) {
  MemorySource source(wve, chunk);
  MemorySink sink;
  WveReader reader(source);
  WrdWriter writer(sink);
  ConverterState state;
  ConvertOutcome outcome = convert_wve(state, reader, writer);
  return {outcome, sink.bytes};
}

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

bool FakeConsole::read_line(std::string& line) {
  line.clear();
  while (position_ < input_.size()) {
    char c = input_[position_++];
    line.push_back(c);
    if (c == '\n') break;
  }
  return !line.empty();
}

namespace {

class MemoryInput : public InputFile {
 public:
  MemoryInput(std::string name, const std::string& text, std::size_t fail_at)
      : name(std::move(name)), source_(text, 1 << 20, fail_at) {}
  long read(char* buffer, std::size_t size) override { return source_.read(buffer, size); }
  std::string name;

 private:
  MemorySource source_;
};

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(std::string& bytes, std::size_t limit) : bytes_(bytes), limit_(limit) {}
  bool write(const char* data, std::size_t size) override {
    const std::size_t room = limit_ - std::min(limit_, bytes_.size());
    bytes_.append(data, std::min(size, room));
    return size <= room;
  }
  bool close() override { return true; }

 private:
  std::string& bytes_;
  std::size_t limit_;
};

}  // namespace

std::string MemoryFiles::resolve(const std::string& name) const {
  const auto link = links.find(name);
  return link == links.end() ? name : link->second;
}

bool MemoryFiles::exists(const std::string& name) { return files.count(resolve(name)) != 0; }

std::unique_ptr<InputFile> MemoryFiles::open_input(const std::string& name) {
  const std::string target = resolve(name);
  const auto file = files.find(target);
  if (file == files.end()) return nullptr;
  return std::make_unique<MemoryInput>(target, file->second, read_fails_at);
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

}  // namespace mosaiq::testing
