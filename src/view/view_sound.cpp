#include "view/view_sound.h"

#include "platform/console.h"
#include "platform/file_access.h"
#include "view/audio_kind.h"
#include "view/data_url.h"
#include "view/soundfont.h"
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

// The SoundFont for the song; false when there is none to be had: `status` is then 2 when the
// one named cannot be used (said at once), and 0 when none can be had (`silence` says why).
bool soundfont_for(const SoundRequest& request, SoundFontChoice& choice, std::string& silence,
                   int& status) {
  choice = choose_soundfont(request.files, request.reporter.console(), request.options.soundfont);
  if (choice.problem.empty()) return true;
  status = choice.named ? 2 : 0;
  if (choice.named) {
    request.reporter.say(choice.problem);
  } else {
    silence = choice.problem;
  }
  return false;
}

// Shows how much of the song is rendered, on a terminal only.
class Progress {
 public:
  explicit Progress(Reporter& reporter)
      : reporter_(reporter), shown_(reporter.console().error_is_terminal()) {}
  ~Progress() {
    if (percent_ >= 0) reporter_.err("\r\x1b[K");
  }
  void operator()(double done) {
    const int percent = static_cast<int>(done * 100);
    if (!shown_ || percent == percent_) return;
    percent_ = percent;
    reporter_.err("\rmosaiq-view: rendering the song: " + std::to_string(percent) + "%");
  }

 private:
  Reporter& reporter_;
  bool shown_;
  int percent_ = -1;
};

}  // namespace

int page_sound(const SoundRequest& request, std::string& url) {
  url.clear();
  const ViewOptions& options = request.options;
  if (options.no_audio) return 0;
  if (!options.audio.empty()) return audio_file(request, url) ? 0 : 2;
  if (request.midi.empty()) return 0;
  const char* const silent = "; the page is silent";
  if (!can_play_songs()) {
    request.reporter.say(not_built + std::string(silent));
    return 0;
  }
  SoundFontChoice soundfont;
  std::string silence;
  int status = 0;
  if (!soundfont_for(request, soundfont, silence, status)) {
    if (status == 0) request.reporter.say(silence + silent);
    return status;
  }
  const SongSource source{request.midi, request.song, soundfont.bytes, options.bpm};
  RenderedSong rendered;
  std::string problem;
  bool done = false;
  {
    Progress progress(request.reporter);
    done = render_song(source, rendered, problem, std::ref(progress));
  }
  if (!done) {
    request.reporter.say("cannot render the song: " + problem + silent);
    return 0;
  }
  if (!rendered.cut.empty()) request.reporter.say(rendered.cut);
  url = data_url("audio/ogg", rendered.bytes);
  return 0;
}

std::unique_ptr<SongSound> terminal_sound(const SoundRequest& request, std::string& silence,
                                          int& status) {
  status = 0;
  if (request.options.mute || request.midi.empty()) return nullptr;
  const char* const silent = "; playing without sound";
  if (!can_play_songs()) return nullptr;  // as it always was: the song's timing, no sound
  SoundFontChoice soundfont;
  if (!soundfont_for(request, soundfont, silence, status)) {
    if (status == 0) silence += silent;
    return nullptr;
  }
  const SongSource source{request.midi, request.song, soundfont.bytes, request.options.bpm};
  std::string problem;
  std::unique_ptr<SongSound> sound =
      play_song(source, request.reporter.console().variable("MOSAIQ_AUDIO_DRIVER"), problem);
  if (!sound) silence = problem + silent;
  return sound;
}

}  // namespace mosaiq::view
