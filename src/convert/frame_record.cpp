#include "convert/frame_record.h"

#include <cstring>

#include "convert/converter_state.h"
#include "convert/field_scanner.h"
#include "convert/row_bytes.h"
#include "convert/status_panel.h"

namespace mosaiq {

namespace {

// The value of eight decimal digit values, one a byte, the first digit in the lowest byte.
inline std::uint32_t eight_digits(std::uint64_t digits) {
  digits = digits * 10 + (digits >> 8);
  digits = (((digits & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
            (((digits >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
           32;
  return static_cast<std::uint32_t>(digits);
}

// One to nine decimal digits from `at`, few enough that no value wraps: the end of the digits,
// or nullptr when there are none or more than nine. Fewer than eight digits followed by more
// bytes of the line are read all at once.
inline const char* take_digits(const char* at, const char* stop, std::int32_t& value) {
  if (little_endian && stop - at >= 8) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    // Zero bytes where the input holds a digit; exact up to the first byte that is not one.
    const std::uint64_t other = ((word & each_byte(0xF0)) ^ each_byte('0')) |
                                (((word + each_byte(6)) & each_byte(0xF0)) ^ each_byte('0'));
    if (other != 0) {
      const int count = __builtin_ctzll(other) / 8;
      if (count == 0) return nullptr;
      // Keep the digits alone, moved up behind zero digits; what follows them drops out.
      value = static_cast<std::int32_t>(eight_digits((word - each_byte('0')) << (64 - 8 * count)));
      return at + count;
    }
  }
  const char* p = at;
  std::uint32_t v = 0;  // wraps only for numbers that are refused below
  for (; p < stop; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
    if (digit > 9) break;
    v = v * 10 + digit;
  }
  if (p == at || p - at > 9) return nullptr;
  value = static_cast<std::int32_t>(v);
  return p;
}

inline const char* take_char(const char* at, const char* stop, char c) {
  return at != nullptr && at < stop && *at == c ? at + 1 : nullptr;
}

// The common forms "*fP-M-B" and "*fP-M-B-F/D" with plain unsigned numbers and nothing after
// them; false for anything else, which the general scan then reads.
bool parse_common_form(std::string_view text, FrameRecord& record) {
  const char* const stop = text.data() + text.size();
  FrameRecord r = record;
  const char* at = text.data() + 2;
  at = take_digits(at, stop, r.pattern_number);
  at = take_char(at, stop, '-');
  if (at != nullptr) at = take_digits(at, stop, r.measure);
  at = take_char(at, stop, '-');
  if (at != nullptr) at = take_digits(at, stop, r.beat);
  if (at == nullptr) return false;
  r.numbers = 3;
  if (at != stop) {
    at = take_char(at, stop, '-');
    if (at != nullptr) at = take_digits(at, stop, r.repaint_flag);
    at = take_char(at, stop, '/');
    if (at != nullptr) at = take_digits(at, stop, r.beat_division);
    if (at != stop) return false;
    r.numbers = 5;
  }
  record = r;
  return true;
}

}  // namespace

FrameRecord parse_frame_record(std::string_view line, const PanelState& shown) {
  FrameRecord record{shown.shown_pattern, shown.shown_measure, shown.shown_beat, 0, 1, 0};
  if (parse_common_form(line, record)) return record;
  FieldScanner scan{line, 2};  // past "*f"
  std::int32_t* const fields[] = {&record.pattern_number, &record.measure, &record.beat,
                                  &record.repaint_flag, &record.beat_division};
  const char separators[] = {'-', '-', '-', '/'};
  // Scanning stops at the first part of the form that does not match.
  for (int i = 0; i < 5; ++i) {
    if (i > 0 && !scan.scan_char(separators[i - 1])) break;
    if (!scan.scan_int(*fields[i])) break;
    record.numbers = i + 1;
  }
  return record;
}

bool take_beat_division(ConverterState& state, const FrameRecord& record) {
  if (record.beat_division == 0 || record.beat_division == state.beat_division) return false;
  state.beat_division = record.beat_division;
  return true;
}

}  // namespace mosaiq
