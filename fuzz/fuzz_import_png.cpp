// Fuzzes mosaiq-import's PNG path: any bytes are decoded or refused within their bounds, and a
// picture decoded is laid on the grid in several ways. The chunks' checksums are made right
// first, so that the fuzzer's changes reach the decoder instead of its checksum test.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/cell_grid.h"
#include "import/png_reader.h"

namespace {

void mend_checksums(std::string& bytes) {
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const auto* chunk = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    const std::size_t length = std::size_t{chunk[0]} << 24 | std::size_t{chunk[1]} << 16 |
                               std::size_t{chunk[2]} << 8 | chunk[3];
    if (length > bytes.size() - at - 12) return;
    const uLong crc = crc32(0, chunk + 4, static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i) bytes[at + 8 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq::import;
  static const ColourMatcher colours;
  DigitCanvas canvas;
  std::string problem;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  mend_checksums(bytes);
  if (!read_png(bytes, colours, canvas, problem)) {
    return 0;
  }
  for (const GridRequest& request :
       {GridRequest{}, GridRequest{{1, 1, 3, 2}, 0, 0}, GridRequest{{}, 7, 3}}) {
    CellGrid grid(request);
    if (grid.fit(canvas, problem) &&
        grid.cells(canvas).size() != static_cast<std::size_t>(grid.width() * grid.height())) {
      return 1;
    }
  }
  return 0;
}
