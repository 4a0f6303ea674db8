// What a text line of a WRD script says, item by item: characters and control sequences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mosaiq::view {

enum class ItemKind : std::uint8_t {
  character,    // one Shift_JIS character, one or two columns wide
  sequence,     // a control sequence: ESC "[" parameters and a final byte
  passed_over,  // what no screen can show: a bare ESC, a sequence without its final byte or
                // with too many parameters, a lead byte without its second byte, a control byte
};

struct LineItem {
  ItemKind kind = ItemKind::passed_over;
  unsigned char lead = 0;       // character: its byte, or the first of two
  unsigned char trail = 0;      // character: its second byte, 0 for a single byte
  int width = 1;                // character: columns it takes
  char final_byte = 0;          // sequence
  int count = 0;                // sequence: how many parameters
  std::int64_t values[8] = {};  // sequence: -1 for an empty parameter (its default)
};

// Parameters are capped far beyond any screen position, so nothing overflows.
constexpr std::int64_t parameter_cap = 1'000'000'000'000LL;

// Reads the item at line[at] and moves `at` past it; false at the end of the line.
bool next_item(std::string_view line, std::size_t& at, LineItem& item);

}  // namespace mosaiq::view
