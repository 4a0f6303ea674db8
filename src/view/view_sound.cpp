#include "view/view_sound.h"

#include <chrono>
#include <future>

#include "platform/console.h"
#include "platform/file_access.h"
#include "view/audio_kind.h"
#include "view/data_url.h"
#include "view/render_cache.h"
#include "view/soundfont.h"
#include "view/soundfont_file.h"
#include "view/view_options.h"

namespace mosaiq::view {

namespace {

// An audio file of the author's own, as a data URL; false, said, when it cannot be used.
bool audio_file(const SoundRequest& request, std::string& url) {
  const std::string& name = request.options.audio;
  std::string bytes, why;
  const WholeFile read = read_whole_file(
      request.files, name, max_audio_bytes, bytes, why,
      [](std::string_view first) -> std::string { return audio_kind(first) ? "" : "not audio"; });
  if (read == WholeFile::unreadable) {
    request.reporter.say("cannot read the audio file " + name + ": " + why);
    return false;
  }
  if (read == WholeFile::too_large) {
    request.reporter.say("cannot use the audio file " + name + ": " + why);
    return false;
  }
  const AudioKind kind = audio_kind(bytes);
  if (read == WholeFile::refused || !kind) {
    request.reporter.say(name +
                         " is not audio a page can play (Ogg Vorbis, Ogg Opus, MP3, WAV or "
                         "FLAC, told by its first bytes); no page written");
    return false;
  }
  url = data_url(kind.mime, bytes);
  return true;
}

const char* const not_built =
    "this mosaiq-view was built without FluidSynth and libsndfile (apt-get install "
    "libfluidsynth-dev libsndfile1-dev, then build it again)";

// Shows how much of the song is rendered, on a terminal only.
class Progress {
 public:
  explicit Progress(Reporter& reporter)
      : reporter_(reporter), shown_(reporter.console().error_is_terminal()) {}
  ~Progress() {
    if (percent_ >= 0) reporter_.err("\r\x1b[K");
  }
  bool operator()(double done) {
    const int percent = static_cast<int>(done * 100);
    if (!shown_ || percent == percent_) return true;
    percent_ = percent;
    reporter_.err("\rmosaiq-view: rendering the song: " + std::to_string(percent) + "%");
    return true;
  }

 private:
  Reporter& reporter_;
  bool shown_;
  int percent_ = -1;
};

}  // namespace

PageRendering render_for_page(const RenderingRequest& request,
                              const std::function<bool(double)>& progress) {
  PageRendering rendering;
  if (!can_play_songs()) {
    rendering.problem = not_built;
    return rendering;
  }
  SoundFontChoice soundfont = choose_soundfont(request.files, request.console, request.soundfont);
  // A rendering kept from before, of the same song, SoundFont and span, does: the SoundFont is
  // not even read.
  RenderCache cache(request.files, request.console);
  FileStamp stamp;
  const bool cached =
      soundfont.problem.empty() && request.use_cache && request.files.stamp(soundfont.name, stamp);
  const std::string key =
      cached ? RenderCache::key(request.midi, soundfont.name, stamp, request.until, request.bpm)
             : "";
  if ((cached && cache.find(key, rendering.bytes)) || request.only_cached) return rendering;
  // A SoundFont read for the rendering before is not read again.
  if (request.kept != nullptr && !request.kept->bytes.empty() &&
      request.kept->name == soundfont.name) {
    soundfont.bytes = request.kept->bytes;
  } else if (soundfont.problem.empty()) {
    read_soundfont(request.files, soundfont);
    if (request.kept != nullptr && soundfont.problem.empty()) *request.kept = soundfont;
  }
  if (!soundfont.problem.empty()) {
    rendering.problem = soundfont.problem;
    rendering.named = soundfont.named;
    return rendering;
  }
  const SongSource source{request.midi, request.song, soundfont.bytes, request.bpm, request.until};
  RenderedSong rendered;
  std::string problem;
  if (!render_song(source, rendered, problem, progress)) {
    rendering.problem = "cannot render the song: " + problem;
    return rendering;
  }
  rendering.cut = rendered.cut;
  if (cached) cache.keep(key, rendered.bytes);
  rendering.bytes = std::move(rendered.bytes);
  return rendering;
}

int page_sound(const SoundRequest& request, std::string& url) {
  url.clear();
  const ViewOptions& options = request.options;
  if (options.no_audio) return 0;
  if (!options.audio.empty()) return audio_file(request, url) ? 0 : 2;
  if (request.midi.empty()) return 0;
  PageRendering rendering;
  {
    Progress progress(request.reporter);
    rendering = render_for_page(
        {request.files, request.reporter.console(), options.soundfont, !options.no_cache,
         request.midi, request.song, options.bpm, request.until, false, nullptr},
        std::ref(progress));
  }
  if (!rendering.problem.empty()) {
    request.reporter.say(rendering.problem + (rendering.named ? "" : "; the page is silent"));
    return rendering.named ? 2 : 0;
  }
  if (!rendering.cut.empty()) request.reporter.say(rendering.cut);
  url = data_url("audio/ogg", rendering.bytes);
  return 0;
}

namespace {

class DeviceLoading : public LoadingSound {
 public:
  DeviceLoading(std::unique_ptr<SongOnDevice> device, FileAccess& files, SoundFontChoice choice,
                std::string_view midi, const Song& song, double bpm)
      : device_(std::move(device)),
        files_(files),
        choice_(std::move(choice)),
        midi_(midi),
        song_(song),
        bpm_(bpm) {
    loading_ = std::async(std::launch::async, [this] { load(); });
  }
  ~DeviceLoading() override {
    if (loading_.valid()) loading_.wait();  // nothing it loads goes away while it loads
  }

  bool ready() override {
    return !loading_.valid() ||
           loading_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }

  SongSound* sound(std::string& why) override {
    if (loading_.valid()) loading_.get();
    if (problem_.empty()) return device_.get();
    why = "no sound";
    return nullptr;
  }

  std::string problem() override { return problem_; }
  bool named() const override { return choice_.named; }

 private:
  void load() {
    read_soundfont(files_, choice_);
    problem_ = choice_.problem;
    if (!problem_.empty()) return;
    const SongSource source{midi_, song_, choice_.bytes, bpm_};
    if (!device_->load(source, problem_)) problem_ = "cannot play the song: " + problem_;
    std::string().swap(choice_.bytes);  // the synthesiser has its own copy now
  }

  std::unique_ptr<SongOnDevice> device_;
  FileAccess& files_;
  SoundFontChoice choice_;
  std::string_view midi_;
  const Song& song_;
  double bpm_;
  std::string problem_;
  std::future<void> loading_;
};

// A SoundFont the author named, judged by its first bytes before anything waits for it.
std::string named_soundfont_problem(FileAccess& files, const SoundFontChoice& choice) {
  std::string start, why;
  if (!read_file_start(files, choice.name, 12, start, why)) {
    return "cannot read the SoundFont " + choice.name + ": " + why;
  }
  const std::string problem = soundfont_start_problem(start);
  return problem.empty() ? "" : "cannot use the SoundFont " + choice.name + ": " + problem;
}

}  // namespace

std::unique_ptr<LoadingSound> terminal_sound(const SoundRequest& request, std::string& silence,
                                             int& status) {
  status = 0;
  if (request.options.mute || request.midi.empty()) return nullptr;
  const char* const silent = "; playing without sound";
  if (!can_play_songs()) return nullptr;  // as it always was: the song's timing, no sound
  SoundFontChoice soundfont =
      choose_soundfont(request.files, request.reporter.console(), request.options.soundfont);
  if (soundfont.problem.empty() && soundfont.named) {
    soundfont.problem = named_soundfont_problem(request.files, soundfont);
  }
  if (!soundfont.problem.empty()) {
    if (soundfont.named) {
      request.reporter.say(soundfont.problem);
      status = 2;
    } else {
      silence = soundfont.problem + silent;
    }
    return nullptr;
  }
  std::string problem;
  std::unique_ptr<SongOnDevice> device =
      open_song_device(request.reporter.console().variable("MOSAIQ_AUDIO_DRIVER"), problem);
  if (!device) {
    silence = problem + silent;
    return nullptr;
  }
  return std::make_unique<DeviceLoading>(std::move(device), request.files, std::move(soundfont),
                                         request.midi, request.song, request.options.bpm);
}

}  // namespace mosaiq::view
