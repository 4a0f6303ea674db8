#include "studio/studio_sound.h"

#include <algorithm>

#include "song/player_clock.h"
#include "view/song_sound.h"
#include "view/view_sound.h"

namespace mosaiq::studio {

StudioSound::StudioSound(FileAccess& files, Console& console, SoundSetup setup)
    : files_(files), console_(console), setup_(std::move(setup)) {
  now_.stage = setup_.midi.empty() ? "none" : "rendering";
  if (setup_.midi.empty()) {
    now_.problem = "no song";
    return;
  }
  thread_ = std::thread([this] { render(); });
}

StudioSound::~StudioSound() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
}

SoundNow StudioSound::now() {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}

std::shared_ptr<const std::string> StudioSound::audio() {
  std::lock_guard<std::mutex> lock(mutex_);
  return audio_;
}

std::shared_ptr<const std::vector<std::uint8_t>> StudioSound::peaks() {
  std::lock_guard<std::mutex> lock(mutex_);
  return peaks_;
}

void StudioSound::keep(std::string bytes, const char* stage) {
  auto peaks = std::make_shared<std::vector<std::uint8_t>>();
  view::sound_peaks(bytes, peaks_per_second, *peaks);
  std::lock_guard<std::mutex> lock(mutex_);
  audio_ = std::make_shared<const std::string>(std::move(bytes));
  peaks_ = std::move(peaks);
  now_.stage = stage;
  ++now_.take;
}

void StudioSound::render() {
  const auto going_on = [this](double) { return !stopping_; };
  view::SoundFontChoice kept;  // read for the first rendering, given to the second
  view::RenderingRequest request{files_,      console_,    setup_.soundfont, setup_.use_cache,
                                 setup_.midi, setup_.song, setup_.bpm,       0,
                                 true,        &kept};
  // The whole song, when it was rendered before; else its first seconds, then the whole of it.
  view::PageRendering whole = view::render_for_page(request, going_on);
  if (whole.bytes.empty() && whole.problem.empty()) {
    const double length =
        TempoMap(setup_.song, setup_.bpm).seconds_at(song_end_quarters(setup_.song));
    if (length > first_rendering_seconds) {
      request.only_cached = false;
      request.until = first_rendering_seconds;
      view::PageRendering start = view::render_for_page(request, going_on);
      if (!start.bytes.empty()) keep(std::move(start.bytes), "start");
    }
    request.only_cached = false;
    request.until = 0;
    whole = view::render_for_page(request, going_on);
  }
  if (stopping_) return;
  if (whole.bytes.empty()) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_.stage = "none";
    now_.problem = whole.problem.empty() ? "no sound" : whole.problem;
    return;
  }
  keep(std::move(whole.bytes), "song");
}

}  // namespace mosaiq::studio
