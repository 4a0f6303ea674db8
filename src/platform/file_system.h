// What the platform tells of files, and how it replaces one whole: the pieces under the system's
// FileAccess.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/byte_streams.h"

namespace mosaiq {

struct FileIdentity {
  bool known = false;  // false when the file could not be examined (or does not exist)
  bool directory = false;
  bool regular = false;      // a plain file, which can be read again from its start
  std::uint64_t volume = 0;  // device, or volume serial number
  std::uint64_t index = 0;   // inode, or file index

  // True when both identities are known and name the same file.
  bool same_as(const FileIdentity& other) const {
    return known && other.known && volume == other.volume && index == other.index;
  }
};

// What changes when a file is written: its size, when it was last written, and which file
// its name reaches.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t written = 0;  // nanoseconds, on the system's clock
  std::uint64_t index = 0;
  bool operator==(const FileStamp& other) const {
    return size == other.size && written == other.written && index == other.index;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

FileIdentity identify_open_file(std::FILE* file);
FileIdentity identify_path(const std::string& name);

// What a name reaches, through links: nothing, a regular file, a folder, or something else (a
// device, a fifo, a socket).
enum class FileKind { missing, regular, folder, other };

// Told without opening the file, so that a fifo or a device never blocks the asking.
FileKind kind_of_path(const std::string& name);

// The size of an open file; -1 when it has none to tell (a pipe, a terminal).
std::int64_t size_of_open_file(std::FILE* file);

// The stamp of the file a name reaches; false when it cannot be examined.
bool stamp_path(const std::string& name, FileStamp& stamp);

// The file, opened for reading as bytes, and what it is; nullptr, with errno saying why, when it
// cannot be opened or is a directory (EISDIR).
std::FILE* open_for_reading(const std::string& name, FileIdentity& identity);

// The names of the entries of a folder ("." and ".." left out), in no order; false, with errno
// saying why, when it is no folder (ENOTDIR) or cannot be read.
bool folder_entries(const std::string& name, std::vector<std::string>& entries);

// The name a link leads to, through every link; the name itself when it is none or cannot be
// followed.
std::string follow_links(const std::string& name);

// Makes the folder and every folder above it that is missing; false, with errno, when one
// cannot be made.
bool make_folders(const std::string& name);

// Removes a file; false, with errno, when it cannot be.
bool remove_file(const std::string& name);

// Writes what `produce` hands its sink (false, with the problem, when it cannot go on) to a new
// file beside `name`, checked, synced and closed, then renames it to `name`. False, with `why`,
// when any step failed: the temporary file is gone then, and `name` is as it was. On Linux the
// file has no name until it is whole (a killed run leaves nothing); where it must have one, an
// interrupt, a termination or a hang-up while it is written removes it before the run ends.
using Producer = std::function<bool(ByteSink& out, std::string& problem)>;
bool replace_file(const std::string& name, const Producer& produce, std::string& why);

}  // namespace mosaiq
