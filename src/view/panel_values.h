// What the status panel shows: the pattern number on screen row 1, the measure and the beat on
// row 3, read off the screen as a player shows it.
#pragma once

#include <string>

#include "view/screen_model.h"

namespace mosaiq::view {

struct PanelValues {
  std::string pattern;  // as shown, such as "1" or "-5"; empty where the panel shows none
  std::string measure;
  std::string beat;
  bool operator==(const PanelValues& other) const {
    return pattern == other.pattern && measure == other.measure && beat == other.beat;
  }
};

// The values beside the labels "Pattern" (row 1, from column 9), "Measure" (row 3, from
// column 9) and "Beat" (row 3, from column 19); none where the label is not there.
PanelValues read_panel(const Screen& screen);

}  // namespace mosaiq::view
