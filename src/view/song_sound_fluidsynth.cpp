// The song's sound through FluidSynth: rendered for the page and encoded as Ogg Opus by
// libsndfile, or played on the audio device for the terminal player.
#include <fluidsynth.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/failure.h"
#include "platform/standard_streams.h"
#include "song/player_clock.h"
#include "view/song_sound.h"

namespace mosaiq::view {

namespace {

constexpr int sample_rate = 48000;  // the rate Opus takes
// libsndfile's level for Opus: (1 - level) * 250 + 6 kbit/s a channel; 24 a channel here.
constexpr double compression_level = 1.0 - (24000.0 - 6000.0) / 250000.0;
constexpr double fade_seconds = 1.0;
// The player counts ticks in an int: a song must end well short of that.
constexpr std::uint64_t most_ticks = std::uint64_t{1} << 30;

// FluidSynth's messages would go to the console; what fails is told through its results.
void quiet(int, const char*, void*) {}

void silence_fluidsynth() {
  for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
    fluid_set_log_function(level, quiet, nullptr);
  }
}

// The SoundFont is given to the synthesiser from memory, the very bytes that were looked over:
// its loader opens a name that carries where they are.
struct MemoryReader {
  std::string_view bytes;
  std::size_t at = 0;
};

std::string memory_name(const std::string_view& bytes) {
  char name[64];
  std::snprintf(name, sizeof name, "memory:%p", static_cast<const void*>(&bytes));
  return name;
}

void* open_memory(const char* name) {
  void* bytes = nullptr;
  if (std::sscanf(name, "memory:%p", &bytes) != 1 || bytes == nullptr) return nullptr;
  return new MemoryReader{*static_cast<const std::string_view*>(bytes)};
}

int read_memory(void* into, fluid_long_long_t count, void* handle) {
  MemoryReader& reader = *static_cast<MemoryReader*>(handle);
  if (count < 0 || static_cast<std::size_t>(count) > reader.bytes.size() - reader.at) {
    return FLUID_FAILED;
  }
  std::memcpy(into, reader.bytes.data() + reader.at, static_cast<std::size_t>(count));
  reader.at += static_cast<std::size_t>(count);
  return FLUID_OK;
}

int seek_memory(void* handle, fluid_long_long_t offset, int origin) {
  MemoryReader& reader = *static_cast<MemoryReader*>(handle);
  const auto size = static_cast<fluid_long_long_t>(reader.bytes.size());
  const fluid_long_long_t base = origin == SEEK_SET   ? 0
                                 : origin == SEEK_CUR ? static_cast<fluid_long_long_t>(reader.at)
                                                      : size;
  if (offset > size || offset < -size || base + offset < 0 || base + offset > size) {
    return FLUID_FAILED;
  }
  reader.at = static_cast<std::size_t>(base + offset);
  return FLUID_OK;
}

fluid_long_long_t tell_memory(void* handle) {
  return static_cast<fluid_long_long_t>(static_cast<MemoryReader*>(handle)->at);
}

int close_memory(void* handle) {
  delete static_cast<MemoryReader*>(handle);
  return FLUID_OK;
}

// A synthesiser with the SoundFont, and a player with the song, ready to play.
class Synth {
 public:
  Synth() : settings_(new_fluid_settings()) {}
  ~Synth() {
    if (player_ != nullptr) {
      fluid_player_stop(player_);
      delete_fluid_player(player_);
    }
    if (synth_ != nullptr) delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
  }
  Synth(const Synth&) = delete;
  Synth& operator=(const Synth&) = delete;

  // Starts a synthesiser, silent, and the loader that gives it a SoundFont from memory.
  bool start(std::string& problem) {
    silence_fluidsynth();
    fluid_settings_setnum(settings_, "synth.sample-rate", sample_rate);
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 0);
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) return fail(problem, "FluidSynth cannot start");
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings_);
    if (loader == nullptr) return fail(problem, "FluidSynth cannot start");
    fluid_sfloader_set_callbacks(loader, open_memory, read_memory, seek_memory, tell_memory,
                                 close_memory);
    fluid_synth_add_sfloader(synth_, loader);
    return true;
  }

  // Gives the synthesiser the SoundFont and a player the song, at its start; with `playing`,
  // the player starts.
  bool load(const SongSource& source, bool playing, std::string& problem) {
    if (source.song.end_tick > most_ticks) return fail(problem, "the song has too many ticks");
    const std::string_view soundfont = source.soundfont;
    if (fluid_synth_sfload(synth_, memory_name(soundfont).c_str(), 1) == FLUID_FAILED) {
      return fail(problem, "FluidSynth cannot load the SoundFont");
    }
    player_ = new_fluid_player(synth_);
    if (player_ == nullptr ||
        fluid_player_add_mem(player_, source.midi.data(), source.midi.size()) != FLUID_OK) {
      return fail(problem, "FluidSynth cannot play the song");
    }
    if (source.bpm > 0)
      fluid_player_set_tempo(player_, FLUID_PLAYER_TEMPO_EXTERNAL_BPM, source.bpm);
    if (playing) fluid_player_play(player_);
    return true;
  }

  bool open(const SongSource& source, std::string& problem) {
    return start(problem) && load(source, true, problem);
  }

  fluid_settings_t* settings() { return settings_; }
  fluid_synth_t* synth() { return synth_; }
  fluid_player_t* player() { return player_; }

  // Renders frames of stereo samples, interleaved, into `samples`.
  void write(std::vector<float>& samples, int frames) {
    samples.resize(2 * static_cast<std::size_t>(frames));
    fluid_synth_write_float(synth_, frames, samples.data(), 0, 2, samples.data(), 1, 2);
  }

 private:
  fluid_settings_t* settings_;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
};

// libsndfile writing into memory, or reading from it.
struct MemoryFile {
  std::string bytes;
  sf_count_t at = 0;
};

SF_VIRTUAL_IO memory_io() {
  SF_VIRTUAL_IO io{};
  io.get_filelen = [](void* data) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(data)->bytes.size());
  };
  io.seek = [](sf_count_t offset, int whence, void* data) {
    MemoryFile& file = *static_cast<MemoryFile*>(data);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? file.at
                                                 : static_cast<sf_count_t>(file.bytes.size());
    file.at = std::max<sf_count_t>(0, base + offset);
    return file.at;
  };
  io.read = [](void* to, sf_count_t count, void* data) -> sf_count_t {
    MemoryFile& file = *static_cast<MemoryFile*>(data);
    const auto at = std::min(static_cast<std::size_t>(file.at), file.bytes.size());
    const std::size_t size = std::min(static_cast<std::size_t>(count), file.bytes.size() - at);
    std::memcpy(to, file.bytes.data() + at, size);
    file.at += static_cast<sf_count_t>(size);
    return static_cast<sf_count_t>(size);
  };
  io.write = [](const void* from, sf_count_t count, void* data) {
    MemoryFile& file = *static_cast<MemoryFile*>(data);
    const auto at = static_cast<std::size_t>(file.at), size = static_cast<std::size_t>(count);
    if (file.bytes.size() < at + size) file.bytes.resize(at + size);
    std::memcpy(&file.bytes[at], from, size);
    file.at += count;
    return count;
  };
  io.tell = [](void* data) { return static_cast<MemoryFile*>(data)->at; };
  return io;
}

// The seconds the song lasts, by its tempo map: for the progress shown.
double song_seconds(const SongSource& source) {
  return TempoMap(source.song, source.bpm).seconds_at(song_end_quarters(source.song));
}

}  // namespace

bool can_play_songs() { return true; }

bool render_song(const SongSource& source, RenderedSong& rendered, std::string& problem,
                 const std::function<bool(double)>& progress) {
  Synth synth;
  if (!synth.open(source, problem)) return false;
  MemoryFile memory;
  SF_VIRTUAL_IO io = memory_io();
  SF_INFO info{};
  info.samplerate = sample_rate;
  info.channels = 2;
  info.format = SF_FORMAT_OGG | SF_FORMAT_OPUS;
  SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
  if (file == nullptr) {
    problem = std::string("cannot encode the song as Ogg Opus: ") + sf_strerror(nullptr);
    return false;
  }
  double level = compression_level;
  sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
  // The song's end by its tempo map (the player lingers a while after it), and the fade.
  double length = song_seconds(source) + fade_seconds;
  if (source.until > 0) length = std::min(length, source.until);
  const int block = sample_rate / 10;
  std::vector<float> samples;
  double seconds = 0;
  while (seconds < length && seconds < longest_rendering) {
    synth.write(samples, block);
    sf_writef_float(file, samples.data(), block);
    seconds += 0.1;
    if (!progress(std::min(seconds / length, 1.0))) {
      sf_close(file);
      problem = "stopped";
      return false;
    }
  }
  if (seconds < length)
    rendered.cut = "the song is longer than an hour: the page plays its first hour";
  const bool good = sf_error(file) == SF_ERR_NO_ERROR;
  if (!good) problem = std::string("cannot encode the song as Ogg Opus: ") + sf_strerror(file);
  sf_close(file);
  rendered.bytes = std::move(memory.bytes);
  rendered.seconds = seconds;
  return good;
}

bool sound_peaks(std::string_view audio, int per_second, std::vector<std::uint8_t>& peaks) {
  peaks.clear();
  MemoryFile memory{std::string(audio), 0};
  SF_VIRTUAL_IO io = memory_io();
  SF_INFO info{};
  SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
  if (file == nullptr) return false;
  const sf_count_t block = std::max<sf_count_t>(1, info.samplerate / per_second);
  std::vector<float> samples(static_cast<std::size_t>(block * info.channels));
  sf_count_t got = 0;
  while ((got = sf_readf_float(file, samples.data(), block)) > 0) {
    float loudest = 0;
    for (sf_count_t i = 0; i < got * info.channels; ++i) {
      loudest = std::max(loudest, std::abs(samples[static_cast<std::size_t>(i)]));
    }
    peaks.push_back(static_cast<std::uint8_t>(std::lround(std::min(loudest, 1.0f) * 255)));
  }
  sf_close(file);
  return true;
}

namespace {

// The song playing on an audio device, or by hand; its position is the player's tick. On a
// device it is made ready in two steps: the device at once, the SoundFont and the song after.
class FluidSound : public SongByHand {
 public:
  ~FluidSound() override {
    if (driver_ != nullptr) delete_fluid_audio_driver(driver_);
  }

  // Starts the synthesiser on the driver named (empty: the system's own), silent.
  bool open_device(const std::string& driver, std::string& problem) {
    if (!synth_.start(problem)) return false;
    // The audio libraries tell of missing devices and late buffers on standard error, over the
    // player's screen: it is silenced while the sound plays.
    quiet_ = std::make_unique<StandardErrorSilenced>();
    // Unnamed: PulseAudio (or PipeWire in its place) where a server runs, else ALSA.
    for (const std::string& name : driver.empty() ? std::vector<std::string>{"pulseaudio", "alsa"}
                                                  : std::vector<std::string>{driver}) {
      fluid_settings_setstr(synth_.settings(), "audio.driver", name.c_str());
      driver_ = new_fluid_audio_driver(synth_.settings(), synth_.synth());
      if (driver_ != nullptr) return true;
    }
    problem = "no audio device opens";
    return false;
  }

  // The SoundFont and the song; with `playing`, the song starts at once (else at play()).
  bool load(const SongSource& source, bool playing, std::string& problem) {
    tempo_ = std::make_unique<TempoMap>(source.song, source.bpm);
    ticks_per_quarter_ = std::max<std::uint32_t>(source.song.ticks_per_quarter, 1);
    end_tick_ = source.song.end_tick;
    end_ = song_seconds(source) + fade_seconds;
    paused_ = !playing;
    return synth_.load(source, playing, problem);
  }

  // By hand: the synthesiser on no device.
  bool start(const SongSource& source, std::string& problem) {
    return synth_.start(problem) && load(source, true, problem);
  }

  double seconds() override {
    if (past_) return seek_to_;
    const int tick = fluid_player_get_current_tick(synth_.player());
    // A seek is done when the player next runs; until then the song is where it was sent.
    if (seeking_ && tick == tick_before_seek_) return seek_to_;
    seeking_ = false;
    return tempo_->seconds_at(static_cast<double>(tick) / ticks_per_quarter_);
  }

  // The player lingers after the song's last event; the song is done when its notes have faded.
  bool done() override {
    return past_ || (!paused_ && (seconds() >= end_ || fluid_player_get_status(synth_.player()) !=
                                                           FLUID_PLAYER_PLAYING));
  }

  void pause() override {
    paused_ = true;
    fluid_player_stop(synth_.player());
  }

  void play() override {
    paused_ = false;
    if (!past_) fluid_player_play(synth_.player());
  }

  // A time past the song's last event leaves the song done there; any other plays from there.
  void seek(double seconds) override {
    seek_to_ = std::max(seconds, 0.0);
    past_ = seek_to_ >= end_ - fade_seconds;
    if (past_) {
      fluid_player_stop(synth_.player());
      return;
    }
    const double quarters = tempo_->quarters_at(seek_to_);
    const auto ticks = static_cast<int>(
        std::min<double>(quarters * ticks_per_quarter_, static_cast<double>(end_tick_)));
    tick_before_seek_ = fluid_player_get_current_tick(synth_.player());
    seeking_ = fluid_player_seek(synth_.player(), ticks) == FLUID_OK;
  }

  void render(double seconds) override {
    std::vector<float> samples;
    for (int frames = static_cast<int>(seconds * sample_rate); frames > 0; frames -= 64) {
      synth_.write(samples, std::min(frames, 64));
    }
  }

 private:
  std::unique_ptr<TempoMap> tempo_;
  double ticks_per_quarter_ = 1;
  std::uint64_t end_tick_ = 0;
  double end_ = 0;  // seconds
  bool paused_ = false;
  bool past_ = false;  // sent past the song's end
  bool seeking_ = false;
  int tick_before_seek_ = 0;
  double seek_to_ = 0;
  std::unique_ptr<StandardErrorSilenced> quiet_;
  Synth synth_;
  fluid_audio_driver_t* driver_ = nullptr;
};

}  // namespace

std::unique_ptr<SongSound> play_song(const SongSource& source, const std::string& driver,
                                     std::string& problem) {
  auto sound = std::make_unique<FluidSound>();
  if (!sound->open_device(driver, problem) || !sound->load(source, true, problem)) return nullptr;
  return sound;
}

// The device opened, the SoundFont and the song given to it later.
class DeviceSong : public SongOnDevice {
 public:
  bool open(const std::string& driver, std::string& problem) {
    return sound_.open_device(driver, problem);
  }
  bool load(const SongSource& source, std::string& problem) override {
    return sound_.load(source, false, problem);
  }
  double seconds() override { return sound_.seconds(); }
  bool done() override { return sound_.done(); }
  void pause() override { sound_.pause(); }
  void play() override { sound_.play(); }
  void seek(double seconds) override { sound_.seek(seconds); }

 private:
  FluidSound sound_;
};

std::unique_ptr<SongOnDevice> open_song_device(const std::string& driver, std::string& problem) {
  auto device = std::make_unique<DeviceSong>();
  if (!device->open(driver, problem)) return nullptr;
  return device;
}

std::unique_ptr<SongByHand> play_song_by_hand(const SongSource& source, std::string& problem) {
  auto sound = std::make_unique<FluidSound>();
  if (!sound->start(source, problem)) return nullptr;
  return sound;
}

}  // namespace mosaiq::view
