// The bytes of the script a file argument names: a WRD script as it is, a WVE file converted in
// memory exactly as mosaiq converts it, or standard input for "-".
#pragma once

#include <cstddef>
#include <string>

namespace mosaiq {
class FileAccess;
}

namespace mosaiq::view {

// The most bytes a script (or a WVE file) may have.
constexpr std::size_t max_script_bytes = std::size_t{1} << 30;

// The grid of a WVE file's frames, where the file was one (0 x 0 for a WRD script).
struct LoadedGrid {
  int width = 0, height = 0;
};

// Reads the script into `script`; false, with `why` saying why, when the file cannot be read or
// is larger than any script. With `grid`, also the grid of a WVE file.
bool load_script(FileAccess& files, const std::string& name, std::string& script, std::string& why,
                 LoadedGrid* grid = nullptr);

}  // namespace mosaiq::view
