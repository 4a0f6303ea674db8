// Fuzzes mosaiq-import's PNG path: any bytes are decoded or refused within their bounds, and a
// picture decoded is laid on the grid in several ways (whole, cropped, cut as a sheet, into a
// grid asked for). The chunks' checksums are made right first, so that the fuzzer's changes
// reach the decoder instead of its checksum test.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "../tests/test_support.h"
#include "import/picture_input.h"

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
  mosaiq::testing::MemoryFiles files;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  mend_checksums(bytes);
  files.files["p.png"] = bytes;
  for (int way = 0; way < 4; ++way) {
    PictureRequest request;
    request.inputs = {"p.png"};
    if (way == 1) request.grid.crop = {1, 1, 3, 2};
    if (way == 2) {
      request.sheet_columns = 2;
      request.sheet_rows = 1;
    }
    if (way == 3) {
      request.grid.width = 7;
      request.grid.height = 3;
    }
    ImportedPictures pictures;
    std::string problem;
    if (!read_pictures(files, request, pictures, problem)) continue;
    for (const CellPicture& cells : pictures.pictures) {
      if (cells.size() != static_cast<std::size_t>(pictures.width * pictures.height)) return 1;
    }
  }
  return 0;
}
