#include "studio/studio_session.h"

#include "convert/converter_state.h"
#include "platform/file_access.h"
#include "platform/file_marks.h"
#include "platform/output_rules.h"
#include "song/song_file.h"
#include "studio/studio_state.h"

namespace mosaiq::studio {

StudioSession::StudioSession(FileAccess& files, SessionSetup setup)
    : files_(files),
      setup_(std::move(setup)),
      measures_(setup_.song),
      tempo_(setup_.song, setup_.bpm) {}

std::string StudioSession::new_text() const {
  WveDocument document;
  document.width = setup_.width;
  document.height = setup_.height;
  if (!setup_.song_line.empty()) {
    document.header.push_back(make_line(std::string(song_line_start) + setup_.song_line + "\r\n"));
  }
  if (setup_.width != default_grid_width || setup_.height != default_grid_height) {
    document.header.push_back(make_line("*nXY=" + std::to_string(setup_.width) + "," +
                                        std::to_string(setup_.height) + "\r\n"));
  }
  // One dark frame, a quarter note long, where the player shows its first.
  FrameBlock dark;
  dark.cells.assign(static_cast<std::size_t>(setup_.width * setup_.height), '0');
  dark.cells_changed = true;
  dark.division = header_division;
  document.frames.push_back(std::move(dark));
  document.trailer.push_back(make_line("*end\r\n"));
  return join_lines(document_lines(document, measures_));
}

bool StudioSession::read_disk(std::string& text, bool& exists, std::string& problem) {
  exists = files_.kind(setup_.name) != FileKind::missing;
  if (!exists) return true;
  std::string why;
  const WholeFile read = read_whole_file(files_, setup_.name, most_document_bytes, text, why);
  if (read != WholeFile::read) {
    problem = "cannot read " + setup_.name + ": " + why;
    return false;
  }
  files_.stamp(setup_.name, disk_stamp_);
  return true;
}

bool StudioSession::open(bool recover, std::string& problem) {
  const FileKind kind = files_.kind(setup_.name);
  if (kind == FileKind::folder || kind == FileKind::other) {
    problem = "cannot edit " + setup_.name + ": it is not a regular file";
    return false;
  }
  std::string text;
  bool exists = false;
  if (!read_disk(text, exists, problem)) return false;
  if (exists) disk_ = text;
  const std::string reason = uneditable_reason(text);
  if (!reason.empty()) {
    problem = "cannot edit " + setup_.name + ": " + reason + " (mosaiq-check tells more)";
    return false;
  }
  begun_ = exists ? "" : new_text();
  lines_ = split_lines(exists ? text : begun_);
  if (!recover) return true;
  std::string kept, why;
  if (read_whole_file(files_, autosave_name(), most_document_bytes, kept, why) != WholeFile::read ||
      !autosaved_by_studio(kept)) {
    problem = "there is no autosave of " + setup_.name + " to take up (" + autosave_name() + ")";
    return false;
  }
  kept.erase(0, kept.find('\n') + 1);
  const std::string kept_reason = uneditable_reason(kept);
  if (!kept_reason.empty()) {
    problem = "cannot take up " + autosave_name() + ": " + kept_reason;
    return false;
  }
  take(split_lines(kept), "take up the autosave");
  return true;
}

const Analysis& StudioSession::analysis() {
  if (!analysis_ || analysed_ != revision_) {
    read_ = read_document(lines_, measures_);
    analysis_ = analyse(join_lines(lines_), read_,
                        {setup_.song, setup_.has_song, setup_.bpm, setup_.song_words});
    analysed_ = revision_;
  }
  return *analysis_;
}

WveDocument StudioSession::document() {
  const Analysis& seen = analysis();
  WveDocument document = read_;
  for (std::size_t k = 0; k < document.frames.size() && k < seen.cells.size(); ++k) {
    document.frames[k].cells = seen.cells[k];
  }
  return document;
}

bool StudioSession::followed(std::string& problem) {
  if (analysis().in_step) return true;
  problem = "the studio cannot follow this file's frames";
  return false;
}

void StudioSession::take(Lines lines, std::string what) {
  history_.record(lines_, lines, std::move(what));
  lines_ = std::move(lines);
  ++revision_;
}

StudioSession::Outcome StudioSession::command(const CommandFields& fields, std::uint64_t base,
                                              std::string& problem) {
  if (base != revision_) return Outcome::stale;
  if (!followed(problem)) return Outcome::refused;
  WveDocument document = this->document();
  std::string what;
  if (!apply_command(document, {measures_, tempo_}, fields, what, problem)) {
    return Outcome::refused;
  }
  Lines lines = document_lines(document, measures_);
  if (join_lines(lines).size() > most_document_bytes) {
    problem = "the file would be larger than " + size_words(most_document_bytes);
    return Outcome::refused;
  }
  take(std::move(lines), std::move(what));
  return Outcome::done;
}

StudioSession::Outcome StudioSession::place_clip(const std::vector<ClipFile>& files,
                                                 const ClipOptions& options, double seconds,
                                                 bool replace, std::uint64_t base, Clip& clip,
                                                 std::string& problem) {
  if (base != revision_) return Outcome::stale;
  if (!followed(problem)) return Outcome::refused;
  WveDocument document = this->document();
  const std::int64_t first = first_frame_position(measures_);
  const std::int64_t start =
      std::max(first, position_of_seconds({measures_, tempo_}, seconds, true));
  if (!import_clip(files, options, document.width, document.height, setup_.song, setup_.bpm, start,
                   clip, problem) ||
      !place_frames(document, measures_, start, clip.frames, replace, problem)) {
    return Outcome::refused;
  }
  const SongBeat at = measures_.at(start);
  take(document_lines(document, measures_), std::string(replace ? "place" : "insert") +
                                                " a clip at " + std::to_string(at.measure) + ":" +
                                                std::to_string(at.beat));
  return Outcome::done;
}

StudioSession::Outcome StudioSession::undo(std::uint64_t base) {
  if (base != revision_) return Outcome::stale;
  if (history_.undo(lines_)) ++revision_;
  return Outcome::done;
}

StudioSession::Outcome StudioSession::redo(std::uint64_t base) {
  if (base != revision_) return Outcome::stale;
  if (history_.redo(lines_)) ++revision_;
  return Outcome::done;
}

bool StudioSession::dirty() const { return (disk_ ? *disk_ : begun_) != join_lines(lines_); }

bool StudioSession::changed_on_disk() {
  FileStamp stamp;
  const bool exists = files_.kind(setup_.name) != FileKind::missing;
  if (!exists) return disk_.has_value();
  if (!disk_) return true;
  if (files_.stamp(setup_.name, stamp) && stamp == disk_stamp_) return false;
  std::string text, why;
  if (read_whole_file(files_, setup_.name, most_document_bytes, text, why) != WholeFile::read) {
    return true;
  }
  if (text != *disk_) return true;
  disk_stamp_ = stamp;  // written again, but the same
  return false;
}

StudioSession::Saved StudioSession::save(bool anyway, std::string& problem) {
  if (!anyway && changed_on_disk()) return Saved::changed_on_disk;
  const FileKind kind = files_.kind(setup_.name);
  if (kind == FileKind::folder || kind == FileKind::other) {
    problem = "will not write over " + setup_.name + ": it is not a regular file";
    return Saved::failed;
  }
  if (!setup_.song_name.empty() && files_.same_file(setup_.name, setup_.song_name)) {
    problem = "will not write over " + setup_.name + ": it is the song";
    return Saved::failed;
  }
  // A file reached through a link is written where the link leads, and the link kept.
  const std::string target =
      kind == FileKind::missing ? setup_.name : files_.link_target(setup_.name);
  const std::string text = join_lines(lines_);
  std::string why;
  if (!files_.write_atomically(target, text, why)) {
    problem = "cannot write " + setup_.name + ": " + why;
    return Saved::failed;
  }
  disk_ = text;
  files_.stamp(setup_.name, disk_stamp_);
  drop_autosave();
  return Saved::saved;
}

bool StudioSession::reload(std::string& problem) {
  std::string text;
  bool exists = false;
  if (!read_disk(text, exists, problem)) return false;
  if (!exists) {
    problem = setup_.name + " is no longer there";
    return false;
  }
  const std::string reason = uneditable_reason(text);
  if (!reason.empty()) {
    problem = "cannot edit " + setup_.name + " as it is now: " + reason;
    return false;
  }
  disk_ = text;
  take(split_lines(text), "take the file as it is on disk");
  return true;
}

bool StudioSession::autosave(std::string& problem) {
  if (autosaved_ == revision_ || !dirty()) return true;
  OutputRules rules;
  rules.inputs.push_back({setup_.name, "the file edited"});
  if (!setup_.song_name.empty()) rules.inputs.push_back({setup_.song_name, "the song"});
  rules.ours = autosaved_by_studio;
  problem = output_refusal(files_, autosave_name(), rules);
  if (!problem.empty()) return false;
  analysis();
  const std::string end = read_.line_end;
  std::string why;
  if (!files_.write_atomically(autosave_name(), std::string(autosave_mark) + end + text(), why)) {
    problem = "cannot write " + autosave_name() + ": " + why;
    return false;
  }
  autosaved_ = revision_;
  return true;
}

void StudioSession::drop_autosave() {
  std::string start, why;
  if (files_.kind(autosave_name()) != FileKind::regular ||
      !read_file_start(files_, autosave_name(), mark_window, start, why) ||
      !autosaved_by_studio(start)) {
    return;
  }
  files_.remove_file(autosave_name());
  autosaved_ = 0;
}

std::string StudioSession::state_json() {
  const Analysis& seen = analysis();
  const StateView view{read_,
                       seen,
                       measures_,
                       tempo_,
                       setup_.song,
                       revision_,
                       setup_.name,
                       dirty(),
                       changed_on_disk(),
                       history_.next_undo(),
                       history_.next_redo()};
  return studio_state(view);
}

}  // namespace mosaiq::studio
