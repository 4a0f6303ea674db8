// What the terminal player's frames follow: the terminal's own clock, or the position of the
// song the synthesiser plays (and, after the song's end, the terminal's clock from there).
#pragma once

#include <memory>

#include "view/song_sound.h"
#include "view/terminal.h"

namespace mosaiq::view {

class PlayClock {
 public:
  virtual ~PlayClock() = default;
  // Seconds along the timeline.
  virtual double now() = 0;
  virtual void pause() = 0;
  virtual void resume() = 0;
  virtual void move_to(double seconds) = 0;
  // When, on the terminal's clock, to look again for the time `seconds` along the timeline.
  virtual double deadline(double seconds) = 0;
  // Whether something still sounds that the player should wait for after the last frame.
  virtual bool sounding() = 0;
};

// The timeline on the terminal's clock, starting now.
std::unique_ptr<PlayClock> terminal_clock(Terminal& terminal);

// The timeline on the song's position, as the synthesiser plays it.
std::unique_ptr<PlayClock> song_clock(Terminal& terminal, SongSound& sound);

}  // namespace mosaiq::view
