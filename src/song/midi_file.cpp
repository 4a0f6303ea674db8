#include "song/midi_file.h"

#include <algorithm>

#include "platform/failure.h"

namespace mosaiq {

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

// A meta event's data: tempo changes and time signatures are kept. A tempo of 0 is none: the
// synthesiser is given a text event in its place (TrackCopy), and the tempo map passes it over.
void take_meta(unsigned type, std::string_view data, std::uint64_t tick, Song& song) {
  if (type == 0x51 && data.size() == 3 && big_endian(data) != 0) {
    song.tempo.push_back({tick, big_endian(data)});
  } else if (type == 0x58 && data.size() >= 2) {
    const unsigned power = static_cast<unsigned char>(data[1]);
    if (data[0] != 0 && power <= 6) {
      song.signatures.push_back({tick, static_cast<unsigned char>(data[0]), 1 << power});
    }
  }
}

void take_note(unsigned status, std::string_view data, std::uint64_t tick, Song& song) {
  if ((status & 0xf0) != 0x90 || data.size() < 2 || data[1] == 0) return;
  if (!song.has_notes || tick < song.first_note_tick) song.first_note_tick = tick;
  song.has_notes = true;
}

enum class TrackEnd { end_event, out_of_bytes, broken };

std::string variable_length(std::uint32_t value) {
  std::string bytes(1, static_cast<char>(value & 0x7f));
  while ((value >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7f)));
  return bytes;
}

// Whether a strict reader takes a meta event: some types have one length only, and a tempo of
// 0 stops its clock.
bool strict_reader_takes(unsigned type, std::string_view data) {
  switch (type) {
    case 0x2f: return data.empty();
    case 0x51: return data.size() == 3 && big_endian(data) != 0;
    case 0x54: return data.size() == 5;
    case 0x58: return data.size() == 4;
    case 0x59: return data.size() == 2;
    default: return true;
  }
}

// A track written again as every synthesiser reads it: each event whole with its status spelt
// out (no running status), and what a strict reader refuses (an escape, a meta event of a length
// its type does not take, a tempo of 0) turned into a text event of the same length, so that
// everything after it keeps its time. Without `out`, nothing is written.
struct TrackCopy {
  std::string* out;
  bool ended = false;  // it has its end-of-track event

  void channel(std::uint32_t delta, unsigned status, std::string_view data) {
    if (out == nullptr) return;
    *out += variable_length(delta) + static_cast<char>(status);
    *out += data;
  }
  void meta(std::uint32_t delta, unsigned type, std::string_view data) {
    const bool taken = strict_reader_takes(type, data);
    ended = taken && type == 0x2f;
    write(delta, taken ? type : 0x01, data);
  }
  void system(std::uint32_t delta, unsigned first, std::string_view data) {
    if (first == 0xf7) return write(delta, 0x01, data);  // an escape: said as text
    if (out == nullptr) return;
    *out +=
        variable_length(delta) + "\xf0" + variable_length(static_cast<std::uint32_t>(data.size()));
    *out += data;
  }

 private:
  void write(std::uint32_t delta, unsigned type, std::string_view data) {
    if (out == nullptr) return;
    *out += variable_length(delta) + "\xff" + static_cast<char>(type) +
            variable_length(static_cast<std::uint32_t>(data.size()));
    *out += data;
  }
};

// Reads one track's events: to its end-of-track event, or to the end of its bytes; broken when
// an event does not fit them. Every whole event goes to `copy`.
TrackEnd read_track(std::string_view chunk, Song& song, TrackCopy& copy) {
  Bytes track{chunk};
  std::uint64_t tick = 0;
  unsigned status = 0;  // for running status
  while (track.left()) {
    std::uint32_t delta, length;
    unsigned first, type;
    if (!track.quantity(delta) || !track.byte(first)) return TrackEnd::broken;
    tick += delta;
    if (first == 0xff) {
      if (!track.byte(type) || !track.quantity(length)) return TrackEnd::broken;
      const std::size_t data = track.at;
      if (!track.skip(length)) return TrackEnd::broken;
      take_meta(type, chunk.substr(data, length), tick, song);
      copy.meta(delta, type, chunk.substr(data, length));
      if (type == 0x2f) {
        song.end_tick = std::max(song.end_tick, tick);
        return TrackEnd::end_event;
      }
    } else if (first == 0xf0 || first == 0xf7) {
      if (!track.quantity(length)) return TrackEnd::broken;
      const std::size_t data = track.at;
      if (!track.skip(length)) return TrackEnd::broken;
      copy.system(delta, first, chunk.substr(data, length));
    } else {
      if (first >= 0x80) {
        if (first >= 0xf0) return TrackEnd::broken;  // no system message belongs in a file
        status = first;
      } else if (status == 0) {
        return TrackEnd::broken;  // running status with no status before it
      } else {
        --track.at;  // the byte is the first data byte
      }
      const unsigned kind = status & 0xf0;
      const std::size_t data = track.at;
      if (!track.skip(kind == 0xc0 || kind == 0xd0 ? 1 : 2)) return TrackEnd::broken;
      take_note(status, chunk.substr(data, track.at - data), tick, song);
      copy.channel(delta, status, chunk.substr(data, track.at - data));
    }
    song.end_tick = std::max(song.end_tick, tick);  // the song lasts to its last whole event
  }
  return TrackEnd::out_of_bytes;
}

std::string big_endian_bytes(std::uint32_t value, int count) {
  std::string bytes;
  for (int i = count - 1; i >= 0; --i) bytes += static_cast<char>((value >> (8 * i)) & 0xff);
  return bytes;
}

// The header's fields; false, with the problem, for a file that cannot be timed.
bool read_header(std::string_view bytes, Song& song, std::uint32_t& tracks, std::string& problem) {
  if (bytes.size() < 14 || bytes.substr(0, 4) != "MThd" || big_endian(bytes.substr(4, 4)) < 6) {
    return fail(problem, "not a Standard MIDI File");
  }
  const std::uint32_t format = big_endian(bytes.substr(8, 2));
  const std::uint32_t division = big_endian(bytes.substr(12, 2));
  tracks = big_endian(bytes.substr(10, 2));
  if (format == 2) {
    return fail(problem, "a MIDI file of format 2 (independent songs) has no one tempo map");
  }
  if (format > 2) return fail(problem, "an unknown MIDI file format " + std::to_string(format));
  if (division & 0x8000) return fail(problem, "a MIDI file timed in SMPTE frames, not in beats");
  if (division == 0) return fail(problem, "a MIDI file of 0 ticks a quarter note");
  song.ticks_per_quarter = division;
  return true;
}

void sort_by_tick(Song& song) {
  std::stable_sort(song.tempo.begin(), song.tempo.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  std::stable_sort(
      song.signatures.begin(), song.signatures.end(),
      [](const SignatureChange& a, const SignatureChange& b) { return a.tick < b.tick; });
}

}  // namespace

std::string midi_problem(std::string_view first_bytes) {
  return first_bytes.substr(0, 4) == "MThd" ? "" : "not a Standard MIDI File";
}

SignatureChange Song::opening() const {
  SignatureChange opening{0, 4, 4};
  for (const SignatureChange& change : signatures) {
    if (change.tick == 0) opening = change;
  }
  return opening;
}

bool read_midi(std::string_view bytes, Song& song, std::string& problem, std::string& note,
               std::string* as_read) {
  song = Song{};
  note.clear();
  std::string tracks;
  std::uint32_t declared = 0, read = 0;
  if (!read_header(bytes, song, declared, problem)) return false;
  const std::uint32_t header_length = big_endian(bytes.substr(4, 4));
  std::size_t at = header_length > bytes.size() - 8 ? bytes.size() : 8 + header_length;
  std::vector<std::string> passed;
  while (bytes.size() - at >= 8 && read < declared) {
    const std::string_view type = bytes.substr(at, 4);
    std::size_t length = big_endian(bytes.substr(at + 4, 4));
    const bool cut = length > bytes.size() - at - 8;
    if (cut && type != "MTrk")
      return fail(problem, "a MIDI chunk that runs past the end of the file");
    if (cut) {
      length = bytes.size() - at - 8;
      passed.push_back("its last track claims more bytes than the file holds");
    }
    if (type == "MTrk") {
      ++read;
      std::string events;
      TrackCopy copy{as_read != nullptr ? &events : nullptr};
      const TrackEnd end = read_track(bytes.substr(at + 8, length), song, copy);
      if (end == TrackEnd::broken && !cut) {
        return fail(problem, "a MIDI track with an event that does not fit");
      }
      const char* const no_end = "a track has no end-of-track event";
      if (end == TrackEnd::out_of_bytes && !cut &&
          std::find(passed.begin(), passed.end(), no_end) == passed.end()) {
        passed.push_back(no_end);
      }
      // The track as a player reads it: its whole events, and an end where it has none.
      if (!copy.ended) events += std::string("\x00\xff\x2f\x00", 4);
      tracks += "MTrk" + big_endian_bytes(static_cast<std::uint32_t>(events.size()), 4) + events;
    }
    at += 8 + length;
  }
  if (at < bytes.size()) {
    passed.push_back(std::to_string(bytes.size() - at) + " bytes follow its last track");
  }
  sort_by_tick(song);
  for (std::size_t i = 0; i < passed.size(); ++i) note += (i ? "; " : "") + passed[i];
  if (as_read != nullptr) {
    *as_read = "MThd" + big_endian_bytes(6, 4) + std::string(bytes.substr(8, 2)) +
               big_endian_bytes(read, 2) + std::string(bytes.substr(12, 2)) + tracks;
  }
  return true;
}

}  // namespace mosaiq
