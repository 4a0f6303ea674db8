// A build without FluidSynth and libsndfile: no song sounds.
#include "view/song_sound.h"

namespace mosaiq::view {

namespace {

const char* const not_built = "this build has no FluidSynth";

}  // namespace

bool can_play_songs() { return false; }

bool render_song(const SongSource&, RenderedSong&, std::string& problem,
                 const std::function<bool(double)>&) {
  problem = not_built;
  return false;
}

bool sound_peaks(std::string_view, int, std::vector<std::uint8_t>& peaks) {
  peaks.clear();
  return false;
}

std::unique_ptr<SongSound> play_song(const SongSource&, const std::string&, std::string& problem) {
  problem = not_built;
  return nullptr;
}

std::unique_ptr<SongOnDevice> open_song_device(const std::string&, std::string& problem) {
  problem = not_built;
  return nullptr;
}

std::unique_ptr<SongByHand> play_song_by_hand(const SongSource&, std::string& problem) {
  problem = not_built;
  return nullptr;
}

}  // namespace mosaiq::view
