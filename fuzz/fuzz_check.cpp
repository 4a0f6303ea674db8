// Fuzzes mosaiq-check's reading of a file in memory: every input is checked twice, read whole
// and fed in small pieces, in both output forms, and both runs must find the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "check/finding_writer.h"
#include "check/wve_check.h"
#include "convert/memory_streams.h"
#include "platform/console.h"

namespace {

using namespace mosaiq;
using namespace mosaiq::check;

// Keeps no output: only whether anything was written.
class NoConsole : public Console {
 public:
  bool write_out(std::string_view) override { return true; }
  bool write_err(std::string_view) override { return true; }
  bool read_line(std::string&) override { return false; }
  void discard_typeahead() override {}
  bool text_is_utf8() override { return true; }
  bool output_is_terminal() override { return false; }
  bool error_is_terminal() override { return false; }
  std::string variable(const char*) override { return {}; }
};

// Half the inputs are checked with a measure length of their own first byte's choosing, the
// others with the largest beat standing in for it.
std::int64_t data_measure_length(const std::uint8_t* data, std::size_t size) {
  return size > 0 && data[0] % 2 == 0 ? data[0] / 2 + 1 : 0;
}

std::uint64_t count_findings(const std::uint8_t* data, std::size_t size, std::size_t piece,
                             Format format, TextEncoding encoding) {
  NoConsole console;
  Reporter reporter(console, "fuzz");
  WriterSettings settings;
  settings.format = format;
  settings.encoding = encoding;
  settings.colour = format == Format::text;
  FindingWriter writer(reporter, settings);
  CheckSettings limits;
  limits.beats_per_measure = data_measure_length(data, size);
  MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size), piece);
  check_source(source, "fuzz.wve", limits, writer);
  writer.finish();
  return writer.count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t piece = size > 0 ? data[size - 1] % 16 + 1 : 1;
  const std::uint64_t whole =
      count_findings(data, size, static_cast<std::size_t>(-1), Format::text, TextEncoding::utf8);
  const std::uint64_t pieces =
      count_findings(data, size, piece, Format::json, TextEncoding::file_bytes);
  if (whole != pieces) std::abort();  // what the check finds must not depend on how it is read
  return 0;
}
