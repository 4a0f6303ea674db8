#include "view/script_input.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/character_set.h"
#include "convert/converter_state.h"
#include "convert/wrd_writer.h"
#include "convert/wve_conversion.h"
#include "convert/wve_reader.h"

namespace mosaiq::view {

namespace {

class TextSource : public ByteSource {
 public:
  explicit TextSource(const std::string& text) : text_(text) {}
  long read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, text_.size() - position_);
    std::memcpy(buffer, text_.data() + position_, count);
    position_ += count;
    return static_cast<long>(count);
  }

 private:
  const std::string& text_;
  std::size_t position_ = 0;
};

class TextSink : public ByteSink {
 public:
  bool write(const char* data, std::size_t size) override {
    text.append(data, size);
    return true;
  }
  std::string text;
};

bool read_all(std::FILE* file, std::string& bytes, std::string& error, std::size_t limit) {
  char block[1 << 16];
  std::size_t got;
  while (bytes.size() <= limit && (got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes.append(block, got);
  }
  if (!std::ferror(file)) return true;
  error = std::strerror(errno);
  return false;
}

}  // namespace

bool is_wve_name(const std::string& name) {
  if (name.size() < 4) return false;
  std::string end = name.substr(name.size() - 4);
  for (char& c : end) c = fold_ascii(c);
  return end == ".wve";
}

std::string convert_in_memory(const std::string& wve) {
  TextSource source(wve);
  TextSink sink;
  WveReader reader(source);
  WrdWriter writer(sink);
  ConverterState state;
  convert_wve(state, reader, writer);  // memory never fails to take the script
  return std::move(sink.text);
}

bool read_file(const std::string& name, std::string& bytes, std::string& error, std::size_t limit) {
  bytes.clear();
  if (name == "-") return read_all(stdin, bytes, error, limit);
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  const bool read = read_all(file, bytes, error, limit);
  std::fclose(file);
  return read;
}

bool load_script(const std::string& name, std::string& script, std::string& error) {
  std::string bytes;
  if (!read_file(name, bytes, error)) return false;
  script = is_wve_name(name) ? convert_in_memory(bytes) : std::move(bytes);
  return true;
}

}  // namespace mosaiq::view
