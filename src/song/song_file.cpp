#include "song/song_file.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/file_access.h"
#include "platform/file_names.h"
#include "song/player_clock.h"

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

namespace {

// The folder part of a name, its separator included; empty for a name in the current folder.
std::string folder_of(const PathSyntax& syntax, const std::string& name) {
  return name.substr(0, last_component_start(name, syntax));
}

// The components of a folder, e.g. "a/b/" as {"a", "b"}.
std::vector<std::string> components(const std::string& folder, char separator) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : folder) {
    if (c != separator) {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(std::move(part));
      part.clear();
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

}  // namespace

std::string song_named_in(FileAccess& files, const PathSyntax& syntax, const std::string& file) {
  std::string start, why;
  if (file == "-" || files.kind(file) != FileKind::regular ||
      !read_file_start(files, file, std::size_t{64} << 10, start, why)) {
    return {};
  }
  for (std::size_t at = 0; at < start.size();) {
    const std::size_t end = std::min(start.find('\n', at), start.size());
    std::string_view line = std::string_view(start).substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, song_line_start.size()) != song_line_start) continue;
    const std::string name(line.substr(song_line_start.size()));
    if (name.empty()) return {};
    const bool absolute = name[0] == syntax.separator || name[0] == '/';
    return absolute ? name : folder_of(syntax, file) + name;
  }
  return {};
}

std::string song_line_name(const PathSyntax& syntax, const std::string& file,
                           const std::string& song) {
  const std::string file_folder = folder_of(syntax, file), song_folder = folder_of(syntax, song);
  const std::string song_file = song.substr(song_folder.size());
  if (file_folder == song_folder) return song_file;
  const bool file_absolute = !file.empty() && file[0] == syntax.separator;
  const bool song_absolute = !song.empty() && song[0] == syntax.separator;
  if (file_absolute != song_absolute)
    return song;  // no way from one to the other without the
                  // current folder
  const std::vector<std::string> from = components(file_folder, syntax.separator),
                                 to = components(song_folder, syntax.separator);
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
  std::string name;
  for (std::size_t i = common; i < from.size(); ++i) {
    if (from[i] == ".." || from[i] == ".") return song;
    name += std::string("..") + syntax.separator;
  }
  for (std::size_t i = common; i < to.size(); ++i) name += to[i] + syntax.separator;
  return name + song_file;
}

std::string song_for(FileAccess& files, const PathSyntax& syntax, const std::string& file,
                     const std::string& named, SongOrigin& source) {
  source = SongOrigin::named;
  if (!named.empty()) return named;
  source = SongOrigin::song_line;
  if (is_wve_name(file)) {
    if (std::string line = song_named_in(files, syntax, file); !line.empty()) return line;
  }
  source = SongOrigin::beside;
  if (std::string beside = song_beside(files, syntax, file); !beside.empty()) return beside;
  source = SongOrigin::none;
  return {};
}

std::string song_line_words(FileAccess& files, const std::string& file, const std::string& song,
                            bool& missing) {
  missing = files.kind(song) == FileKind::missing;
  if (missing) {
    return file + " names the song " + song + " in its song line, which is not there; " +
           "timing assumes 4/4 at 120 quarter notes a minute";
  }
  return "the song " + song + ", as " + file + " names it";
}

std::string tempo_text(double bpm) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", bpm);
  return text;
}

std::string song_words(const std::string& name, const Song& song, double bpm) {
  const SignatureChange opening = song.opening();
  const std::string at = std::to_string(opening.numerator) + "/" +
                         std::to_string(opening.denominator) + " at " +
                         tempo_text(TempoMap(song, bpm).opening_bpm()) + " quarter notes a minute";
  if (name.empty()) return "no song: the timing assumes " + at;
  return "song " + name + ": " + at + (bpm > 0 ? " (--bpm)" : " at its start");
}

std::string no_song_found(const std::string& looked) {
  return "no song found (" + looked + "); timing assumes 4/4 at 120 quarter notes a minute";
}

}  // namespace mosaiq
