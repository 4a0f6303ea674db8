#include "view/audio_kind.h"

namespace mosaiq::view {

namespace {

// The bytes from `at` on, at most `count` of them; none when the bytes end before `at`.
std::string_view slice(std::string_view bytes, std::size_t at, std::size_t count) {
  return at <= bytes.size() ? bytes.substr(at, count) : std::string_view();
}

// The first page of an Ogg stream holds its first packet, which names the codec.
AudioKind ogg_kind(std::string_view bytes) {
  if (bytes.size() < 27) return {};
  const std::size_t segments = static_cast<unsigned char>(bytes[26]);
  const std::string_view packet =
      bytes.substr(27 + segments < bytes.size() ? 27 + segments : bytes.size());
  if (packet.substr(0, 8) == "OpusHead") return {"Ogg Opus", "audio/ogg"};
  if (packet.substr(0, 7) == "\x01vorbis") return {"Ogg Vorbis", "audio/ogg"};
  return {};
}

// An MPEG audio frame header: eleven sync bits, MPEG 1, 2 or 2.5, layer III.
bool mp3_frame(std::string_view bytes) {
  if (bytes.size() < 4) return false;
  const auto b1 = static_cast<unsigned char>(bytes[0]), b2 = static_cast<unsigned char>(bytes[1]);
  return b1 == 0xff && (b2 & 0xe0) == 0xe0 && (b2 & 0x18) != 0x08 && (b2 & 0x06) == 0x02;
}

}  // namespace

AudioKind audio_kind(std::string_view bytes) {
  if (bytes.substr(0, 4) == "OggS") return ogg_kind(bytes);
  if (bytes.substr(0, 4) == "RIFF" && slice(bytes, 8, 4) == "WAVE") return {"WAV", "audio/wav"};
  if (bytes.substr(0, 4) == "fLaC") return {"FLAC", "audio/flac"};
  if (bytes.substr(0, 3) == "ID3" || mp3_frame(bytes)) return {"MP3", "audio/mpeg"};
  return {};
}

}  // namespace mosaiq::view
