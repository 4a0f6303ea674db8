#include "view/escape_parser.h"

#include "platform/shift_jis.h"

namespace mosaiq::view {

namespace {

// ESC "[" at line[at]: the parameters (digits and ";") and the final byte.
void read_sequence(std::string_view line, std::size_t& at, LineItem& item) {
  std::size_t j = at + 2;
  bool in_value = false, well_formed = true;
  item.count = 0;
  for (; j < line.size(); ++j) {
    const char ch = line[j];
    if (ch >= '0' && ch <= '9') {
      if (!in_value) {
        if (item.count == 8) {
          well_formed = false;
        } else {
          item.values[item.count++] = 0;
        }
        in_value = true;
      }
      std::int64_t& v = item.values[item.count - 1];
      v = v >= parameter_cap ? parameter_cap : v * 10 + (ch - '0');
    } else if (ch == ';') {
      if (!in_value) {
        if (item.count == 8) {
          well_formed = false;
        } else {
          item.values[item.count++] = -1;
        }
      }
      in_value = false;
    } else {
      break;
    }
  }
  if (j >= line.size() || line[j] < 0x40 || line[j] > 0x7e) {
    item.kind = ItemKind::passed_over;  // no final byte
    at = j;
    return;
  }
  item.kind = well_formed ? ItemKind::sequence : ItemKind::passed_over;
  item.final_byte = line[j];
  at = j + 1;
}

}  // namespace

bool next_item(std::string_view line, std::size_t& at, LineItem& item) {
  if (at >= line.size()) return false;
  const auto byte = static_cast<unsigned char>(line[at]);
  item = LineItem{};
  if (byte == 0x1b) {
    if (at + 1 < line.size() && line[at + 1] == '[') {
      read_sequence(line, at, item);
    } else {
      ++at;  // a bare ESC
    }
  } else if (is_sjis_lead(byte)) {
    if (at + 1 < line.size() && is_sjis_trail(static_cast<unsigned char>(line[at + 1]))) {
      item = LineItem{ItemKind::character, byte, static_cast<unsigned char>(line[at + 1]), 2};
      at += 2;
    } else {
      ++at;  // a lead byte without its second byte
    }
  } else if ((byte >= 0x20 && byte <= 0x7e) || (byte >= 0xa1 && byte <= 0xdf)) {
    item = LineItem{ItemKind::character, byte, 0, 1};
    ++at;
  } else {
    ++at;  // a control byte, or a byte no character starts with
  }
  return true;
}

}  // namespace mosaiq::view
