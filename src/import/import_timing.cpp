#include "import/import_timing.h"

#include <algorithm>
#include <cmath>

namespace mosaiq::import {

namespace {

// A picture's time: from one position to another.
struct Span {
  std::size_t picture;
  std::int64_t from, to;
};

std::string at_text(const MeasureMap& measures, std::int64_t position) {
  const SongBeat beat = measures.at(position);
  return std::to_string(beat.measure) + ":" + std::to_string(beat.beat);
}

// The pictures one after another for --per-beat: each 1/N of a quarter note.
void spans_per_beat(std::size_t count, std::int64_t start, const TimingRequest& request,
                    std::vector<Span>& spans) {
  const std::int64_t length = frame_units(request.per_beat > 0 ? request.per_beat : 1);
  std::int64_t at = start;
  for (int round = 0; request.until >= 0 ? at < request.until : round < request.repeat; ++round) {
    for (std::size_t k = 0; k < count && (request.until < 0 || at < request.until); ++k) {
      spans.push_back({k, at, at + length});
      at += length;
      if (spans.size() > max_records) return;
    }
  }
}

// The pictures at the times their delays give: the running time rounded to the player's steps,
// never each delay, so that no error builds up.
void spans_by_delays(const std::vector<int>& delays, std::int64_t first, std::int64_t start,
                     const TimingRequest& request, std::vector<Span>& spans) {
  const TempoMap tempo(request.song, request.bpm);
  const double origin = tempo.seconds_at(static_cast<double>(start) / units_per_quarter);
  const auto position = [&](std::int64_t hundredths) {
    return nearest_step(first, tempo.quarters_at(origin + hundredths / 100.0) * units_per_quarter);
  };
  std::int64_t total = 0;
  for (int round = 0; request.until >= 0 || round < request.repeat; ++round) {
    for (std::size_t k = 0; k < delays.size(); ++k) {
      const std::int64_t from = position(total);
      if (request.until >= 0 && from >= request.until) return;
      total += delays[k];
      spans.push_back({k, from, position(total)});
      if (spans.size() > max_records) return;
    }
  }
}

}  // namespace

void cut_into_records(std::size_t picture, std::int64_t from, std::int64_t to, std::int64_t first,
                      const MeasureMap& measures, std::vector<PlacedRecord>& records) {
  std::int64_t at = from;
  while (at < to) {
    const SongBeat beat = measures.at(at);
    std::int64_t next = measures.position(beat.measure, beat.beat + 1);
    if (next > to || !falls_on_step(first, next)) next = to;
    while (at < next) {
      std::int32_t division = finest_division;
      for (const std::int32_t candidate : even_divisions) {
        if (frame_units(candidate) <= next - at) {
          division = candidate;
          break;
        }
      }
      records.push_back({picture, at, division});
      at += frame_units(division);
    }
  }
}

bool place_pictures(const std::vector<int>& delays, std::size_t count, const TimingRequest& request,
                    Placement& placement, std::string& problem) {
  placement = Placement{};
  const std::int64_t first = first_frame_position(request.measures);
  if (request.start >= 0 && request.start < first) {
    problem = "--start " + at_text(request.measures, request.start) +
              " comes before the player can show a frame: " + at_text(request.measures, first) +
              " at the earliest";
    return false;
  }
  const std::int64_t start =
      request.start < 0 ? first : nearest_step(first, static_cast<double>(request.start));
  std::vector<Span> spans;
  if (start > first) spans.push_back({dark_picture, first, start});
  if (request.per_beat > 0 || delays.empty()) {
    spans_per_beat(count, start, request, spans);
  } else {
    spans_by_delays(delays, first, start, request, spans);
  }
  if (spans.size() > max_records) {
    problem = "the animation would take more than " + std::to_string(max_records) + " frames";
    return false;
  }
  for (Span span : spans) {
    if (request.until >= 0)
      span.to = std::min(span.to, nearest_step(first, static_cast<double>(request.until)));
    if (span.to <= span.from) {
      if (span.picture != dark_picture &&
          std::find(placement.left_out.begin(), placement.left_out.end(), span.picture) ==
              placement.left_out.end()) {
        placement.left_out.push_back(span.picture);
      }
      continue;
    }
    cut_into_records(span.picture, span.from, span.to, first, request.measures, placement.records);
    placement.end = span.to;
    if (placement.records.size() > max_records) {
      problem = "the animation would take more than " + std::to_string(max_records) + " frames";
      return false;
    }
  }
  return true;
}

}  // namespace mosaiq::import
