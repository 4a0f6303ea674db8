// What a program may write over. Every file the programs write, but the converter's script, is
// written whole (a temporary file beside it, renamed) and only where these rules allow.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mosaiq {

class FileAccess;

// A file the run reads, by its part in the run ("the script", "the song").
struct RunInput {
  std::string name;
  std::string role;
};

struct OutputRules {
  std::vector<RunInput> inputs;  // never written over, by name or through a link
  // A file the program wrote carries this mark among its first bytes; such a file may be
  // replaced. Any other file that exists, only with `force`.
  std::string_view mark;
  bool force = false;
};

// Why `name` must not be written: it reaches an input (by name or through a link), it is a WVE
// file (by its name or the name its link leads to) that does not carry the mark, or it exists,
// does not carry the mark, and `force` is off. Empty when it may be written.
std::string output_refusal(FileAccess& files, const std::string& name, const OutputRules& rules);

// How many of a file's first bytes are looked at for the mark.
constexpr std::size_t mark_window = 1024;

}  // namespace mosaiq
