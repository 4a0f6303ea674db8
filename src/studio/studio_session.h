// The file the studio edits: its document and every version of it (undo and redo), what the
// player and the checker make of the version in hand, and the file written back against the
// version it was read at, so that nothing another editor (or another studio) wrote in between is
// lost without the author saying so. Not thread-safe: the server asks it one request at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "song/midi_file.h"
#include "song/player_clock.h"
#include "studio/clip_import.h"
#include "studio/document_analysis.h"
#include "studio/edit_history.h"
#include "studio/studio_commands.h"

namespace mosaiq {
class FileAccess;
}

namespace mosaiq::studio {

struct SessionSetup {
  std::string name;       // the WVE file
  std::string song_name;  // the song's file, never written over; empty: none
  const Song& song;       // with no tracks when there is none
  bool has_song = false;
  double bpm = 0;              // a constant tempo in place of the song's, when above 0
  std::string song_words;      // the song, in the page's words
  std::string song_line;       // a new file's song line ("; song: NAME"); empty: none
  int width = 24, height = 5;  // a new file's grid
};

// The most bytes a file the studio edits may have.
constexpr std::size_t most_document_bytes = std::size_t{64} << 20;

class StudioSession {
 public:
  StudioSession(FileAccess& files, SessionSetup setup);

  // Reads the file, or begins a new animation (one dark frame) where there is none; with
  // `recover`, takes up the autosave beside it as an unsaved change. False, with the problem.
  bool open(bool recover, std::string& problem);

  enum class Outcome {
    done,     // changed (or nothing to change)
    stale,    // the page asked of a version that is no longer the one in hand: nothing changed
    refused,  // it cannot be done: `problem` says why
  };

  // A command of the page, on the version `base` it shows.
  Outcome command(const CommandFields& fields, std::uint64_t base, std::string& problem);
  // A clip dropped at `seconds` (to the nearest beat), inserted or over what was there.
  Outcome place_clip(const std::vector<ClipFile>& files, const ClipOptions& options, double seconds,
                     bool replace, std::uint64_t base, Clip& clip, std::string& problem);
  Outcome undo(std::uint64_t base);
  Outcome redo(std::uint64_t base);

  enum class Saved {
    saved,
    changed_on_disk,  // someone else wrote the file since it was read or saved: not written
    failed,           // `problem` says why
  };
  // Writes the version in hand; over a file changed on disk only `anyway`.
  Saved save(bool anyway, std::string& problem);
  // Takes the file as it is on disk now, as one more change (so that it can be undone).
  bool reload(std::string& problem);

  // Keeps the version in hand in the autosave beside the file, when it is not saved and not
  // kept there already; false, with the problem, when it could not be written.
  bool autosave(std::string& problem);
  // Removes the autosave, after a save (and only an autosave the studio wrote).
  void drop_autosave();
  std::string autosave_name() const { return setup_.name + ".autosave"; }

  // Everything the page shows, as JSON.
  std::string state_json();

  std::uint64_t revision() const { return revision_; }
  // Whether the version in hand is not the file on disk (for a new file: not as it began).
  bool dirty() const;
  // Whether the file on disk is no longer what was read or saved.
  bool changed_on_disk();
  const std::string& name() const { return setup_.name; }
  // The text of the version in hand.
  std::string text() const { return join_lines(lines_); }

 private:
  const Analysis& analysis();
  // Whether the player's frames are the document's, so that it can be edited; said when not.
  bool followed(std::string& problem);
  WveDocument document();
  void take(Lines lines, std::string what);
  bool read_disk(std::string& text, bool& exists, std::string& problem);
  std::string new_text() const;

  FileAccess& files_;
  SessionSetup setup_;
  MeasureMap measures_;
  TempoMap tempo_;
  Lines lines_;
  EditHistory history_;
  std::uint64_t revision_ = 1;
  std::optional<Analysis> analysis_;
  WveDocument read_;            // the document as read from the version analysis_ is of
  std::uint64_t analysed_ = 0;  // the revision analysis_ is of
  // The file as it was last read or written; none: there was none.
  std::optional<std::string> disk_;
  std::string begun_;  // a new animation as it began, before any change
  FileStamp disk_stamp_;
  std::uint64_t autosaved_ = 0;  // the revision last kept in the autosave
};

}  // namespace mosaiq::studio
