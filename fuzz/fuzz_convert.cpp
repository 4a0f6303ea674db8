// Fuzzes the conversion engine in memory: every input is converted twice, once read whole and
// once fed in small pieces, and both runs must give the same outcome and the same script.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "convert/wve_conversion.h"

namespace {

using namespace mosaiq;

// Grids above this are not taken, which bounds the harness's own work and memory.
constexpr std::int64_t fuzz_cell_limit = 65536;
// Writing fails past this many bytes of script, so a conversion ends with a write error.
constexpr std::size_t script_limit = 16u << 20;

MemoryConversion convert(std::string_view wve, std::size_t piece) {
  MemoryLimits limits;
  limits.piece = piece;
  limits.cell_limit = fuzz_cell_limit;
  limits.script_limit = script_limit;
  return convert_in_memory(wve, limits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view wve(reinterpret_cast<const char*>(data), size);
  const MemoryConversion whole = convert(wve, static_cast<std::size_t>(-1));
  const std::size_t piece = size > 0 ? data[size - 1] % 16 + 1 : 1;
  const MemoryConversion pieces = convert(wve, piece);
  if (whole.outcome != pieces.outcome || whole.script != pieces.script) {
    std::abort();  // the script must not depend on how the input arrives
  }
  return 0;
}
