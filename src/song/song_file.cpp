#include "song/song_file.h"

#include <cstdio>

#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq {

std::string song_name_for(const PathSyntax& syntax, const std::string& file) {
  const std::size_t dot = file.rfind('.');
  const bool has_extension = dot != std::string::npos && dot >= last_component_start(file, syntax);
  return (has_extension ? file.substr(0, dot) : file) + ".mid";
}

std::string song_beside(FileAccess& files, const PathSyntax& syntax, const std::string& file) {
  if (file == "-") return {};
  const std::string lower = song_name_for(syntax, file);
  const std::string upper = lower.substr(0, lower.size() - 4) + ".MID";
  for (const std::string& name : {lower, upper}) {
    if (files.kind(name) == FileKind::regular) return name;
  }
  return {};
}

SongRead load_song(FileAccess& files, const std::string& name, Song& song) {
  SongRead result;
  std::string bytes, why, note;
  const WholeFile read = read_whole_file(files, name, max_midi_bytes, bytes, why, midi_problem);
  if (read == WholeFile::unreadable) {
    result.problem = "cannot read the song " + name + ": " + why;
  } else if (read != WholeFile::read) {
    result.problem = "cannot use the song " + name + ": " + why;
  } else if (!read_midi(bytes, song, why, note, &result.midi)) {
    result.problem = "cannot use the song " + name + ": " + why;
  } else {
    result.read = true;
    if (!note.empty())
      result.note = "the song " + name + ": " + note + "; it is read as players read it";
  }
  return result;
}

std::string tempo_text(double bpm) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", bpm);
  return text;
}

std::string no_song_found(const std::string& looked) {
  return "no song found (" + looked + "); timing assumes 4/4 at 120 quarter notes a minute";
}

}  // namespace mosaiq
