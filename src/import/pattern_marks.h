// The patterns an import announces: each text in Shift_JIS as the panel shows it, each from its
// position on, every one shown by a frame of its own.
#pragma once

#include <string>
#include <vector>

#include "import/import_options.h"
#include "import/import_timing.h"
#include "import/wve_text.h"
#include "song/player_clock.h"

namespace mosaiq::import {

// A pattern's text as the panel shows it: Shift_JIS whole characters of one line, no wider than
// the panel's room, and not mistaken for UTF-8 by the checker. `utf8`: typed in UTF-8, and
// converted. False, with the problem (beginning with `name`), when the panel cannot show it.
bool panel_text(const std::string& name, std::string_view typed, bool utf8, std::string& text,
                std::string& problem);

// The patterns of the options, placed among the records (in the order of their positions);
// false, with the problem, for a text the panel cannot show or a pattern no frame would show.
// `utf8`: the texts were typed in UTF-8, and are converted.
bool place_patterns(const std::vector<PatternOption>& options, bool utf8,
                    const MeasureMap& measures, const std::vector<PlacedRecord>& records,
                    std::vector<PatternMark>& marks, std::string& problem);

}  // namespace mosaiq::import
