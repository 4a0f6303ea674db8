// Input and output names derived from a file argument.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/character_set.h"

namespace mosaiq {

// How the platform spells paths: the separator that ends a path component, and whether the
// search for it steps over double-byte characters (whose second byte may equal the separator).
struct PathSyntax {
  char separator;
  LeadByteTest is_lead_byte;
};

// Where the last path component of name begins: after its last separator, else 0.
std::size_t last_component_start(std::string_view name, const PathSyntax& syntax);

// The file argument, with ".wve" appended when its last component holds no ".".
std::string make_input_name(std::string_view argument, const PathSyntax& syntax);

// The source name cut at the last "." of its last component (if any), then ".wrd" appended.
std::string make_output_name(std::string_view source, const PathSyntax& syntax);

// Whether the name ends in ".wve", in any letter case.
bool is_wve_name(std::string_view name);

// True when the argument is an option. On a platform whose separator is "/", an argument
// beginning with "/" is an option only when it holds no other "/": "/home/u/song" is a name.
bool is_option(std::string_view argument, const PathSyntax& syntax);

}  // namespace mosaiq
