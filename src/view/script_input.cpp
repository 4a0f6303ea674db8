#include "view/script_input.h"

#include <utility>

#include "convert/wve_conversion.h"
#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq::view {

WholeFile load_script(FileAccess& files, const std::string& name, std::string& script,
                      std::string& why, LoadedGrid* grid) {
  std::string bytes;
  const WholeFile read = read_whole_file(files, name, max_script_bytes, bytes, why);
  if (read != WholeFile::read) return read;
  if (!is_wve_name(name)) {
    script = std::move(bytes);
    return WholeFile::read;
  }
  MemoryLimits limits;
  limits.cell_limit = max_viewed_cells;
  MemoryConversion conversion = convert_in_memory(bytes, limits);
  if (conversion.grid_over_limit) {
    why = "its grid has more than " + std::to_string(max_viewed_cells) +
          " cells, more than mosaiq-view takes (the screen shows at most 39 x 22 of them)";
    return WholeFile::refused;
  }
  if (conversion.outcome == ConvertOutcome::out_of_memory) {
    why = "not enough memory for its grid";
    return WholeFile::refused;
  }
  script = std::move(conversion.script);
  if (grid != nullptr) *grid = {conversion.grid_width, conversion.grid_height};
  return WholeFile::read;
}

}  // namespace mosaiq::view
