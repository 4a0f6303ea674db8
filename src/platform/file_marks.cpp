#include "platform/file_marks.h"

#include <cstdio>

namespace mosaiq {

namespace {

constexpr const char* grid_form = ": cells of %d x %d pixels from row %d";

}  // namespace

std::string grid_gif_comment(const GridPicture& grid) {
  char text[96];
  std::snprintf(text, sizeof text, grid_form, grid.cell, grid.cell, grid.top);
  return std::string(gif_mark) + text;
}

bool read_grid_gif_comment(std::string_view comment, GridPicture& grid) {
  if (comment.substr(0, gif_mark.size()) != gif_mark || comment.size() > 200) return false;
  const std::string rest(comment.substr(gif_mark.size()));
  const std::string form = std::string(grid_form) + "%c";
  int cell = 0, across = 0, top = 0;
  char end = 0;
  if (std::sscanf(rest.c_str(), form.c_str(), &cell, &across, &top, &end) != 3 || cell != across ||
      cell < 1 || cell > 64 || top < 0) {
    return false;
  }
  grid = {cell, top};
  return true;
}

}  // namespace mosaiq
