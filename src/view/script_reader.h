// A WRD script read into frames: each frame is the screen after one empty line of the script,
// kept as the cells that changed since the frame before.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "view/panel_values.h"
#include "view/screen_model.h"

namespace mosaiq::view {

struct CellChange {
  std::int32_t index;  // row * 80 + column, both from 0
  Cell cell;
};

struct Frame {
  std::int64_t wmode;  // the "@wmode" value in force when the frame ended
  std::vector<CellChange> changes;
  PanelValues panel;  // what the status panel shows after the frame
};

struct Script {
  std::vector<Frame> frames;  // frame 0 is the screen after the header's empty line
  bool has_startup = false;   // a "@startup" line: the script looks like a WRD script
  std::int64_t passed_over = 0;
  // The first few lines holding something passed over: "line N: what".
  std::vector<std::string> first_passed_over;
  bool negative_wmode = false;  // some "@wmode" value was below 0
  std::int64_t first_negative_wmode = 0;
};

// Reads the script's bytes (CR LF or LF line ends). Text after the last empty line ends one more
// frame, so a script cut short still shows what it drew.
Script read_script(std::string_view bytes);

// The screen after frame `k` of the script.
Screen screen_at(const Script& script, std::size_t k);

}  // namespace mosaiq::view
