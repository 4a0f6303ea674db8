#include "convert/directive_loop.h"

#include <cstring>

namespace mosaiq {

void apply_pattern(DirectiveScope& scope, const PatternScan& scan) {
  if (scan.number_converted) scope.pattern_number = scan.number;
  if (scan.text_converted) {
    std::memcpy(scope.pattern_text, scan.text.data(), scan.text.size());
    scope.pattern_text_length = scan.text.size();
  }
}

bool apply_grid_size(ConverterState& state, DirectiveScope& scope, const GridScan& scan,
                     std::int64_t cell_limit) {
  const std::int32_t width = scan.width_converted ? scan.width : state.grid_width;
  const std::int32_t height = scan.height_converted ? scan.height : state.grid_height;
  const std::int64_t cells = static_cast<std::int64_t>(width) * height;
  const bool taken = width >= 0 && height >= 0 && cells <= cell_limit;
  if (taken) {
    state.grid_width = width;
    state.grid_height = height;
    state.cell_count = static_cast<std::int32_t>(cells);
  }
  scope.origin_col = grid_origin_col(state.grid_width);
  scope.origin_row = grid_origin_row(state.grid_height);
  return taken;
}

}  // namespace mosaiq
