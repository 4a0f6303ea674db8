#include "view/soundfont.h"

#include "platform/console.h"
#include "platform/file_access.h"
#include "view/soundfont_file.h"

namespace mosaiq::view {

namespace {

constexpr const char* debian_names[] = {"/usr/share/sounds/sf3/default-GM.sf3",
                                        "/usr/share/sounds/sf2/default-GM.sf2"};

}  // namespace

void read_soundfont(FileAccess& files, SoundFontChoice& choice) {
  std::string why;
  const WholeFile read = read_whole_file(files, choice.name, max_soundfont_bytes, choice.bytes, why,
                                         soundfont_start_problem);
  if (read == WholeFile::unreadable) {
    choice.problem = "cannot read the SoundFont " + choice.name + ": " + why;
  } else if (read != WholeFile::read) {
    choice.problem = "cannot use the SoundFont " + choice.name + ": " + why;
  } else if (const std::string problem = soundfont_problem(choice.bytes); !problem.empty()) {
    choice.problem = "cannot use the SoundFont " + choice.name + ": " + problem;
  }
  if (!choice.problem.empty()) choice.bytes.clear();
}

SoundFontChoice choose_soundfont(FileAccess& files, Console& console, const std::string& option) {
  SoundFontChoice choice;
  choice.name = option.empty() ? console.variable("MOSAIQ_SOUNDFONT") : option;
  choice.named = !choice.name.empty();
  for (const char* name : debian_names) {
    if (choice.name.empty() && files.kind(name) == FileKind::regular) choice.name = name;
  }
  if (choice.name.empty()) {
    choice.problem = std::string("no SoundFont found (looked for ") + debian_names[0] + " and " +
                     debian_names[1] +
                     "): apt-get install fluid-soundfont-gm, or name one with --soundfont";
  }
  return choice;
}

}  // namespace mosaiq::view
