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

}  // namespace mosaiq::testing
