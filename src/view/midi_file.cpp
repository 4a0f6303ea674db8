#include "view/midi_file.h"

#include <algorithm>

namespace mosaiq::view {

namespace {

// A cursor over the bytes of one chunk; every read checks that the bytes are there.
struct Bytes {
  std::string_view data;
  std::size_t at = 0;

  bool left() const { return at < data.size(); }
  bool byte(unsigned& value) {
    if (at >= data.size()) return false;
    value = static_cast<unsigned char>(data[at++]);
    return true;
  }
  // A variable-length quantity: at most four bytes, 28 bits.
  bool quantity(std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      unsigned b;
      if (!byte(b)) return false;
      value = value << 7 | (b & 0x7f);
      if ((b & 0x80) == 0) return true;
    }
    return false;
  }
  bool skip(std::uint32_t count) {
    if (count > data.size() - at) return false;
    at += count;
    return true;
  }
};

std::uint32_t big_endian(std::string_view bytes) {
  std::uint32_t value = 0;
  for (const char c : bytes) value = value << 8 | static_cast<unsigned char>(c);
  return value;
}

// A meta event's data: the tempo and the opening time signature are kept.
void take_meta(unsigned type, std::string_view data, std::uint64_t tick, Song& song,
               bool& signature_seen) {
  if (type == 0x51 && data.size() == 3) {
    song.tempo.push_back({tick, big_endian(data)});
  } else if (type == 0x58 && data.size() >= 2 && tick == 0 && !signature_seen) {
    // The signature at the very start is the song's opening one.
    signature_seen = true;
    const unsigned power = static_cast<unsigned char>(data[1]);
    if (data[0] != 0 && power <= 6) {
      song.numerator = static_cast<unsigned char>(data[0]);
      song.denominator = 1 << power;
    }
  }
}

bool read_track(std::string_view chunk, Song& song, bool& signature_seen) {
  Bytes track{chunk};
  std::uint64_t tick = 0;
  unsigned status = 0;  // for running status
  while (track.left()) {
    std::uint32_t delta;
    unsigned first;
    if (!track.quantity(delta) || !track.byte(first)) return false;
    tick += delta;
    if (first == 0xff) {
      unsigned type;
      std::uint32_t length;
      if (!track.byte(type) || !track.quantity(length)) return false;
      const std::size_t start = track.at;
      if (!track.skip(length)) return false;
      take_meta(type, chunk.substr(start, length), tick, song, signature_seen);
      if (type == 0x2f) return true;  // the end of the track
    } else if (first == 0xf0 || first == 0xf7) {
      std::uint32_t length;
      if (!track.quantity(length) || !track.skip(length)) return false;
    } else {
      if (first >= 0x80) {
        if (first >= 0xf0) return false;  // no system message belongs in a file
        status = first;
      } else if (status == 0) {
        return false;  // running status with no status before it
      } else {
        --track.at;  // the byte is the first data byte
      }
      const unsigned kind = status & 0xf0;
      if (!track.skip(kind == 0xc0 || kind == 0xd0 ? 1 : 2)) return false;
    }
  }
  return true;
}

}  // namespace

bool read_midi(std::string_view bytes, Song& song, std::string& problem) {
  song = Song{};
  if (bytes.size() < 14 || bytes.substr(0, 4) != "MThd" || big_endian(bytes.substr(4, 4)) < 6) {
    problem = "not a Standard MIDI File";
    return false;
  }
  const std::uint32_t header_length = big_endian(bytes.substr(4, 4));
  const std::uint32_t format = big_endian(bytes.substr(8, 2));
  const std::uint32_t division = big_endian(bytes.substr(12, 2));
  if (format == 2) {
    problem = "a MIDI file of format 2 (independent songs) has no one tempo map";
    return false;
  }
  if (format > 2) {
    problem = "an unknown MIDI file format " + std::to_string(format);
    return false;
  }
  if (division & 0x8000) {
    problem = "a MIDI file timed in SMPTE frames, not in beats";
    return false;
  }
  if (division == 0) {
    problem = "a MIDI file of 0 ticks a quarter note";
    return false;
  }
  song.ticks_per_quarter = division;
  bool signature_seen = false;
  std::size_t at = header_length > bytes.size() - 8 ? bytes.size() : 8 + header_length;
  while (bytes.size() - at >= 8) {
    const std::string_view type = bytes.substr(at, 4);
    const std::uint32_t length = big_endian(bytes.substr(at + 4, 4));
    if (length > bytes.size() - at - 8) {
      problem = "a MIDI chunk that runs past the end of the file";
      return false;
    }
    if (type == "MTrk" && !read_track(bytes.substr(at + 8, length), song, signature_seen)) {
      problem = "a MIDI track with an event that does not fit";
      return false;
    }
    at += 8 + length;
  }
  std::stable_sort(song.tempo.begin(), song.tempo.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  return true;
}

}  // namespace mosaiq::view
