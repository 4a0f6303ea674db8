#include "check/wve_outline.h"

#include <memory>

namespace mosaiq::check {

namespace {

// Counts the bytes the reader takes from the source.
class CountingSource : public ByteSource {
 public:
  explicit CountingSource(ByteSource& source) : source_(source) {}
  long read(char* buffer, std::size_t size) override {
    const long count = source_.read(buffer, size);
    if (count > 0) delivered_ += static_cast<std::uint64_t>(count);
    return count;
  }
  // Whether the source holds any byte after `offset`.
  bool bytes_after(std::uint64_t offset) {
    char byte;
    return delivered_ > offset + 1 || source_.read(&byte, 1) == 1;
  }

 private:
  ByteSource& source_;
  std::uint64_t delivered_ = 0;
};

struct Outliner {
  const ConverterState& state;
  WveOutline& outline;
  std::uint64_t record = 0;

  bool line(const WveLine&, LineKind) { return true; }
  bool frame_record(const WveLine& line, const FrameRecord& frame) {
    if (frame.numbers >= 3 && frame.beat > outline.largest_beat) outline.largest_beat = frame.beat;
    record = line.offset;
    return true;
  }
  bool row_block(const RowBlock&) { return true; }
  void repeated_rows(const RowBlock&) {}
  void row(const WveLine&, std::int32_t) {}
  bool frame_end(const FrameRecord&, std::int32_t rows_read) {
    if (rows_read < state.grid_height) {
      outline.cut_record = static_cast<std::int64_t>(record);
      outline.cut_rows_read = rows_read;
    }
    return true;
  }
  void pattern(const WveLine&, const PatternScan&) {}
  void grid_size(const WveLine&, const GridScan&, bool) {}
};

}  // namespace

WveOutline outline_wve(ByteSource& source) {
  WveOutline outline;
  CountingSource counted(source);
  auto input = std::make_unique<WveReader>(counted);
  ConverterState state;
  DirectiveScope scope;
  Outliner outliner{state, outline};
  const WalkEnd end = walk_directives(*input, state, scope, outliner);
  outline.read_failed = input->failed();
  const std::int64_t marker = input->end_marker();
  outline.bytes_after_end_marker = end == WalkEnd::input_ended && marker >= 0 &&
                                   counted.bytes_after(static_cast<std::uint64_t>(marker));
  return outline;
}

}  // namespace mosaiq::check
