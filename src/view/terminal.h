// The terminal the player plays on: time, keys, signals and the text written to it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace mosaiq::view {

enum class Input {
  deadline,      // the time waited for has come
  play_pause,    // Space
  step_back,     // Left
  step_forward,  // Right
  quit,          // q
  interrupted,   // Ctrl-C or a termination request
  resumed,       // the player was stopped (Ctrl-Z) and is running again: redraw
};

class Terminal {
 public:
  virtual ~Terminal() = default;
  // Seconds from any origin.
  virtual double now() = 0;
  // Waits until `deadline` (a negative one: without end) or until a key or a signal comes.
  virtual Input wait(double deadline) = 0;
  virtual void write(std::string_view text) = 0;
  // How many rows the terminal has.
  virtual int rows() = 0;
};

// The process's own terminal, ready to play on: standard output a terminal of 80 x 25 or more,
// keys read one at a time without echo, the cursor hidden; Ctrl-Z gives the terminal back while
// the player is stopped. Null, with `problem` saying why, when it cannot be had. Its end shows
// the cursor again and leaves it under the screen, so the last frame stays in sight.
std::unique_ptr<Terminal> open_system_terminal(std::string& problem);

}  // namespace mosaiq::view
