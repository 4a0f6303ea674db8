// The sound a run of mosaiq-view plays with: the song rendered into a page, an audio file of
// the author's own, or the song played on the audio device under the terminal player. What
// stands in the way of sound (no SoundFont, a build without FluidSynth, no audio device) is said
// in one line and the run goes on silent; what the author named and cannot be used stops it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "song/midi_file.h"
#include "view/song_sound.h"
#include "view/soundfont.h"
#include "view/terminal_player.h"

namespace mosaiq {
class Console;
class FileAccess;
class Reporter;
}  // namespace mosaiq

namespace mosaiq::view {

struct ViewOptions;

// A run's song and what it has to find sound with.
struct SoundRequest {
  const ViewOptions& options;
  FileAccess& files;
  Reporter& reporter;
  const Song& song;       // with no tracks when there is no song
  std::string_view midi;  // the song as players read it; empty when there is none
  double until = 0;       // the page's sound ends there, in seconds; 0: with the song
};

// Larger than any audio file a page carries.
constexpr std::size_t max_audio_bytes = std::size_t{256} << 20;

// A song rendered for a page (Ogg Opus), or why not.
struct PageRendering {
  std::string bytes;    // empty: none
  std::string problem;  // why there is none, in words (empty when there is one)
  bool named = false;   // the problem is with a SoundFont the author named
  std::string cut;      // what a song longer than an hour lost, in words
};

// What a rendering is made of: the SoundFont option (--soundfont; empty: the one the environment
// names, or Debian's), whether the cache is used, the song as players read it and as timed, a
// constant tempo in place of its own (when above 0), and where the sound ends in seconds (0:
// with the song).
struct RenderingRequest {
  FileAccess& files;
  Console& console;
  std::string soundfont;
  bool use_cache = true;
  std::string_view midi;
  const Song& song;
  double bpm = 0;
  double until = 0;
  bool only_cached = false;
  // Where a caller rendering more than once keeps the SoundFont read, so that it is read once.
  SoundFontChoice* kept = nullptr;
};

// The song rendered: kept in the cache from before (the SoundFont not even read), else rendered
// and kept there; with `only_cached`, nothing is rendered. `progress` is told now and then how
// much is done (0 to 1), and stops the rendering by answering false.
PageRendering render_for_page(const RenderingRequest& request,
                              const std::function<bool(double)>& progress);

// The page's sound as a data URL (empty: a silent page), rendered or, rendered before, kept in
// the cache (unless --no-cache). Returns 0, or 2 when the page must not be written: an --audio
// file that cannot be read or is not audio, or a SoundFont named that cannot be used.
int page_sound(const SoundRequest& request, std::string& url);

// The terminal player's song being made ready: the audio device opened at once, the SoundFont
// read and the song loaded on a thread of their own, while the player shows frame 0.
class LoadingSound : public PendingSound {
 public:
  // Why it did not come to sound, in words; empty while it did (or is still loading).
  virtual std::string problem() = 0;
  // Whether that was a SoundFont the author named.
  virtual bool named() const = 0;
};

// The terminal player's song; null when there is no song, with --mute, in a build without
// FluidSynth, or when it cannot sound from the start (no audio device opens, no SoundFont: then
// `silence` says why; a SoundFont named that is missing or no SoundFont: `status` is 2).
std::unique_ptr<LoadingSound> terminal_sound(const SoundRequest& request, std::string& silence,
                                             int& status);

}  // namespace mosaiq::view
