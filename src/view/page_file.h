// Writing the page without putting anything the user has at risk.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq::view {

// Whether `out` names the file `in` names, by name or through a link.
bool same_file(const std::string& in, const std::string& out);

// Writes the bytes to a temporary file in the folder of `name` and renames it to `name`, so a
// failure never leaves half a page, nor destroys the page that was there. False, with `error`
// saying why, when the page could not be written.
bool write_file_atomically(const std::string& name, std::string_view bytes, std::string& error);

}  // namespace mosaiq::view
