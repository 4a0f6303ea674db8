// Fuzzes the conversion engine in memory: every input is converted twice, once read whole and
// once fed in small pieces, and both runs must give the same outcome and the same script.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "convert/converter_state.h"
#include "convert/wrd_writer.h"
#include "convert/wve_conversion.h"
#include "convert/wve_reader.h"
#include "fuzz_support.h"

namespace {

using namespace mosaiq;

// Grids above this are not taken, which bounds the harness's own work and memory.
constexpr std::int64_t fuzz_cell_limit = 65536;
// The sink refuses everything past this many bytes, so a conversion ends with a write error.
constexpr std::size_t sink_limit = 16u << 20;

using PieceSource = fuzzing::PieceSource<ByteSource>;

// Keeps only a byte count and an FNV-1a hash of what it accepted.
class HashSink : public ByteSink {
 public:
  bool write(const char* data, std::size_t size) override {
    if (size > sink_limit - count) return false;
    for (std::size_t i = 0; i < size; ++i) {
      hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    }
    count += size;
    return true;
  }
  std::uint64_t hash = 14695981039346656037ull;
  std::size_t count = 0;
};

struct Result {
  ConvertOutcome outcome;
  std::uint64_t hash;
  std::size_t count;
};

Result convert(const std::uint8_t* data, std::size_t size, std::size_t piece) {
  PieceSource source(data, size, piece);
  HashSink sink;
  // Reader and writer hold 64 KiB buffers each: keep them off the stack.
  auto reader = std::make_unique<WveReader>(source);
  auto writer = std::make_unique<WrdWriter>(sink);
  ConverterState state;
  state.cell_limit = fuzz_cell_limit;
  const ConvertOutcome outcome = convert_wve(state, *reader, *writer);
  if (state.new_frame || state.shown_frame) std::abort();  // buffers must be released
  return {outcome, sink.hash, sink.count};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Result whole = convert(data, size, static_cast<std::size_t>(-1));
  const std::size_t piece = size > 0 ? data[size - 1] % 16 + 1 : 1;
  const Result pieces = convert(data, size, piece);
  if (whole.outcome != pieces.outcome || whole.hash != pieces.hash || whole.count != pieces.count) {
    std::abort();  // the script must not depend on how the input arrives
  }
  return 0;
}
