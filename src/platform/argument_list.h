// The argument list of a platform that hands the program one command-line string: splitting it
// into arguments and expanding wildcards, by the program's own rules (not the C runtime's).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/character_set.h"

namespace mosaiq {

struct CommandArgument {
  std::string text;
  bool began_with_quote = false;  // never expanded
};

// The arguments after the program's name. A double-byte character is taken as a unit, so its
// second byte (0x5C included) never acts as a backslash or a quote.
std::vector<CommandArgument> split_command_line(std::string_view line, LeadByteTest is_lead);

// The directory part of a wildcard argument: the text up to and including the last "\", "/" or
// ":" before its first "*" or "?". False when the argument is not to be expanded (no wildcard,
// or that character is a ":" that is not the second one).
bool wildcard_directory_part(std::string_view argument, LeadByteTest is_lead,
                             std::string& directory);

// Name order for the matches: unit by unit, A-Z as a-z, a double-byte character as one unit
// 256 * lead + trail with full-width A-Z as full-width a-z; a prefix first; names equal under
// this folding in byte order.
bool name_before(std::string_view a, std::string_view b, LeadByteTest is_lead);

// The entry names (not paths) that a directory search for the pattern returns, "." and ".."
// included when the search returns them.
using DirectorySearch = std::function<std::vector<std::string>(const std::string& pattern)>;

// Every argument with its wildcards expanded: the sorted matches (directory part + name) take
// its place; one without a match stays as it is.
std::vector<std::string> expand_arguments(const std::vector<CommandArgument>& arguments,
                                          LeadByteTest is_lead, const DirectorySearch& search);

}  // namespace mosaiq
