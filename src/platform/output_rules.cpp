#include "platform/output_rules.h"

#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq {

namespace {

// Whether the file's first bytes hold the mark.
bool carries_mark(FileAccess& files, const std::string& name, std::string_view mark) {
  if (mark.empty()) return false;
  std::string why;
  std::unique_ptr<InputFile> input = files.open_input(name, why);
  if (!input) return false;
  char start[mark_window];
  std::size_t have = 0;
  long got;
  while (have < sizeof start && (got = input->read(start + have, sizeof start - have)) > 0) {
    have += static_cast<std::size_t>(got);
  }
  return std::string_view(start, have).find(mark) != std::string_view::npos;
}

}  // namespace

std::string output_refusal(FileAccess& files, const std::string& name, const OutputRules& rules) {
  const std::string target = files.link_target(name);
  const bool link = target != name && files.exists(name);
  for (const RunInput& input : rules.inputs) {
    if (name == input.name) return "will not write over " + name + ": it is " + input.role;
    if (files.same_file(name, input.name)) {
      return "will not write over " + name + ": it is " + input.role + " " + input.name +
             ", under another name or through a link";
    }
  }
  if (!files.exists(name)) return {};
  if (carries_mark(files, name, rules.mark)) return {};
  if (is_wve_name(name) || (link && is_wve_name(target))) {
    return "will not write over " + name + ": it is a WVE file" +
           (link && !is_wve_name(name) ? " (through a link)" : "");
  }
  if (rules.force) return {};
  return "will not write over " + name +
         ", a file that exists and that this program did not "
         "write (--force writes over it)";
}

}  // namespace mosaiq
