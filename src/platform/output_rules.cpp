#include "platform/output_rules.h"

#include "platform/character_set.h"
#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq {

namespace {

// Whether the regular file's first bytes say the program wrote it.
bool written_by_program(FileAccess& files, const std::string& name, OwnershipTest ours) {
  std::string start, why;
  return ours != nullptr && read_file_start(files, name, mark_window, start, why) && ours(start);
}

}  // namespace

std::string output_refusal(FileAccess& files, const std::string& name, const OutputRules& rules) {
  for (const RunInput& input : rules.inputs) {
    if (name == input.name) return "will not write over " + name + ": it is " + input.role;
    if (files.same_file(name, input.name)) {
      return "will not write over " + name + ": it is " + input.role + " " + input.name +
             ", under another name or through a link";
    }
  }
  switch (files.kind(name)) {
    case FileKind::missing: return {};
    case FileKind::folder: return "will not write over " + name + ": it is a folder";
    case FileKind::other:
      return "will not write over " + name +
             ": it is not a regular file (a device, a fifo or a socket)";
    case FileKind::regular: break;
  }
  if (written_by_program(files, name, rules.ours)) return {};
  const std::string target = files.link_target(name);
  const bool link = target != name;
  if (is_wve_name(name) || (link && is_wve_name(target))) {
    return "will not write over " + name + ": it is a WVE file" +
           (link && !is_wve_name(name) ? " (through a link)" : "");
  }
  if (rules.force) return {};
  return "will not write over " + name +
         ", a file that exists and that this program did not write (--force writes over it)";
}

bool name_ends_in(std::string_view name, std::initializer_list<std::string_view> endings) {
  for (const std::string_view ending : endings) {
    if (name.size() <= ending.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < ending.size() && same; ++i) {
      same = fold_ascii(name[name.size() - ending.size() + i]) == fold_ascii(ending[i]);
    }
    if (same) return true;
  }
  return false;
}

}  // namespace mosaiq
