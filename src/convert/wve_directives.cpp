#include "convert/wve_directives.h"

#include "convert/field_scanner.h"

namespace mosaiq {

PatternScan scan_pattern(std::string_view line) {
  PatternScan result;
  FieldScanner scan{line, line.size() > 1 && line[1] == 'c' ? 3u : 2u};
  result.number_converted = scan.scan_int(result.number);
  result.text_converted =
      result.number_converted && scan.scan_char(',') && scan.scan_rest_of_line(result.text);
  return result;
}

GridScan scan_grid_size(std::string_view line) {
  GridScan result;
  FieldScanner scan{line, 5};
  result.width_converted = scan.scan_int(result.width);
  result.height_converted =
      result.width_converted && scan.scan_char(',') && scan.scan_int(result.height);
  return result;
}

}  // namespace mosaiq
