#include "cli/command_line.h"

#include "cli/convert_file.h"
#include "cli/help_text.h"
#include "cli/messages.h"
#include "platform/character_set.h"
#include "platform/console.h"
#include "platform/file_names.h"

namespace mosaiq {

int run_command_line(FrontEnd& front_end, const std::vector<std::string>& arguments) {
  Console& console = front_end.console;
  if (arguments.empty()) return print_usage(console);
  int run_status = 0;
  bool ask_before_overwrite = false;  // -i: for the rest of the run
  const std::string* pending_output_name = nullptr;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (is_option(argument, front_end.syntax)) {
      // The letter after "-" or "/" decides; the characters after it are not looked at.
      const char letter = fold_ascii(argument.size() > 1 ? argument[1] : '\0');
      if (letter == 'h') return print_usage(console);
      if (letter == 'i') ask_before_overwrite = true;
      if (letter == 'o') {
        if (at + 1 == arguments.size()) return print_usage(console);
        pending_output_name = &arguments[++at];
      }
      // An option must be followed by something to act on.
      if (at + 1 == arguments.size()) return print_usage(console);
      continue;
    }
    const FileResult result =
        convert_file(front_end, argument, pending_output_name, ask_before_overwrite);
    if (result.kind == FileResult::fatal) return fatal_error(console, *result.message);
    if (result.kind == FileResult::skipped) run_status = 1;
    pending_output_name = nullptr;
  }
  return run_status;
}

}  // namespace mosaiq
