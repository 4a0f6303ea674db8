// Every program keeps the player's clock alike: for random songs (tempo maps with odd events,
// signature changes) and random WVE files, the converter's @wmode lines, the checker's
// expected stamps, the viewer's list and page, the importer's placement and the GIF's running
// time agree frame by frame, and with where the synthesiser is in the song.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "check/check_command.h"
#include "convert/wve_conversion.h"
#include "import/import_timing.h"
#include "import/wve_text.h"
#include "song/player_clock.h"
#include "test_support.h"
#include "view/gif_frames.h"
#include "view/html_writer.h"
#include "view/song_sound.h"
#include "view/timeline.h"
#include "view/view_command.h"

namespace mosaiq {
namespace {

using testing::MidiEvent;

// A song of one to three signatures (one of them perhaps cutting a measure short) and up to
// eight tempo changes, some at one tick, some of 0; a note to its end.
std::string random_song(std::mt19937& random) {
  static const int signatures[][2] = {{4, 2}, {3, 2}, {6, 3}, {2, 2}, {5, 2}, {7, 3}, {3, 1}};
  const std::uint32_t division = random() % 2 ? 480 : 96;
  std::vector<std::pair<std::uint32_t, std::string>> events;  // at a tick
  for (int s = static_cast<int>(random() % 3); s >= 0; --s) {
    const auto& [beats, power] = signatures[random() % 7];
    const std::uint32_t at = s == 0 ? 0 : division * (1 + random() % 24) + (random() % 2) * 7;
    events.push_back({at, testing::signature(beats, power).bytes});
  }
  for (int t = static_cast<int>(random() % 9); t > 0; --t) {
    const std::uint32_t at = random() % 4 == 0 ? 0 : division * (random() % 30) + random() % 50;
    const std::string bytes = random() % 5 == 0
                                  ? std::string("\xff\x51\x03\x00\x00\x00", 6)  // a tempo of 0
                                  : testing::tempo(0, 40 + random() % 200).bytes;
    events.push_back({at, bytes});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<MidiEvent> track;
  std::uint32_t tick = 0;
  for (const auto& [at, bytes] : events) {
    track.push_back({at - tick, bytes});
    tick = at;
  }
  const std::uint32_t length = division * (8 + random() % 40);
  return testing::midi_file(1, division,
                            {track, {testing::note(0), {length, std::string("\x80\x3c\x40", 3)}}});
}

struct Record {
  std::int32_t division;
  std::int64_t position;
};

// Frame records stamped where the player shows them, of random divisions (some that drift).
std::string random_wve(std::mt19937& random, const MeasureMap& measures,
                       std::vector<Record>& records) {
  static const std::int32_t divisions[] = {1, 2, 3, 4, 6, 8, 12, 24, 5, 7, 30, -2};
  std::string wve = "*nXY=2,1\n";
  std::int64_t position = first_frame_position(measures);
  std::int32_t division = header_division;
  for (int k = static_cast<int>(1 + random() % 40); k > 0; --k) {
    const std::int32_t next = divisions[random() % (random() % 4 ? 8 : 12)];
    division = next;
    const SongBeat at = measures.at(position);
    wve += "*f1-" + std::to_string(at.measure) + "-" + std::to_string(at.beat) + "-0/" +
           std::to_string(next) + "\n" + std::to_string(10 + random() % 70) + "\n";
    records.push_back({division, position});
    position += frame_units(division);
  }
  records.push_back({0, position});  // where the last frame ends
  return wve;
}

// What a program printed, run over the files.
struct Ran {
  int status;
  std::string out, err;
};

Ran run_view(testing::MemoryFiles& files, const std::vector<std::string>& arguments) {
  testing::FakeConsole console;
  ProgramSystem system{console, files, testing::posix_paths};
  const int status = view::run_view(arguments, system, nullptr);
  return {status, console.out, console.err};
}

Ran run_check(testing::MemoryFiles& files, const std::vector<std::string>& arguments) {
  testing::FakeConsole console;
  ProgramSystem system{console, files, testing::posix_paths};
  const int status = check::run_check(arguments, system);
  return {status, console.out, console.err};
}

std::vector<std::vector<std::string>> table_of(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::size_t at = text.find('\n') + 1;  // after the header
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    std::vector<std::string> row;
    for (std::size_t from = at; from <= end;) {
      const std::size_t tab = std::min(text.find('\t', from), end);
      row.push_back(text.substr(from, tab - from));
      from = tab + 1;
    }
    rows.push_back(row);
    at = end + 1;
  }
  return rows;
}

// The viewer's list and the checker against the stamps the clock gave the records.
void expect_programs_agree(testing::MemoryFiles& files, const std::string& wve,
                           const std::vector<Record>& records, const Song& song) {
  files.files["t.wve"] = wve;
  const TempoMap tempo(song, 0);
  const MeasureMap measures(song);
  const Ran list = run_view(files, {"--list", "t.wve"});
  ASSERT_EQ(list.status, 0) << list.err;
  const auto rows = table_of(list.out);
  ASSERT_EQ(rows.size(), records.size());  // frame 0 and every record's frame
  for (std::size_t k = 1; k < rows.size(); ++k) {
    const std::int64_t position = records[k - 1].position;
    const SongBeat at = measures.at(position);
    EXPECT_EQ(rows[k][1], view::seconds_text(tempo.seconds_at(static_cast<double>(position) / 96)))
        << "frame " << k;
    EXPECT_EQ(rows[k][2] + ":" + rows[k][3],
              std::to_string(at.measure) + ":" + std::to_string(at.beat))
        << "frame " << k;
  }
  const Ran checked = run_check(files, {"t.wve"});
  EXPECT_EQ(checked.out.find("[song-position]"), std::string::npos) << wve << checked.out;
  EXPECT_EQ(checked.out.find("[timing]"), std::string::npos) << checked.out;
}

// The converter's @wmode lines as the viewer reads them, its times, and the GIF's running time.
void expect_script_agrees(const std::string& wve, const std::vector<Record>& records,
                          const Song& song) {
  const MemoryConversion conversion = convert_in_memory(wve);
  const view::Script script = view::read_script(conversion.script);
  ASSERT_EQ(script.frames.size(), records.size());
  for (std::size_t k = 1; k < script.frames.size(); ++k) {
    EXPECT_EQ(frame_units_of_wmode(script.frames[k].wmode), frame_units(records[k - 1].division))
        << "frame " << k;
  }
  const std::vector<FrameTime> times = view::frame_times(script, song, 0);
  for (std::size_t k = 1; k < times.size(); ++k) {
    EXPECT_EQ(times[k].position, records[k - 1].position) << "frame " << k;
  }
  std::int64_t running = 0, shortest = view::longest_gif_delay;
  view::gif_frames(script, times, {2, 1}, false, [&](const view::GifFrame& frame) {
    running += frame.delay;
    shortest = std::min(shortest, frame.delay);
    return true;
  });
  const std::int64_t end = std::llround((times.back().seconds - times[1].seconds) * 100);
  EXPECT_TRUE(running == end || (running == view::shortest_gif_delay && end < running))
      << "the GIF keeps to the song: " << running << " against " << end;
  EXPECT_GE(shortest, view::shortest_gif_delay);
}

// The importer's placement, as the converter, the viewer and the checker take it.
void expect_placement_agrees(std::mt19937& random, testing::MemoryFiles& files, const Song& song) {
  const MeasureMap measures(song);
  std::vector<int> delays;
  for (int k = static_cast<int>(1 + random() % 30); k > 0; --k) {
    delays.push_back(static_cast<int>(random() % 40));
  }
  const import::TimingRequest request{song, 0, measures, -1, 0, 1, -1};
  import::Placement placement;
  std::string problem;
  ASSERT_TRUE(import::place_pictures(delays, delays.size(), request, placement, problem))
      << problem;
  if (placement.records.empty()) return;
  const std::vector<import::CellPicture> pictures(delays.size(), import::CellPicture{1, 2});
  const std::vector<import::PatternMark> patterns;
  const std::string wve =
      import::wve_text({2, 1, pictures, placement.records, patterns, ""}, measures);
  std::vector<Record> records;
  for (const import::PlacedRecord& placed : placement.records) {
    records.push_back({placed.division, placed.position});
  }
  records.push_back({0, placement.end});
  expect_script_agrees(wve, records, song);
  expect_programs_agree(files, wve, records, song);
}

// Where the synthesiser is in the song after so many seconds rendered, against the tempo map.
void expect_sound_agrees(const std::string& as_read, const Song& song) {
  std::ifstream file(MOSAIQ_TEST_DATA "/square.sf2", std::ios::binary);
  const std::string soundfont{std::istreambuf_iterator<char>(file), {}};
  std::string problem;
  const std::unique_ptr<view::SongByHand> sound =
      view::play_song_by_hand({as_read, song, soundfont}, problem);
  ASSERT_TRUE(sound) << problem;
  const double end =
      TempoMap(song, 0).seconds_at(static_cast<double>(song.end_tick) / song.ticks_per_quarter);
  for (double elapsed = 0.5; elapsed < std::min(end, 6.0); elapsed += 0.5) {
    sound->render(0.5);
    EXPECT_NEAR(sound->seconds(), elapsed, 0.01) << "the song's position, heard";
  }
}

TEST(ClockAgreement, EveryProgramKeepsTheSamePlayersClock) {
  std::mt19937 random(20261208);
  for (int seed = 0; seed < 40; ++seed) {
    SCOPED_TRACE(seed);
    const std::string midi = random_song(random);
    Song song;
    std::string problem, note, as_read;
    ASSERT_TRUE(read_midi(midi, song, problem, note, &as_read)) << problem;
    testing::MemoryFiles files;
    files.files["t.mid"] = midi;
    std::vector<Record> records;
    const std::string wve = random_wve(random, MeasureMap(song), records);
    expect_script_agrees(wve, records, song);
    expect_programs_agree(files, wve, records, song);
    expect_placement_agrees(random, files, song);
    if (view::can_play_songs() && seed % 4 == 0) expect_sound_agrees(as_read, song);
  }
}

}  // namespace
}  // namespace mosaiq
