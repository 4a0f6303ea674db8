// Fuzzes mosaiq-check's reading of a file in memory: every input is checked twice, read whole
// and fed in small pieces, in both output forms, and both runs must see and find the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "check/finding_writer.h"
#include "check/wve_check.h"
#include "fuzz_support.h"

namespace {

using namespace mosaiq;
using namespace mosaiq::check;

// The checker's input also tells whether bytes follow an end-of-file byte.
class PieceSource : public fuzzing::PieceSource<CheckedSource> {
 public:
  using fuzzing::PieceSource<CheckedSource>::PieceSource;
  bool bytes_after(std::uint64_t offset) override { return size() > offset + 1; }
};

// Half the inputs are checked with a measure length of their own first byte's choosing, the
// others with the largest beat standing in for it.
std::int64_t data_measure_length(const std::uint8_t* data, std::size_t size) {
  return size > 0 && data[0] % 2 == 0 ? data[0] / 2 + 1 : 0;
}

struct Result {
  CheckSummary summary;
  std::uint64_t findings;
};

Result check_input(const std::uint8_t* data, std::size_t size, std::size_t piece, Format format,
                   TextEncoding encoding) {
  static std::FILE* const nowhere = std::fopen("/dev/null", "wb");
  WriterSettings settings;
  settings.format = format;
  settings.encoding = encoding;
  settings.colour = format == Format::text;
  FindingWriter writer(nowhere, settings);
  PieceSource source(data, size, piece);
  CheckSettings limits;
  limits.beats_per_measure = data_measure_length(data, size);
  const CheckSummary summary = check_wve(source, "fuzz.wve", limits, writer);
  writer.finish();
  return {summary, writer.count()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t piece = size > 0 ? data[size - 1] % 16 + 1 : 1;
  const Result whole =
      check_input(data, size, static_cast<std::size_t>(-1), Format::text, TextEncoding::utf8);
  const Result pieces = check_input(data, size, piece, Format::json, TextEncoding::file_bytes);
  if (whole.findings != pieces.findings || whole.summary.frames != pieces.summary.frames ||
      whole.summary.complete_frames != pieces.summary.complete_frames) {
    std::abort();  // what the check finds must not depend on how the input arrives
  }
  return 0;
}
