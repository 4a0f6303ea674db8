// Whether each stamped frame plays where its stamp says, and when one does not, why: a record
// whose division changed the frames' length, a stamp wrong on its own (the frames before and
// after it agree), or frames that simply do not fill the beats their stamps give. One mistake
// makes one finding: a slip explained by a division is counted on as if the division were right,
// a wrong stamp alone changes nothing after it, and a run of alike slips is folded into its first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check/checks.h"
#include "check/finding_writer.h"
#include "song/player_clock.h"

namespace mosaiq::check {

// A frame record as the timing sees it: where it stands, its stamp, and the division in force
// before and after it.
struct TimedRecord {
  std::uint64_t offset = 0, line = 1, column = 1;
  std::int32_t numbers = 0, measure = 0, beat = 0;
  std::int32_t division_before = 1, division_after = 1;
  bool row = false;  // a lost record: read as a grid row (a row missing before it)
};

struct TimingSettings {
  const MeasureMap* measures = nullptr;  // how stamps name positions
  // With a song: where the player shows frame 1 (its first line takes a measure, the header's
  // frame a quarter note); positions are the song's, and a frame that shows elsewhere than its
  // stamp says is a song-position finding. Without one: -1, and the first stamped frame starts
  // the count.
  std::int64_t first_frame = -1;
  std::int64_t beats_per_measure = 0;  // without a song, for the messages
  bool fold = true;                    // alike slips in a row folded into the first
};

struct TimingFinding {
  std::uint64_t record;  // the offset of the record it is reported at, and its line
  std::uint64_t line;
  Check check;
  std::string message;
  std::vector<Note> notes;
  std::uint64_t folded = 0;     // alike slips folded into it
  std::uint64_t last_line = 0;  // the line of the last of them
  std::int64_t lost_row = -1;   // the offset of a record read as a row, its cause; -1: none
};

// The most timing findings kept for one file; past them the timing is not followed.
constexpr std::size_t max_timing_findings = 10000;

class TimingAnalysis {
 public:
  explicit TimingAnalysis(const TimingSettings& settings);
  // Every frame record, in the order of the file.
  void frame(const TimedRecord& record);
  // A line that was meant as a frame record but is not read as one (its "*" full-width, or
  // indented, or its "f" a capital): its frame is lost, which may explain a slip after it.
  void lost_record(const TimedRecord& line);
  // The end of the file: a slip still waiting for the stamps after it is decided.
  void finish();
  // The findings, in the order of their records.
  const std::vector<TimingFinding>& findings() const { return findings_; }

  // The stamped frames after a slip that tell why it slipped.
  static constexpr int stamps_to_tell = 4;

 private:
  // A record of the last two measures or so whose division may be a mistake (a record of three
  // numbers that set it back to 1, or another change after the first record), and how much longer
  // (or shorter) the frames under it have made the count; or a frame record lost, and how much
  // shorter that made it.
  struct Change {
    TimedRecord record;
    std::int64_t excess = 0;
    bool lost = false;
    std::int64_t at = 0;  // where the count stood at it
  };
  // Frames counted as if a division had stayed: `mistaken` read as `meant` until it changes.
  struct Repair {
    std::int32_t mistaken;
    std::int32_t meant;
  };
  // A stamped frame that slipped, and the records after it that tell why.
  struct Waiting {
    TimedRecord slip;
    std::int64_t stamped;  // where its stamp says it starts
    std::int64_t beat;     // the length of the beat it is stamped with
    std::vector<Change> changes;
    std::optional<Repair> repair;
    std::vector<TimedRecord> after;
    int stamps = 0;
  };
  // One way to read a slip: where the count goes on from, against which stamps, and why.
  struct Reading {
    int kind;
    std::int64_t count;
    std::int64_t offset;
    std::optional<Repair> repair;
    const Change* cause = nullptr;
    int agreeing = 0;
    const TimedRecord* evidence = nullptr;  // the first stamped frame after it that agrees
  };

  void process(const TimedRecord& record);
  bool stamped(const TimedRecord& record);
  void anchor(const TimedRecord& record, std::int64_t stamped, std::int64_t beat);
  void resolve();
  void follow(Reading& reading, const Waiting& waiting) const;
  void report(const Waiting& waiting, const Reading& reading);
  void advance(const TimedRecord& record);
  void age_changes();
  bool agrees(std::int64_t count, std::int64_t offset, const TimedRecord& record) const;

  TimingSettings settings_;
  bool anchored_ = false;
  bool anchored_once_ = false;
  bool song_ = false;
  bool records_seen_ = false;
  std::int64_t count_ = 0;     // where the next frame starts, counted from the frames
  std::int64_t offset_ = 0;    // how far the frames stand from their stamps, by agreement
  std::int32_t division_ = 1;  // the division in force
  std::vector<Change> changes_;
  std::optional<Repair> repair_;
  std::optional<Waiting> waiting_;
  std::vector<TimingFinding> findings_;
  // The run of alike slips the last finding began: their shift, how many more, on which lines.
  bool run_open_ = false;
  std::int64_t run_shift_ = 0;
  std::uint64_t run_more_ = 0;
  std::uint64_t run_first_line_ = 0;
  std::uint64_t run_last_line_ = 0;
};

}  // namespace mosaiq::check
