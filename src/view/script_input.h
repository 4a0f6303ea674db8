// The bytes of the script a file argument names: a WRD script as it is, a WVE file converted in
// memory exactly as mosaiq converts it, or standard input for "-".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_access.h"

namespace mosaiq {
class FileAccess;
}

namespace mosaiq::view {

// The most bytes a script (or a WVE file) may have.
constexpr std::size_t max_script_bytes = std::size_t{1} << 30;

// The most cells a WVE file's grid may have: the screen shows no more than 858 of them, and the
// conversion holds two frames of that many bytes.
constexpr std::int64_t max_viewed_cells = std::int64_t{1} << 24;

// The grid of a WVE file's frames, where the file was one (0 x 0 for a WRD script).
struct LoadedGrid {
  int width = 0, height = 0;
};

// Reads the script into `script`: WholeFile::read, or why not in `why` (unreadable: in the
// system's words; too_large or refused: a script or a grid larger than the viewer takes, or
// not memory enough for its grid). With `grid`, also the grid of a WVE file.
WholeFile load_script(FileAccess& files, const std::string& name, std::string& script,
                      std::string& why, LoadedGrid* grid = nullptr);

}  // namespace mosaiq::view
