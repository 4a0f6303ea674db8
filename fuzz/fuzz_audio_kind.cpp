// Fuzzes the telling of an audio file's kind by its first bytes, and its data URL: any bytes
// are told within their bounds, and their URL holds them whole.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "view/audio_kind.h"
#include "view/data_url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mosaiq::view;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const AudioKind kind = audio_kind(bytes);
  if (!kind) return 0;
  const std::string url = data_url(kind.mime, bytes);
  return url.size() == 5 + kind.mime.size() + 8 + (size + 2) / 3 * 4 ? 0 : 1;
}
