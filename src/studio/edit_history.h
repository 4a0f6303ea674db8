// Undo and redo without limit: every command is kept as the change it made to the document's
// lines, the lines it replaced and those it put in their place (the rest shared, not copied).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "studio/wve_document.h"

namespace mosaiq::studio {

class EditHistory {
 public:
  // Keeps the change from `before` to `after`, named for the page ("paint frame 3"); what was
  // undone can no longer be redone. A command that changed nothing is not kept.
  void record(const Lines& before, const Lines& after, std::string what);

  // Takes the last change back from `lines` (or makes the last one taken back again); false
  // when there is none.
  bool undo(Lines& lines);
  bool redo(Lines& lines);

  // What undo() and redo() would do, in words; empty when nothing.
  std::string next_undo() const;
  std::string next_redo() const;

 private:
  struct Change {
    std::size_t at;  // the first line changed
    Lines removed;
    Lines added;
    std::string what;
  };
  static void replace(Lines& lines, std::size_t at, const Lines& removed, const Lines& added);

  std::vector<Change> done_;
  std::vector<Change> undone_;
};

}  // namespace mosaiq::studio
