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

// Whether a file is one the program wrote, told by its first bytes (at most mark_window of
// them): the program's own opening, in its fixed place.
using OwnershipTest = bool (*)(std::string_view first_bytes);

struct OutputRules {
  std::vector<RunInput> inputs;  // never written over, by name or through a link
  OwnershipTest ours = nullptr;  // such a file may be replaced
  bool force = false;            // so may any other regular file but a WVE file
};

// Why `name` must not be written: it reaches an input (by name or through a link); it exists
// and is not a regular file (a folder, a device, a fifo, a socket: never, whatever `force`
// says); or it is a regular file the program did not write, and either a WVE file (by its name
// or the name its link leads to) or `force` is off. Empty when it may be written. Nothing is
// opened but a regular file, for reading its first bytes.
std::string output_refusal(FileAccess& files, const std::string& name, const OutputRules& rules);

// How many of a file's first bytes an ownership test is given.
constexpr std::size_t mark_window = 1024;

// Whether the name ends in one of the endings, in any letter case.
bool name_ends_in(std::string_view name, std::initializer_list<std::string_view> endings);

}  // namespace mosaiq
