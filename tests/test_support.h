// In-memory stand-ins for the files and the console, shared by the unit tests.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "cli/file_access.h"
#include "cli/file_names.h"
#include "cli/shift_jis.h"
#include "convert/converter_state.h"
#include "convert/wrd_writer.h"
#include "convert/wve_conversion.h"
#include "convert/wve_reader.h"

namespace mosaiq::testing {

// The lead bytes of Shift_JIS, as the Japanese code page of Windows has them.
constexpr LeadByteTest shift_jis_lead = is_sjis_lead;

// The path rules of the two platforms.
constexpr PathSyntax posix_paths{'/', nullptr};
constexpr PathSyntax windows_paths{'\\', shift_jis_lead};

// Hands out the text in reads of at most `chunk` bytes; fails (once the text is used up, or at
// byte fail_at) when asked to.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string text, std::size_t chunk = 1 << 20,
                        std::size_t fail_at = std::string::npos)
      : text_(std::move(text)), chunk_(chunk), fail_at_(fail_at) {}
  long read(char* buffer, std::size_t size) override;

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t fail_at_;
  std::size_t position_ = 0;
};

// Keeps what is written; refuses everything once `limit` bytes have been accepted.
class MemorySink : public ByteSink {
 public:
  explicit MemorySink(std::size_t limit = std::string::npos) : limit_(limit) {}
  bool write(const char* data, std::size_t size) override;
  std::string bytes;

 private:
  std::size_t limit_;
};

// A state whose output goes to an in-memory writer, for driving the panel and the painter.
struct EngineFixture {
  EngineFixture() : writer(sink) { state.output_file = &writer; }
  std::string output() {
    writer.flush();
    return sink.bytes;
  }
  MemorySink sink;
  WrdWriter writer;
  ConverterState state;
};

struct Conversion {
  ConvertOutcome outcome;
  std::string wrd;
};

// Converts the WVE text in memory, fed in reads of `chunk` bytes.
Conversion convert_text(const std::string& wve, std::size_t chunk = 1 << 20);

// The script header every conversion starts with.
extern const char* const wrd_header;

// The lines joined, each ended with CR LF as in a WRD file.
std::string wrd_lines(const std::vector<std::string>& lines);

// The WVE text: the lines, each ended with "\n".
std::string wve_lines(const std::vector<std::string>& lines);

class FakeConsole : public Console {
 public:
  explicit FakeConsole(std::string input = "") : input_(std::move(input)) {}
  void write_out(std::string_view text) override { out += text; }
  void write_err(std::string_view text) override { err += text; }
  bool read_line(std::string& line) override;
  void discard_typeahead() override { ++discards; }
  bool text_is_utf8() override { return utf8; }

  std::string out;
  std::string err;
  int discards = 0;
  bool utf8 = false;

 private:
  std::string input_;
  std::size_t position_ = 0;
};

// Files in memory for the front end: names and their bytes, folders, links, names that cannot be
// written, and outputs that take only so many bytes.
class MemoryFiles : public FileAccess {
 public:
  bool exists(const std::string& name) override;
  std::unique_ptr<InputFile> open_input(const std::string& name) override;
  bool is_input(const InputFile& input, const std::string& name) override;
  std::unique_ptr<OutputFile> create_output(const std::string& name) override;

  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::map<std::string, std::string> links;  // a name, and the name it reaches
  std::set<std::string> unwritable;
  std::size_t write_limit = std::string::npos;    // bytes an output takes before writes fail
  std::size_t read_fails_at = std::string::npos;  // where reading an input fails

 private:
  std::string resolve(const std::string& name) const;
};

}  // namespace mosaiq::testing
