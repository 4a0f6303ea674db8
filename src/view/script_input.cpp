#include "view/script_input.h"

#include <utility>

#include "convert/wve_conversion.h"
#include "platform/file_access.h"
#include "platform/file_names.h"

namespace mosaiq::view {

bool load_script(FileAccess& files, const std::string& name, std::string& script, std::string& why,
                 LoadedGrid* grid) {
  std::string bytes;
  if (!read_whole_file(files, name, max_script_bytes, bytes, why)) return false;
  if (bytes.size() > max_script_bytes) {
    why = "larger than any script";
    return false;
  }
  if (!is_wve_name(name)) {
    script = std::move(bytes);
    return true;
  }
  MemoryConversion conversion = convert_in_memory(bytes);
  script = std::move(conversion.script);
  if (grid != nullptr) *grid = {conversion.grid_width, conversion.grid_height};
  return true;
}

}  // namespace mosaiq::view
