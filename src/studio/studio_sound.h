// The song's sound for the studio's page, rendered as the viewer's page renders it and kept in
// the same cache, on a thread of its own: the song's first seconds first, so that the page sounds
// within moments of opening, then the whole song; with the waveform of each.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "song/midi_file.h"

namespace mosaiq {
class Console;
class FileAccess;
}  // namespace mosaiq

namespace mosaiq::studio {

// How long the first rendering lasts, in seconds.
constexpr double first_rendering_seconds = 30;
// The waveform's peaks a second.
constexpr int peaks_per_second = 20;

struct SoundSetup {
  std::string soundfont;  // --soundfont; empty: the environment's, or Debian's
  bool use_cache = true;
  std::string midi;  // the song as players read it; empty: no song, no sound
  const Song& song;
  double bpm = 0;
};

struct SoundNow {
  std::string stage;       // "none", "rendering", "start" (the first seconds) or "song"
  std::uint64_t take = 0;  // which rendering is at hand: another when it changes
  std::string problem;     // why there is no sound, in words
};

class StudioSound {
 public:
  StudioSound(FileAccess& files, Console& console, SoundSetup setup);
  ~StudioSound();  // stops a rendering under way
  StudioSound(const StudioSound&) = delete;
  StudioSound& operator=(const StudioSound&) = delete;

  SoundNow now();
  // The rendering at hand (Ogg Opus) and its waveform; null while there is none.
  std::shared_ptr<const std::string> audio();
  std::shared_ptr<const std::vector<std::uint8_t>> peaks();

 private:
  void render();
  void keep(std::string bytes, const char* stage);

  FileAccess& files_;
  Console& console_;
  SoundSetup setup_;
  std::mutex mutex_;
  SoundNow now_;
  std::shared_ptr<const std::string> audio_;
  std::shared_ptr<const std::vector<std::uint8_t>> peaks_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace mosaiq::studio
