#include "platform/file_marks.h"

#include <algorithm>
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

namespace {

// Whether the first line of the bytes is the mark, exactly.
bool first_line_is(std::string_view first_bytes, std::string_view mark) {
  const std::string_view rest = first_bytes.substr(std::min(mark.size(), first_bytes.size()));
  return first_bytes.substr(0, mark.size()) == mark &&
         (rest.substr(0, 2) == "\r\n" || rest.substr(0, 1) == "\n");
}

}  // namespace

bool written_by_import(std::string_view first_bytes) {
  return first_line_is(first_bytes, import_mark);
}

bool autosaved_by_studio(std::string_view first_bytes) {
  return first_line_is(first_bytes, autosave_mark);
}

bool gif_written_by_view(std::string_view first_bytes) {
  // The header (6 bytes), the screen (7), its eight colours (24), then the comment's extension
  // introducer, label and first block's length.
  constexpr std::size_t comment = 6 + 7 + 3 * 8;
  const std::string_view text = first_bytes.substr(std::min(comment + 3, first_bytes.size()));
  GridPicture grid;
  return first_bytes.substr(0, 6) == "GIF89a" && first_bytes.size() > comment + 3 &&
         (static_cast<unsigned char>(first_bytes[10]) & 0x87) == 0x82 &&
         first_bytes.substr(comment, 2) == "\x21\xfe" &&
         read_grid_gif_comment(text.substr(0, static_cast<unsigned char>(first_bytes[comment + 2])),
                               grid);
}

}  // namespace mosaiq
