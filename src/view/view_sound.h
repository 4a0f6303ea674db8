// The sound a run of mosaiq-view plays with: the song rendered into a page, an audio file of
// the author's own, or the song played on the audio device under the terminal player. What
// stands in the way of sound (no SoundFont, a build without FluidSynth, no audio device) is said
// in one line and the run goes on silent; what the author named and cannot be used stops it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "song/midi_file.h"
#include "view/song_sound.h"

namespace mosaiq {
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
};

// Larger than any audio file a page carries.
constexpr std::size_t max_audio_bytes = std::size_t{256} << 20;

// The page's sound as a data URL (empty: a silent page). Returns 0, or 2 when the page must not
// be written: an --audio file that cannot be read or is not audio, or a SoundFont named that
// cannot be used.
int page_sound(const SoundRequest& request, std::string& url);

// The song playing for the terminal player; null when there is no song, with --mute, in a build
// without FluidSynth, or when it cannot play (`silence` then says why, or `status` is 2 for a
// SoundFont named that cannot be used).
std::unique_ptr<SongSound> terminal_sound(const SoundRequest& request, std::string& silence,
                                          int& status);

}  // namespace mosaiq::view
