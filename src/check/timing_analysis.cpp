#include "check/timing_analysis.h"

#include "check/finding_messages.h"

namespace mosaiq::check {

namespace {

enum Kind { frames, division, stamp_alone, first_frame };

// The most records kept while a slip waits for the stamps after it.
constexpr std::size_t most_waiting = 4096;

bool stamped_record(const TimedRecord& record) {
  return record.numbers >= 3 && record.division_after >= 0;
}

// How long a record's frame lasts, with a repair in force; a change of division ends it.
template <class Repair>
std::int64_t duration(const TimedRecord& record, Repair& repair) {
  if (record.division_after != record.division_before) repair.reset();
  const std::int32_t division =
      repair && record.division_after == repair->mistaken ? repair->meant : record.division_after;
  return frame_units(division);
}

}  // namespace

TimingAnalysis::TimingAnalysis(const TimingSettings& settings)
    : settings_(settings), song_(settings.first_frame >= 0), count_(settings.first_frame) {}

void TimingAnalysis::frame(const TimedRecord& record) {
  if (findings_.size() >= max_timing_findings) return;
  if (!waiting_) {
    process(record);
    return;
  }
  Waiting& waiting = *waiting_;
  waiting.after.push_back(record);
  waiting.stamps += stamped_record(record);
  if (waiting.stamps >= stamps_to_tell || record.division_after < 0 ||
      waiting.after.size() >= most_waiting) {
    resolve();
  }
}

void TimingAnalysis::process(const TimedRecord& record) {
  if (record.division_after < 0) {
    // A negative division is a mistake of its own: the count starts afresh at the next stamp.
    anchored_ = false;
    changes_.clear();
    repair_.reset();
  } else if (record.numbers >= 3 && stamped(record)) {
    return;  // it waits for the stamps after it
  }
  advance(record);
}

void TimingAnalysis::lost_record(const TimedRecord& line) {
  if (waiting_ || !anchored_) return;
  changes_.push_back({line, -frame_units(division_), true, count_});
}

void TimingAnalysis::advance(const TimedRecord& record) {
  const bool changed = record.division_after != record.division_before &&
                       record.division_before >= 1 && record.division_after >= 1;
  const bool doubtful = record.numbers == 3 ? record.division_before != 1 : records_seen_;
  if (changed && doubtful) changes_.push_back({record, 0, false, count_});
  const std::int64_t units = duration(record, repair_);
  for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
    if (change->lost) continue;
    change->excess += units - frame_units(change->record.division_before);
    break;  // the frames fall under the latest change of division alone
  }
  count_ += units;
  division_ = record.division_after;
  records_seen_ = true;
}

// After a stamp that agrees: changes from long ago, eight quarter notes and more, no longer
// explain a slip.
void TimingAnalysis::age_changes() {
  std::size_t kept = 0;
  for (const Change& change : changes_) {
    if (count_ - change.at < 8 * units_per_quarter) changes_[kept++] = change;
  }
  changes_.resize(kept);
}

bool TimingAnalysis::agrees(std::int64_t count, std::int64_t offset,
                            const TimedRecord& record) const {
  const std::int64_t apart =
      count - settings_.measures->position(record.measure, record.beat) - offset;
  return apart >= 0 && apart < settings_.measures->beat_units(record.measure);
}

bool TimingAnalysis::stamped(const TimedRecord& record) {
  const std::int64_t stamped = settings_.measures->position(record.measure, record.beat);
  const std::int64_t beat = settings_.measures->beat_units(record.measure);
  if (!anchored_) {
    anchor(record, stamped, beat);
    return false;
  }
  if (agrees(count_, offset_, record)) {
    run_open_ = false;
    age_changes();
    return false;
  }
  waiting_ = Waiting{record, stamped, beat, std::move(changes_), repair_, {}, 0};
  changes_.clear();
  return true;
}

// The first stamped frame: without a song it starts the count; with one, it tells how far the
// stamps stand from the song, which is said once when they do not agree.
void TimingAnalysis::anchor(const TimedRecord& record, std::int64_t stamped, std::int64_t beat) {
  const bool first = !anchored_once_;
  anchored_ = anchored_once_ = true;
  changes_.clear();
  if (!song_) {
    count_ = stamped;
    offset_ = 0;
    return;
  }
  const std::int64_t offset = beat * floor_div(count_ - stamped, beat);
  if (offset != 0 && first) {
    offset_ = 0;
    const Waiting waiting{record, stamped, beat, {}, {}, {}, 0};
    report(waiting, Reading{first_frame, count_, offset, {}, nullptr, 0, nullptr});
  }
  offset_ = offset;
}

// Follows a reading of the slip over the records after it: how many of their stamps agree.
void TimingAnalysis::follow(Reading& reading, const Waiting& waiting) const {
  std::optional<Repair> repair = reading.repair;
  std::int64_t count = reading.count + duration(waiting.slip, repair);
  for (const TimedRecord& record : waiting.after) {
    if (record.division_after < 0) break;
    if (record.numbers >= 3 && agrees(count, reading.offset, record)) {
      ++reading.agreeing;
      if (reading.evidence == nullptr) reading.evidence = &record;
    }
    count += duration(record, repair);
  }
}

// Decides why the waiting slip slipped: a division changed before it (the count goes on as if
// it had not), its stamp alone is wrong (the count goes on as it was), or the frames do not
// fill the stamps' beats (the agreement moves to this frame). The reading most stamps after it
// agree with wins; a division, then the frames, when they agree as well.
void TimingAnalysis::resolve() {
  Waiting waiting = std::move(*waiting_);
  waiting_.reset();
  const std::int64_t count = count_;
  std::vector<Reading> readings;
  for (auto change = waiting.changes.rbegin(); change != waiting.changes.rend(); ++change) {
    if (!agrees(count - change->excess, offset_, waiting.slip)) continue;
    const TimedRecord& cause = change->record;
    std::optional<Repair> repair;
    if (!change->lost && &*change == &waiting.changes.back()) {
      repair = Repair{cause.division_after, cause.division_before};
    }
    readings.push_back({division, count - change->excess, offset_, repair, &*change, 0, nullptr});
  }
  readings.push_back({frames, count, count - waiting.stamped, waiting.repair, nullptr, 0, nullptr});
  readings.push_back({stamp_alone, count, offset_, waiting.repair, nullptr, 0, nullptr});
  const Reading* best = nullptr;
  for (Reading& reading : readings) {
    follow(reading, waiting);
    if (best == nullptr || reading.agreeing > best->agreeing) best = &reading;
  }
  report(waiting, *best);
  count_ = best->count;
  offset_ = best->offset;
  repair_ = best->repair;
  advance(waiting.slip);
  for (const TimedRecord& record : waiting.after) frame(record);
}

void TimingAnalysis::report(const Waiting& waiting, const Reading& reading) {
  const TimedRecord& record = waiting.slip;
  const std::int64_t shift = reading.offset - offset_;
  if (reading.kind == frames && run_open_ && shift == run_shift_ && settings_.fold) {
    if (run_more_++ == 0) run_first_line_ = record.line;
    run_last_line_ = record.line;
    findings_.back().notes = {
        {run_first_line_, 1, fold_note(run_more_, run_first_line_, run_last_line_)}};
    findings_.back().folded = run_more_;
    findings_.back().last_line = run_last_line_;
    return;
  }
  std::vector<Note> notes;
  if (reading.cause != nullptr) {
    const TimedRecord& cause = reading.cause->record;
    notes.push_back({cause.line, cause.column,
                     reading.cause->lost ? lost_record_note()
                                         : division_cause_note(cause.numbers, cause.division_before,
                                                               cause.division_after)});
  }
  if (reading.kind == stamp_alone) {
    notes.push_back({reading.evidence->line, reading.evidence->column, stamp_alone_note()});
  }
  const std::int64_t played = song_ ? count_ : count_ - offset_;
  const SlipPlace place{record.measure, record.beat, settings_.measures->at(played), waiting.beat,
                        count_ - waiting.stamped - offset_};
  const SlipCause causes[] = {SlipCause::frames, SlipCause::division, SlipCause::stamp_alone,
                              SlipCause::first_frame};
  const bool lost = reading.cause != nullptr && reading.cause->lost;
  const std::int64_t lost_row = lost && reading.cause->record.row
                                    ? static_cast<std::int64_t>(reading.cause->record.offset)
                                    : -1;
  findings_.push_back({record.offset, record.line, song_ ? Check::song_position : Check::timing,
                       slip_message(place, lost ? SlipCause::lost_frame : causes[reading.kind],
                                    song_, settings_.beats_per_measure),
                       std::move(notes), 0, record.line, lost_row});
  run_open_ = reading.kind == frames;
  run_shift_ = shift;
  run_more_ = 0;
}

void TimingAnalysis::finish() {
  while (waiting_) resolve();
}

}  // namespace mosaiq::check
