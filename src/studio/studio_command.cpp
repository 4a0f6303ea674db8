#include "studio/studio_command.h"

#include <memory>
#include <thread>

#include "convert/converter_state.h"
#include "platform/console.h"
#include "platform/desktop.h"
#include "platform/file_access.h"
#include "platform/file_names.h"
#include "song/player_clock.h"
#include "song/song_file.h"
#include "studio/studio_options.h"
#include "studio/studio_server.h"
#include "studio/studio_session.h"
#include "studio/studio_sound.h"
#include "view/song_sound.h"

namespace mosaiq::studio {

namespace {

// How often changes not saved are kept in the autosave, in seconds.
constexpr double autosave_every = 30;

struct Run {
  const StudioOptions& options;
  ProgramSystem& system;
  Reporter& reporter;
  std::string name;       // the WVE file
  std::string song_name;  // empty: no song
  Song song;
  std::string midi;  // the song as players read it
};

// Finds and reads the song; false, said, when one named cannot be used.
bool load_the_song(Run& run) {
  SongOrigin origin = SongOrigin::none;
  run.song_name = song_for(run.system.files, run.system.syntax, run.name, run.options.midi, origin);
  if (origin == SongOrigin::song_line) {
    bool missing = false;
    run.reporter.say(song_line_words(run.system.files, run.name, run.song_name, missing));
    if (missing) run.song_name.clear();
  }
  if (run.song_name.empty()) return true;
  SongRead read = load_song(run.system.files, run.song_name, run.song);
  if (!read.read) {
    run.reporter.say(read.problem);
    return false;
  }
  if (!read.note.empty()) run.reporter.say("note: " + read.note);
  run.midi = std::move(read.midi);
  return true;
}

// Serves the studio until Ctrl+C; the exit status.
int serve(Run& run, StudioSession& session, StopSignals& stop) {
  std::unique_ptr<StudioSound> sound;
  if (!run.midi.empty() && view::can_play_songs()) {
    sound = std::make_unique<StudioSound>(run.system.files, run.system.console,
                                          SoundSetup{run.options.soundfont, !run.options.no_cache,
                                                     run.midi, run.song, run.options.bpm});
  }
  StudioServer server(session, sound.get());
  std::string problem;
  if (!server.bind(run.options.port, problem)) {
    run.reporter.say(problem);
    return 2;
  }
  run.reporter.out("mosaiq-studio: editing " + run.name + " at " + server.address() +
                   " (Ctrl+C stops)\n");
  if (!run.options.no_browser && !open_in_browser(server.address(), problem)) {
    run.reporter.say(problem + "; open the address above in a browser");
  }
  std::thread serving([&server, &stop] {
    server.run();
    stop.wake();
  });
  bool said = false;
  while (!run.reporter.failed() && !stop.wait(autosave_every)) {
    server.with_session([&](StudioSession& edited) {
      if (!edited.autosave(problem) && !said) run.reporter.say(problem);
      said = said || !problem.empty();
    });
  }
  server.stop();
  serving.join();
  if (session.dirty()) {
    if (session.autosave(problem)) {
      run.reporter.say(run.name + " has changes not saved: they are kept in " +
                       session.autosave_name() + " (mosaiq-studio --recover " + run.name +
                       " takes them up)");
    } else {
      run.reporter.say(run.name + " has changes not saved, and " + problem);
    }
  }
  return 0;
}

}  // namespace

int run_studio(const std::vector<std::string>& arguments, ProgramSystem& system) {
  Reporter reporter(system.console, "mosaiq-studio");
  StudioOptions options;
  std::string problem;
  const CommandRequest request = parse_studio_options(arguments, options, problem);
  const int answered = reporter.answer(request, studio_help, studio_usage, problem);
  if (answered >= 0) return answered;
  // Held back before any thread starts, so that every thread leaves them to the one that waits.
  StopSignals stop;
  Run run{options, system, reporter, make_input_name(options.file, system.syntax), {}, {}, {}};
  if (!load_the_song(run)) return reporter.end(2);
  const bool exists = system.files.kind(run.name) != FileKind::missing;
  if (exists && options.width > 0) {
    reporter.say("--grid is for a new file; " + run.name + " keeps its own");
  }
  SessionSetup setup{
      run.name,
      run.song_name,
      run.song,
      !run.song_name.empty(),
      options.bpm,
      song_words(run.song_name, run.song, options.bpm),
      run.song_name.empty() ? "" : song_line_name(system.syntax, run.name, run.song_name),
      options.width > 0 ? options.width : default_grid_width,
      options.height > 0 ? options.height : default_grid_height};
  StudioSession session(system.files, setup);
  if (!session.open(options.recover, problem)) {
    reporter.say(problem);
    return reporter.end(2);
  }
  if (!exists) reporter.say(run.name + " is new: it is written when saved");
  return reporter.end(serve(run, session, stop));
}

}  // namespace mosaiq::studio
