// The studio's local HTTP server (cpp-httplib): the page, the document's state and commands, the
// file saved, a clip imported, the song's sound. It listens on the loopback address only, lets
// in only requests that judge_request() lets in, reads no request body larger than a clip may
// be, answers a bad request with a 4xx and goes on, and touches no file but through the
// session (the file edited and its autosave) and the sound (the song, the SoundFont, the cache).
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "studio/studio_session.h"
#include "studio/studio_sound.h"

namespace mosaiq::studio {

// The page: the viewer's screen, panel, sound and clock, with the studio's editing around them.
std::string studio_page(const std::string& title);

class StudioServer {
 public:
  // Serves the session (and the sound, when there is one), each asked one request at a time.
  StudioServer(StudioSession& session, StudioSound* sound);
  ~StudioServer();
  StudioServer(const StudioServer&) = delete;
  StudioServer& operator=(const StudioServer&) = delete;

  // Takes the port on 127.0.0.1 (0: any free one); false, with the problem.
  bool bind(int port, std::string& problem);
  int port() const;
  // The address to open: http://127.0.0.1:PORT/TOKEN/
  std::string address() const;

  // Serves until stop() (from another thread).
  void run();
  void stop();

  // Runs `work` with the session to itself.
  template <class Work>
  auto with_session(Work work) {
    std::lock_guard<std::mutex> lock(mutex_);
    return work(session_);
  }

 private:
  struct Routes;
  StudioSession& session_;
  StudioSound* sound_;
  std::mutex mutex_;
  std::string token_;
  int port_ = 0;
  std::unique_ptr<Routes> routes_;
};

}  // namespace mosaiq::studio
