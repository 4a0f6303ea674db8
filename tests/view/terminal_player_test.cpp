#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "song/midi_file.h"
#include "view/soundfont_file.h"
#include "view/terminal_player.h"
#include "view_test_support.h"

namespace mosaiq::view {
namespace {

// A terminal whose clock runs only when the player waits, and whose keys come on cue.
class FakeTerminal : public Terminal {
 public:
  double now() override { return time; }
  Input wait(double deadline) override {
    waits.push_back(deadline);
    if (!keys.empty() && (deadline < 0 || keys.front().first <= deadline)) {
      time = std::max(time, keys.front().first);
      const Input key = keys.front().second;
      keys.pop_front();
      return key;
    }
    if (deadline < 0) return Input::quit;  // nothing more will come
    time = deadline + 0.001;               // drawing a frame takes a little time
    return Input::deadline;
  }
  void write(std::string_view text) override {
    out += text;
    drawn.emplace_back(time, text);
  }
  int rows() override { return height; }

  double time = 100;
  int height = 25;
  std::deque<std::pair<double, Input>> keys;
  std::vector<double> waits;
  std::string out;
  std::vector<std::pair<double, std::string>> drawn;  // when each write came

  // When the first write holding `text` came; -1 when none did.
  double when(std::string_view text) const {
    for (const auto& [at, written] : drawn) {
      if (written.find(text) != std::string::npos) return at;
    }
    return -1;
  }
};

Showing showing_of(const std::string& script) {
  Showing showing{read_script(script), {}, "", ""};
  for (const double start : {0.0, 2.5, 3.0, 3.5, 4.0}) {
    showing.times.push_back({start, static_cast<std::int64_t>(start * 192), {1, 1, 0}});
  }
  return showing;
}

const std::string abc = "\n\x1b[1;1HA;\n\n\x1b[1;2HB;\n\n\x1b[1;1HC;\n\n";

TEST(TerminalPlayer, WaitsForEachFrameFromTheStartAndDoesNotDrift) {
  FakeTerminal terminal;
  Showing showing = showing_of(abc);
  GlyphText glyphs;
  EXPECT_EQ(play(showing, terminal, glyphs), 0);
  EXPECT_EQ(terminal.waits, (std::vector<double>{102.5, 103.0, 103.5}));
  EXPECT_EQ(terminal.out,
            "\x1b[0m\x1b[2J"
            "\x1b[1;1H\x1b[37mA"
            "\x1b[1;2H\x1b[37mB"
            "\x1b[1;1H\x1b[37mC");
}

TEST(TerminalPlayer, APauseMovesTheDeadlinesOnAndStepsShowOtherFrames) {
  FakeTerminal terminal;
  Showing showing = showing_of(abc);
  terminal.keys = {{101.0, Input::play_pause},
                   {105.0, Input::step_forward},
                   {106.0, Input::step_back},
                   {107.0, Input::play_pause}};
  GlyphText glyphs;
  EXPECT_EQ(play(showing, terminal, glyphs), 0);
  // Paused 1 s in; frame 1 shown and taken back while paused; playing on at 107 from the start
  // of frame 0, where the steps left it: frame 1 is due 2.5 s later.
  EXPECT_EQ(terminal.waits, (std::vector<double>{102.5, -1, -1, -1, 109.5, 110.0, 110.5}));
  EXPECT_NE(terminal.out.find("\x1b[1;1H\x1b[37mA\x1b[1;1H "), std::string::npos)
      << "stepping back blanks what frame 1 drew";
}

TEST(TerminalPlayer, QuitsOrStopsWhenAsked) {
  for (const auto& [input, status] : {std::pair{Input::quit, 0}, {Input::interrupted, 130}}) {
    FakeTerminal terminal;
    Showing showing = showing_of(abc);
    terminal.keys = {{101.0, input}};
    GlyphText glyphs;
    EXPECT_EQ(play(showing, terminal, glyphs), status);
    EXPECT_EQ(terminal.waits.size(), 1u);
  }
}

TEST(TerminalPlayer, AfterCtrlZTheScreenIsDrawnAgainAndThePlayerWaits) {
  FakeTerminal terminal;
  Showing showing = showing_of(abc);
  terminal.keys = {{102.6, Input::resumed}, {110.0, Input::play_pause}};
  GlyphText glyphs;
  play(showing, terminal, glyphs);
  const std::string redrawn = "\x1b[0m\x1b[2J\x1b[1;1H\x1b[37mA";
  EXPECT_EQ(terminal.out.find(redrawn, 10), terminal.out.rfind(redrawn));
  EXPECT_NE(terminal.out.rfind(redrawn), std::string::npos);
  EXPECT_EQ(terminal.waits[2], -1) << "paused after the stop";
}

// A file that changes on disk once, at a given time: its next version shows "Z" instead of "A".
// Its reading waits, where asked, until the player has answered a key.
class FakeWatch : public Watch {
 public:
  FakeWatch(FakeTerminal& terminal, double at, bool readable)
      : terminal_(terminal), at_(at), readable_(readable) {}
  bool changed() override {
    looks++;
    const bool now = !changed_ && terminal_.time >= at_;
    changed_ |= now;
    return now;
  }
  bool reload(Showing& showing, std::string& problem) override {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (wait_for_key)
        key_answered_while_reading =
            answered_.wait_for(lock, std::chrono::seconds(5), [this] { return key_seen_; });
    }
    read_ = true;
    if (!readable_) {
      problem = "cannot read t.wve: it broke";
      return false;
    }
    showing = showing_of("\n\x1b[1;1HZ;\n\n\x1b[1;2HB;\n\n\x1b[1;1HC;\n\n");
    return true;
  }
  // The player has answered a key.
  void key() {
    std::lock_guard<std::mutex> lock(mutex_);
    key_seen_ = true;
    answered_.notify_all();
  }
  // Whether a reading that began is done.
  bool idle() const { return !changed_ || read_; }

  int looks = 0;
  bool wait_for_key = false;
  bool key_answered_while_reading = false;

 private:
  FakeTerminal& terminal_;
  double at_;
  bool readable_;
  bool changed_ = false;
  std::atomic<bool> read_{false};
  std::mutex mutex_;
  std::condition_variable answered_;
  bool key_seen_ = false;
};

// A terminal beside a watched file: a key is told to the watch once it is handed to the player,
// and time does not move on while a reading that does not wait for one runs.
class WatchedTerminal : public FakeTerminal {
 public:
  Input wait(double deadline) override {
    while (watch != nullptr && !watch->wait_for_key && !watch->idle()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const Input input = FakeTerminal::wait(deadline);
    if (input != Input::deadline && watch != nullptr) watch->key();
    return input;
  }
  FakeWatch* watch = nullptr;
};

TEST(TerminalPlayer, AWatchedFileIsShownAgainAtTheFrameOnScreen) {
  for (const bool readable : {true, false}) {
    WatchedTerminal terminal;
    terminal.height = 26;
    terminal.keys = {{102.8, Input::play_pause}, {104.0, Input::quit}};
    FakeWatch watch(terminal, 103.0, readable);
    terminal.watch = &watch;
    Showing showing = showing_of(abc);
    GlyphText glyphs;
    EXPECT_EQ(play(showing, terminal, glyphs, &watch), 0);
    EXPECT_GT(watch.looks, 3);
    const std::size_t reloaded = terminal.out.find("\x1b[1;1H\x1b[37mZ");
    EXPECT_EQ(reloaded != std::string::npos, readable) << "frame 1, paused, drawn anew";
    EXPECT_EQ(terminal.out.find("\x1b[26;1H\x1b[0m\x1b[2Kcannot read t.wve: it broke") !=
                  std::string::npos,
              !readable);
    EXPECT_NE(terminal.out.find("\x1b[26;1H\x1b[0m\x1b[2Kframe 1/3  0:02.500  song 1:1"),
              std::string::npos);
  }
}

// A sound that is ready at a given time on the terminal's clock, and then cannot sound.
class SlowSound : public PendingSound {
 public:
  SlowSound(FakeTerminal& terminal, double at) : terminal_(terminal), at_(at) {}
  bool ready() override { return terminal_.time >= at_; }
  SongSound* sound(std::string& why) override {
    why = "no sound";
    return nullptr;
  }

 private:
  FakeTerminal& terminal_;
  double at_;
};

TEST(TerminalPlayer, FrameZeroAtOnceWhileTheSoundLoadsThenEverythingFromTheStart) {
  FakeTerminal terminal;
  terminal.height = 26;
  Showing showing = showing_of(abc);
  SlowSound loading(terminal, 104.0);
  GlyphText glyphs;
  EXPECT_EQ(play(showing, terminal, glyphs, nullptr, nullptr, &loading), 0);
  EXPECT_EQ(terminal.when("frame 0/3  0:00.000  song 1:1  (loading the SoundFont)"), 100.0)
      << "said at once, under frame 0";
  EXPECT_NEAR(terminal.when("\x1b[1;1H\x1b[37mA"), 104.0 + 2.5, 0.15)
      << "frame 1 two and a half seconds after the sound is ready, not after the start";
  EXPECT_NE(terminal.when("(no sound)"), -1) << "and the line says it came to nothing";
}

TEST(TerminalPlayer, KeysAreAnsweredWhileAWatchedFileIsReadAgain) {
  WatchedTerminal terminal;
  terminal.keys = {{103.5, Input::play_pause}, {104.0, Input::quit}};
  FakeWatch watch(terminal, 103.0, true);
  watch.wait_for_key = true;
  terminal.watch = &watch;
  Showing showing = showing_of(abc);
  GlyphText glyphs;
  EXPECT_EQ(play(showing, terminal, glyphs, &watch), 0);
  EXPECT_TRUE(watch.key_answered_while_reading)
      << "the reading, begun at 103, waited for Space at 103.5 and saw it answered";
}

// A terminal beside a synthesiser that plays at half speed, as a slow device might: the song
// moves on half as far as the terminal's clock. The frames must follow where it is in the song.
class HalfSpeedTerminal : public FakeTerminal {
 public:
  explicit HalfSpeedTerminal(SongByHand& sound) : sound_(sound) {}
  Input wait(double deadline) override {
    const double before = time;
    const Input input = FakeTerminal::wait(deadline);
    sound_.render((time - before) / 2);
    return input;
  }

 private:
  SongByHand& sound_;
};

TEST(TerminalPlayer, FramesFollowTheSynthesisersPositionInTheSong) {
  if (!can_play_songs()) GTEST_SKIP() << "built without FluidSynth";
  std::ifstream file(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
  const std::string soundfont{std::istreambuf_iterator<char>(file), {}};
  // Five seconds at 120 quarter notes a minute: a note at 0, its end at ten quarters.
  const std::string midi = testing::midi_file(
      1, 480,
      {{testing::tempo(0, 120)}, {testing::note(0), {4800, std::string("\x80\x3c\x40", 3)}}});
  Song song;
  std::string problem, note, as_read;
  ASSERT_TRUE(read_midi(midi, song, problem, note, &as_read));
  ASSERT_EQ(soundfont_problem(soundfont), "");
  std::unique_ptr<SongByHand> sound = play_song_by_hand({as_read, song, soundfont}, problem);
  ASSERT_TRUE(sound) << problem;

  HalfSpeedTerminal terminal(*sound);
  Showing showing = showing_of(abc);
  terminal.keys = {{109.0, Input::play_pause}, {111.0, Input::play_pause}};
  GlyphText glyphs;
  EXPECT_EQ(play(showing, terminal, glyphs, nullptr, sound.get()), 0);
  // Frame 1 starts 2.5 s into the song: 5 s on the terminal's clock; frame 2 at 3 s of the
  // song, 6 s; frame 3 at 3.5 s, 7 s.
  EXPECT_NEAR(terminal.when("\x1b[1;1H\x1b[37mA"), 105.0, 0.03);
  EXPECT_NEAR(terminal.when("\x1b[1;2H\x1b[37mB"), 106.0, 0.03);
  EXPECT_NEAR(terminal.when("\x1b[1;1H\x1b[37mC"), 107.0, 0.03);
  // Paused 2 s from 109, 4.5 s into the song, which ends at 5 s and fades for a second: the
  // player waits for it, 1.5 s of the song, 3 s of the terminal's clock after the pause.
  EXPECT_NEAR(terminal.time, 114.0, 0.3) << "played to the song's end";
}

TEST(PlayClock, SentBackAfterTheSongsEndTheClockFollowsTheSongAgain) {
  if (!can_play_songs()) GTEST_SKIP() << "built without FluidSynth";
  std::ifstream file(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
  const std::string soundfont{std::istreambuf_iterator<char>(file), {}};
  const std::string midi = testing::midi_file(
      1, 480,
      {{testing::tempo(0, 120)}, {testing::note(0), {960, std::string("\x80\x3c\x40", 3)}}});
  Song song;
  std::string problem, note, as_read;
  ASSERT_TRUE(read_midi(midi, song, problem, note, &as_read));
  std::unique_ptr<SongByHand> sound = play_song_by_hand({as_read, song, soundfont}, problem);
  ASSERT_TRUE(sound) << problem;
  FakeTerminal terminal;
  const std::unique_ptr<PlayClock> clock = song_clock(terminal, *sound);
  sound->render(3.5);  // the song (1 s) and its fade are over
  terminal.time += 3.5;
  EXPECT_GE(clock->now(), 2.0) << "past the end, the terminal's clock from there";
  EXPECT_FALSE(clock->sounding());
  clock->move_to(0.25);
  EXPECT_TRUE(clock->sounding()) << "the song plays again";
  sound->render(0.5);
  terminal.time += 0.5;
  EXPECT_NEAR(clock->now(), 0.75, 0.01) << "and the clock is the song's position";
}

}  // namespace
}  // namespace mosaiq::view
