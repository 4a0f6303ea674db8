// What kind of audio a file holds, told by its first bytes (never by its name): the kinds a
// browser plays, and the type a data URL names them by.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq::view {

struct AudioKind {
  std::string_view name;  // "Ogg Opus", "MP3", ...; empty when the bytes are no audio it knows
  std::string_view mime;  // "audio/ogg", "audio/mpeg", ...
  explicit operator bool() const { return !name.empty(); }
};

// Ogg Vorbis, Ogg Opus, MP3 (with or without an ID3 tag), WAV or FLAC.
AudioKind audio_kind(std::string_view bytes);

}  // namespace mosaiq::view
