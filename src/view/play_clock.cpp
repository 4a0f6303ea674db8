#include "view/play_clock.h"

#include <algorithm>

namespace mosaiq::view {

namespace {

class TerminalClock : public PlayClock {
 public:
  explicit TerminalClock(Terminal& terminal) : terminal_(terminal), origin_(terminal.now()) {}
  double now() override { return paused_ ? paused_at_ : terminal_.now() - origin_; }
  void pause() override {
    if (paused_) return;
    paused_at_ = now();
    paused_ = true;
  }
  void resume() override {
    if (!paused_) return;
    origin_ = terminal_.now() - paused_at_;
    paused_ = false;
  }
  void move_to(double seconds) override {
    if (paused_) {
      paused_at_ = seconds;
    } else {
      origin_ = terminal_.now() - seconds;
    }
  }
  double deadline(double seconds) override { return origin_ + seconds; }
  bool sounding() override { return false; }

 private:
  Terminal& terminal_;
  double origin_;
  bool paused_ = false;
  double paused_at_ = 0;
};

// Polls the song: a frame is drawn within this of its time.
constexpr double song_poll = 0.01;

class SongClock : public PlayClock {
 public:
  SongClock(Terminal& terminal, SongSound& sound)
      : terminal_(terminal), sound_(sound), after_(terminal) {}

  double now() override {
    if (!past_end_ && sound_.done()) {
      past_end_ = true;
      after_.move_to(sound_.seconds());
      if (paused_) after_.pause();
    }
    return past_end_ ? after_.now() : sound_.seconds();
  }
  void pause() override {
    paused_ = true;
    sound_.pause();
    after_.pause();
  }
  void resume() override {
    paused_ = false;
    if (!past_end_) sound_.play();
    after_.resume();
  }
  void move_to(double seconds) override {
    past_end_ = false;
    sound_.seek(seconds);
    if (!paused_) sound_.play();  // a song that was done plays again from there
    after_.move_to(seconds);
  }
  double deadline(double seconds) override {
    return terminal_.now() + std::clamp(seconds - now(), 0.0, song_poll);
  }
  bool sounding() override {
    now();  // the song moves on as it is looked at
    return !paused_ && !past_end_;
  }

 private:
  Terminal& terminal_;
  SongSound& sound_;
  bool paused_ = false;
  bool past_end_ = false;  // the song is done: the terminal's clock goes on from its end
  TerminalClock after_;
};

}  // namespace

std::unique_ptr<PlayClock> terminal_clock(Terminal& terminal) {
  return std::make_unique<TerminalClock>(terminal);
}

std::unique_ptr<PlayClock> song_clock(Terminal& terminal, SongSound& sound) {
  return std::make_unique<SongClock>(terminal, sound);
}

}  // namespace mosaiq::view
