// The song's sound: what an audio file is, a SoundFont looked over, the song rendered for the
// page and played under the terminal player.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "song/midi_file.h"
#include "view/audio_kind.h"
#include "view/data_url.h"
#include "view/song_sound.h"
#include "view/soundfont_file.h"
#include "view_test_support.h"

#if MOSAIQ_TEST_DECODES_AUDIO
#include <sndfile.h>
#endif

namespace mosaiq::view {
namespace {

using mosaiq::testing::big_endian;
using testing::midi_file;
using testing::note;
using testing::tempo;

std::string square_soundfont() {
  std::ifstream file(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(AudioKind, ToldByTheFirstBytes) {
  using namespace std::string_literals;
  const std::string ogg_page = "OggS\0\x02"s + std::string(20, '\0') + "\x01\x13";
  const struct {
    std::string bytes;
    std::string_view name;
  } cases[] = {
      {ogg_page + "OpusHead\x01\x02", "Ogg Opus"},
      {ogg_page + "\x01vorbis\0\0"s, "Ogg Vorbis"},
      {ogg_page + "\x80theora", ""},  // a video
      {"OggS\0"s, ""},                // cut short
      {"RIFF\x24\0\0\0WAVEfmt "s, "WAV"},
      {"RIFF\x24\0\0\0AVI LIST"s, ""},
      {"fLaC\0\0\0\x22"s, "FLAC"},
      {"ID3\x04\0\0\0\0\0\0\xff\xfb"s, "MP3"},
      {"\xff\xfb\x90\x64", "MP3"},  // MPEG 1 layer III
      {"\xff\xfd\x90\x64", ""},     // layer II
      {"<!DOCTYPE html>", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(audio_kind(c.bytes).name, c.name);
  }
  EXPECT_EQ(audio_kind("fLaC").mime, "audio/flac");
}

TEST(DataUrl, Base64OfEveryLength) {
  EXPECT_EQ(data_url("audio/ogg", ""), "data:audio/ogg;base64,");
  EXPECT_EQ(data_url("a/b", "f"), "data:a/b;base64,Zg==");
  EXPECT_EQ(data_url("a/b", "fo"), "data:a/b;base64,Zm8=");
  EXPECT_EQ(data_url("a/b", "foo"), "data:a/b;base64,Zm9v");
  EXPECT_EQ(data_url("a/b", "foob\xff"), "data:a/b;base64,Zm9vYv8=");
}

// The offset of a chunk's body in the SoundFont.
std::size_t body_of(const std::string& soundfont, const char* id) { return soundfont.find(id) + 8; }

void put16(std::string& bytes, std::size_t at, unsigned value) {
  bytes[at] = static_cast<char>(value & 0xff);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

TEST(SoundFontFile, ThePartsMustFitTogether) {
  const std::string good = square_soundfont();
  ASSERT_GT(good.size(), 1000u) << "the tests' SoundFont, tests/data/square.sf2";
  EXPECT_EQ(soundfont_problem(good), "");
  const struct {
    const char* name;
    std::function<void(std::string&)> spoil;
    const char* problem;
  } cases[] = {
      {"not one", [](std::string& b) { b = "RIFF\4\0\0\0WAVE"; }, "it is not a SoundFont"},
      {"cut short", [](std::string& b) { b.resize(b.size() - 100); }, "it is cut short"},
      {"a preset's zones past the table",
       [](std::string& b) { put16(b, body_of(b, "phdr") + 24, 0x7fff); },
       "its presets, instruments and samples do not fit together"},
      {"an instrument that is not there",
       [](std::string& b) { put16(b, body_of(b, "pgen") + 2, 7); },
       "its presets, instruments and samples do not fit together"},
      {"a sample past the data",
       [](std::string& b) { b.replace(body_of(b, "shdr") + 24, 4, "\xff\xff\xff\x0f"); },
       "a sample lies outside its sample data"},
      {"a table of broken records", [](std::string& b) { b[body_of(b, "imod") - 4] = 9; },
       "its imod table is missing or broken"},
      {"a table longer than the preset data",
       [](std::string& b) { put16(b, body_of(b, "igen") - 4, 0xffff); },
       "its preset data's chunks do not fit it"},
      {"no samples table", [](std::string& b) { b.replace(b.find("shdr"), 4, "xxxx"); },
       "its shdr table is missing or broken"},
      {"a later version", [](std::string& b) { put16(b, body_of(b, "ifil"), 4); },
       "it is a SoundFont 4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good;
    c.spoil(bytes);
    EXPECT_EQ(soundfont_problem(bytes), c.problem);
  }
}

// The song by hand: 120 quarter notes a minute, a note from 0 to quarter note 8 (4 s).
struct ByHand {
  ByHand(double bpm = 0)
      : midi(midi_file(1, 480,
                       {{tempo(0, 120)}, {note(0), {3840, std::string("\x80\x3c\x40", 3)}}})),
        soundfont(square_soundfont()) {
    std::string note_text, as_read_midi;
    EXPECT_TRUE(read_midi(midi, song, problem, note_text, &as_read));
    sound = play_song_by_hand({as_read, song, soundfont, bpm}, problem);
  }
  std::string midi, soundfont, as_read, problem;
  Song song;
  std::unique_ptr<SongByHand> sound;
};

TEST(SongSound, ThePositionFollowsAGivenTempo) {
  if (!can_play_songs()) GTEST_SKIP() << "built without FluidSynth";
  ByHand song(60);  // half the song's own tempo
  ASSERT_TRUE(song.sound) << song.problem;
  song.sound->render(2.0);
  EXPECT_NEAR(song.sound->seconds(), 2.0, 0.01) << "two quarter notes at 60, not four at 120";
  song.sound->seek(5.0);
  song.sound->render(1.0);
  EXPECT_NEAR(song.sound->seconds(), 6.0, 0.01);
}

TEST(SongSound, ASeekBackAfterTheEndPlaysAgain) {
  if (!can_play_songs()) GTEST_SKIP() << "built without FluidSynth";
  ByHand song;
  ASSERT_TRUE(song.sound) << song.problem;
  for (int i = 0; i < 7; ++i) song.sound->render(1.0);
  EXPECT_TRUE(song.sound->done()) << "the song (4 s) and its fade are over";
  song.sound->seek(1.0);
  song.sound->play();
  EXPECT_FALSE(song.sound->done());
  song.sound->render(0.5);
  EXPECT_NEAR(song.sound->seconds(), 1.5, 0.01);
  song.sound->seek(30);
  EXPECT_TRUE(song.sound->done()) << "sent past the end, it is done there";
  EXPECT_EQ(song.sound->seconds(), 30);
  song.sound->seek(2.0);
  song.sound->play();
  song.sound->render(0.5);
  EXPECT_FALSE(song.sound->done()) << "and sent back, it plays again";
  EXPECT_NEAR(song.sound->seconds(), 2.5, 0.01);
}

#if MOSAIQ_TEST_DECODES_AUDIO
// The rendered song decoded again: its samples, first channel, at 48 kHz.
std::vector<float> decoded(const std::string& ogg) {
  struct Reader {
    const std::string& bytes;
    sf_count_t at = 0;
  } reader{ogg};
  SF_VIRTUAL_IO io{};
  io.get_filelen = [](void* r) {
    return static_cast<sf_count_t>(static_cast<Reader*>(r)->bytes.size());
  };
  io.seek = [](sf_count_t offset, int whence, void* r) {
    Reader& in = *static_cast<Reader*>(r);
    in.at = (whence == SEEK_SET   ? 0
             : whence == SEEK_CUR ? in.at
                                  : static_cast<sf_count_t>(in.bytes.size())) +
            offset;
    return in.at;
  };
  io.read = [](void* to, sf_count_t count, void* r) {
    Reader& in = *static_cast<Reader*>(r);
    const sf_count_t n =
        std::min<sf_count_t>(count, static_cast<sf_count_t>(in.bytes.size()) - in.at);
    std::memcpy(to, in.bytes.data() + in.at, static_cast<std::size_t>(std::max<sf_count_t>(n, 0)));
    in.at += std::max<sf_count_t>(n, 0);
    return std::max<sf_count_t>(n, 0);
  };
  io.write = [](const void*, sf_count_t, void*) -> sf_count_t { return 0; };
  io.tell = [](void* r) { return static_cast<Reader*>(r)->at; };
  SF_INFO info{};
  SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &reader);
  if (file == nullptr) return {};
  std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  std::vector<float> left;
  for (std::size_t i = 0; i < frames.size(); i += static_cast<std::size_t>(info.channels)) {
    left.push_back(frames[i]);
  }
  return left;
}

TEST(SongSound, TheRenderedSongStartsAtTheSongsTimeZeroAndLastsToItsEnd) {
  if (!can_play_songs()) GTEST_SKIP() << "built without FluidSynth";
  // 120 quarter notes a minute for two quarters, then 60: the note at tick 1440 (three
  // quarters) sounds at 1 s + 1 s = 2 s; the song ends at tick 2400, 4 s.
  const std::string midi = midi_file(
      1, 480,
      {{tempo(0, 120), tempo(960, 60)}, {note(1440), {960, std::string("\x80\x3c\x40", 3)}}});
  Song song;
  std::string problem, note_text, as_read;
  ASSERT_TRUE(read_midi(midi, song, problem, note_text, &as_read));
  const std::string soundfont = square_soundfont();
  RenderedSong rendered;
  double last_progress = 0;
  ASSERT_TRUE(render_song({as_read, song, soundfont}, rendered, problem, [&](double done) {
    last_progress = done;
    return true;
  })) << problem;
  EXPECT_EQ(last_progress, 1.0);
  EXPECT_EQ(audio_kind(rendered.bytes).name, "Ogg Opus");
  const std::vector<float> samples = decoded(rendered.bytes);
  std::size_t first = 0;
  while (first < samples.size() && std::abs(samples[first]) < 0.01f) ++first;
  EXPECT_NEAR(first / 48000.0, 2.0, 0.005) << "the first note, through the tempo map";
  EXPECT_GE(samples.size() / 48000.0, 4.0) << "to the song's end";
  EXPECT_LT(samples.size() / 48000.0, 5.5) << rendered.seconds;
  EXPECT_LT(rendered.bytes.size() / rendered.seconds, 7000) << "about 48 kbit/s";
  // Its waveform: silent until the note, loud with it, ten peaks a second.
  std::vector<std::uint8_t> peaks;
  ASSERT_TRUE(sound_peaks(rendered.bytes, 10, peaks));
  EXPECT_NEAR(static_cast<double>(peaks.size()), samples.size() / 4800.0, 1);
  EXPECT_LE(peaks[15], 1);
  EXPECT_GE(*std::max_element(peaks.begin() + 20, peaks.end()), 4);
  // A rendering asked to stop, stops.
  EXPECT_FALSE(render_song({as_read, song, soundfont}, rendered, problem,
                           [](double done) { return done < 0.5; }));
  EXPECT_EQ(problem, "stopped");
}
#endif

}  // namespace
}  // namespace mosaiq::view
