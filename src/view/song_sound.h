// The song as sound, through FluidSynth: rendered into compressed audio for the page, or played
// on the audio device while the terminal player shows the frames, which follow its position.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "song/midi_file.h"

namespace mosaiq::view {

// Whether this build plays songs: FluidSynth and libsndfile were found when it was made.
bool can_play_songs();

// What a synthesiser needs of a song. The bytes are the caller's, kept while it plays.
struct SongSource {
  std::string_view midi;       // the Standard MIDI File as players read it
  const Song& song;            // its tempo map, to tell positions in seconds
  std::string_view soundfont;  // a SoundFont that soundfont_problem() has no problem with
  double bpm = 0;              // a constant tempo in place of the song's, when above 0
  double until = 0;            // a rendering ends there, in seconds; 0: with the song
};

// The song rendered: Ogg Opus at about 48 kbit/s, from the song's time 0 to its end and a
// second after it, for the notes to fade (or to `until`, where that comes first); an hour at
// most.
struct RenderedSong {
  std::string bytes;
  double seconds = 0;
  std::string cut;  // when the song is longer than an hour: what was left out, in words
};

// The longest sound a song is rendered into, in seconds.
constexpr double longest_rendering = 3600;

// Renders the song; `progress` is told now and then how much of it is done (0 to 1), and stops it
// by answering false. False, with the problem in words, when it cannot be rendered (or was
// stopped).
bool render_song(const SongSource& source, RenderedSong& rendered, std::string& problem,
                 const std::function<bool(double)>& progress);

// The loudest sample of every 1/per_second of a second of a rendered song (0 to 255), for its
// waveform; false when it cannot be decoded.
bool sound_peaks(std::string_view audio, int per_second, std::vector<std::uint8_t>& peaks);

// The song playing: where it is, as the synthesiser has it, and the keys' commands.
class SongSound {
 public:
  virtual ~SongSound() = default;
  // Seconds into the song; once it is done, where it ended.
  virtual double seconds() = 0;
  virtual bool done() = 0;
  virtual void pause() = 0;
  virtual void play() = 0;
  virtual void seek(double seconds) = 0;
};

// Starts the song playing through FluidSynth's audio driver `driver` (empty: the system's
// default). Null, with the problem in words, when the SoundFont cannot be loaded or no audio
// device opens.
std::unique_ptr<SongSound> play_song(const SongSource& source, const std::string& driver,
                                     std::string& problem);

// The terminal player's song made ready in two steps: the audio device opened at once, so that
// where none opens the player knows it from the start, then the SoundFont and the song given to
// it, which takes a while and may be done on a thread of its own (nothing else touches the song
// meanwhile). The song then waits at its start until play().
class SongOnDevice : public SongSound {
 public:
  virtual bool load(const SongSource& source, std::string& problem) = 0;
};

// The device; null, with the problem in words ("no audio device opens"), where none opens.
std::unique_ptr<SongOnDevice> open_song_device(const std::string& driver, std::string& problem);

// A seam for tests and harnesses, never a path of the programs: the song on no device at all,
// moving on only as far as render() takes it.
class SongByHand : public SongSound {
 public:
  // Renders so many more seconds of the song.
  virtual void render(double seconds) = 0;
};
std::unique_ptr<SongByHand> play_song_by_hand(const SongSource& source, std::string& problem);

}  // namespace mosaiq::view
