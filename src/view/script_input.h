// The bytes of the script a file argument names: a WRD script as it is, a WVE file converted in
// memory exactly as mosaiq converts it, or standard input for "-".
#pragma once

#include <cstddef>
#include <string>

namespace mosaiq::view {

// Whether the name is that of a WVE file: it ends in ".wve", in any letter case.
bool is_wve_name(const std::string& name);

// Reads the file's bytes, or standard input's for "-", stopping once more than `limit` are in:
// a longer file shows in bytes.size() > limit. False, with `error` saying why, when the file
// cannot be read.
bool read_file(const std::string& name, std::string& bytes, std::string& error,
               std::size_t limit = std::string::npos);

// Reads the script into `script`; false, with `error` saying why, when the file cannot be read.
bool load_script(const std::string& name, std::string& script, std::string& error);

// Converts WVE text into the WRD script mosaiq writes for it.
std::string convert_in_memory(const std::string& wve);

}  // namespace mosaiq::view
