// What a program that runs until it is told to stop needs of the desktop it runs on: the user's
// browser, and the signals that ask it to stop.
#pragma once

#include <string>

namespace mosaiq {

// Opens the address in the user's browser ($BROWSER, else xdg-open), without waiting for it;
// false, with the problem in words, when none could be started.
bool open_in_browser(const std::string& address, std::string& problem);

// The signals that ask a program to stop (Ctrl+C, SIGTERM, SIGHUP), held back from this thread
// and every thread started after it, so that the program waits for one where it chooses; on
// destruction they are let through again.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Waits until one comes, or wake() is called (true), or `seconds` have passed (false).
  bool wait(double seconds);
  // Makes wait() return, from any thread.
  void wake();
};

}  // namespace mosaiq
