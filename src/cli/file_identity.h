// Telling files apart: whether two names or handles reach the same file, and what it is.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace mosaiq {

struct FileIdentity {
  bool known = false;  // false when the file could not be examined (or does not exist)
  bool directory = false;
  std::uint64_t volume = 0;  // device, or volume serial number
  std::uint64_t index = 0;   // inode, or file index
};

FileIdentity identify_open_file(std::FILE* file);
FileIdentity identify_path(const std::string& name);

// True when both identities are known and name the same file.
bool same_file(const FileIdentity& a, const FileIdentity& b);

// The file, opened for reading as bytes, and what it is; nullptr, with errno saying why, when it
// cannot be opened or is a directory (EISDIR).
std::FILE* open_for_reading(const std::string& name, FileIdentity& identity);

// True when the name can be opened for reading and is not a directory.
bool file_exists(const std::string& name);

}  // namespace mosaiq
