// Fuzzes mosaiq-studio's document: a WVE file, then (after a NUL) a command as the page sends it
// ("command=move&frame=2&measure=3&beat=1"). A file read and written back unchanged must be the
// same bytes; a command done must leave a file the studio can read again, with the frames it
// made, each lasting what the command made it last; the player and the checker read it without
// a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "song/midi_file.h"
#include "studio/document_analysis.h"
#include "studio/studio_commands.h"
#include "studio/wve_document.h"

namespace {

using namespace mosaiq;
using namespace mosaiq::studio;

CommandFields fields_of(std::string_view text) {
  CommandFields fields;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('&'), text.size());
    const std::string_view field = text.substr(0, end);
    const std::size_t equals = field.find('=');
    if (equals != std::string_view::npos) {
      fields[std::string(field.substr(0, equals))] = std::string(field.substr(equals + 1));
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data),
                               std::min<std::size_t>(size, 1 << 16));
  const std::size_t split = input.find('\0');
  const std::string text(input.substr(0, split));
  if (!uneditable_reason(text).empty()) return 0;
  const Song song;
  const MeasureMap measures(song);
  const TempoMap tempo(song, 0);
  const Lines lines = split_lines(text);
  WveDocument document = read_document(lines, measures);
  if (join_lines(document_lines(document, measures)) != text) std::abort();
  const Analysis seen = analyse(text, document, {song, false, 0, ""});
  if (!seen.in_step) return 0;
  for (std::size_t k = 0; k < document.frames.size(); ++k) document.frames[k].cells = seen.cells[k];
  if (split == std::string_view::npos) return 0;
  std::string what, problem;
  if (!apply_command(document, {measures, tempo}, fields_of(input.substr(split + 1)), what,
                     problem)) {
    return 0;
  }
  const std::string written = join_lines(document_lines(document, measures));
  if (!uneditable_reason(written).empty()) std::abort();
  const WveDocument again = read_document(split_lines(written), measures);
  if (again.frames.size() != document.frames.size()) std::abort();
  for (std::size_t k = 0; k < again.frames.size(); ++k) {
    if (again.frames[k].division != document.frames[k].division) std::abort();
  }
  const Analysis after = analyse(written, again, {song, false, 0, ""});
  if (!after.in_step) std::abort();
  for (std::size_t k = 0; k < again.frames.size(); ++k) {
    if (after.cells[k] != document.frames[k].cells && document.frames[k].cells_changed)
      std::abort();
  }
  return 0;
}
