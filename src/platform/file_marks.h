// The marks by which the programs know a file as one they wrote, and what a GIF of the grid says
// of where its cells are: one definition for the program that writes them and the one that reads
// them.
#pragma once

#include <string>
#include <string_view>

namespace mosaiq {

// The first line of every WVE file mosaiq-import writes, a comment to the converter.
constexpr std::string_view import_mark = "written by mosaiq-import";

// Whether a file's first bytes are those of a WVE file mosaiq-import wrote: its first line is
// the mark, exactly.
bool written_by_import(std::string_view first_bytes);

// The first line of every autosave mosaiq-studio keeps beside the file it edits, a comment to
// the converter; the file's text follows it.
constexpr std::string_view autosave_mark = "autosaved by mosaiq-studio";

// Whether a file's first bytes are those of an autosave: its first line is the mark, exactly.
bool autosaved_by_studio(std::string_view first_bytes);

// What begins the comment of every GIF mosaiq-view writes.
constexpr std::string_view gif_mark = "written by mosaiq-view";

// Where a GIF of the grid has its cells, as its comment says it: squares of `cell` pixels from
// pixel row `top` on (the panel's lines above them).
struct GridPicture {
  int cell = 0;
  int top = 0;
};

// "written by mosaiq-view: cells of N x N pixels from row R".
std::string grid_gif_comment(const GridPicture& grid);

// Whether a file's first bytes are those of a GIF mosaiq-view wrote: a GIF89a of eight colours
// whose first block is that comment.
bool gif_written_by_view(std::string_view first_bytes);

// The grid a GIF's comment gives; false when the comment is no such comment (or its numbers are
// out of reason: cells of 1 to 64 pixels).
bool read_grid_gif_comment(std::string_view comment, GridPicture& grid);

}  // namespace mosaiq
