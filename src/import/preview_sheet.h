// The contact sheet --preview writes: every source frame (of the first few) beside the cells it
// became, in the page's colours, one pair a row, so that the mapping is seen before anything
// else is made. A PNG, marked as the importer's by a text chunk right after its header.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/byte_streams.h"
#include "import/picture_input.h"

namespace mosaiq::import {

// How many frames a sheet shows at most.
constexpr std::size_t most_previewed = 32;

// Writes the sheet of the pictures' kept sources and their cells; false, with the problem.
bool write_preview_sheet(const ImportedPictures& pictures, ByteSink& out, std::string& problem);

// Whether a file's first bytes are those of a sheet this program wrote.
bool preview_written_by_import(std::string_view first_bytes);

}  // namespace mosaiq::import
