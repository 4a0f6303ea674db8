#include "studio/edit_history.h"

namespace mosaiq::studio {

namespace {

bool same(const Line& a, const Line& b) { return a == b || *a == *b; }

}  // namespace

void EditHistory::record(const Lines& before, const Lines& after, std::string what) {
  std::size_t head = 0;
  while (head < before.size() && head < after.size() && same(before[head], after[head])) ++head;
  std::size_t tail = 0;
  while (tail < before.size() - head && tail < after.size() - head &&
         same(before[before.size() - 1 - tail], after[after.size() - 1 - tail])) {
    ++tail;
  }
  if (head + tail == before.size() && head + tail == after.size()) return;
  Change change{head,
                Lines(before.begin() + static_cast<std::ptrdiff_t>(head),
                      before.end() - static_cast<std::ptrdiff_t>(tail)),
                Lines(after.begin() + static_cast<std::ptrdiff_t>(head),
                      after.end() - static_cast<std::ptrdiff_t>(tail)),
                std::move(what)};
  done_.push_back(std::move(change));
  undone_.clear();
}

void EditHistory::replace(Lines& lines, std::size_t at, const Lines& removed, const Lines& added) {
  const auto from = lines.begin() + static_cast<std::ptrdiff_t>(at);
  lines.erase(from, from + static_cast<std::ptrdiff_t>(removed.size()));
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
}

bool EditHistory::undo(Lines& lines) {
  if (done_.empty()) return false;
  Change& change = done_.back();
  replace(lines, change.at, change.added, change.removed);
  undone_.push_back(std::move(change));
  done_.pop_back();
  return true;
}

bool EditHistory::redo(Lines& lines) {
  if (undone_.empty()) return false;
  Change& change = undone_.back();
  replace(lines, change.at, change.removed, change.added);
  done_.push_back(std::move(change));
  undone_.pop_back();
  return true;
}

std::string EditHistory::next_undo() const { return done_.empty() ? "" : done_.back().what; }
std::string EditHistory::next_redo() const { return undone_.empty() ? "" : undone_.back().what; }

}  // namespace mosaiq::studio
