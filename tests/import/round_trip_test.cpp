// A script out as a GIF and back in: the same cells at the same times, frame by frame, and a
// WVE file the checker finds nothing in.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "../view/view_test_support.h"
#include "check/check_command.h"
#include "convert/wve_conversion.h"
#include "import/import_timing.h"
#include "import/picture_input.h"
#include "import/wve_text.h"
#include "view/gif_frames.h"
#include "view/gif_writer.h"
#include "view/timeline.h"

namespace mosaiq::import {
namespace {

using mosaiq::testing::midi_file;
using mosaiq::testing::MidiEvent;
using mosaiq::testing::signature;
using mosaiq::testing::tempo;

// A song of a random signature and two tempos between 70 and 180 quarter notes a minute.
std::string random_song(std::mt19937& random) {
  static const int signatures[][2] = {{4, 2}, {3, 2}, {6, 3}, {2, 1}, {5, 2}};
  const auto& [beats, power] = signatures[random() % 5];
  return midi_file(1, 480,
                   {{signature(beats, power), tempo(0, 70 + random() % 110),
                     tempo(480 * (4 + random() % 16), 70 + random() % 110)}});
}

// A WVE file of random frames on a random grid, each of a random division.
std::string random_wve(std::mt19937& random) {
  static const int divisions[] = {1, 2, 3, 4, 6, 8, 12};
  const int width = 1 + static_cast<int>(random() % 20),
            height = 1 + static_cast<int>(random() % 8);
  std::string cells(static_cast<std::size_t>(width * height), '0');
  std::string wve = "*nXY=" + std::to_string(width) + "," + std::to_string(height) + "\n";
  const int frames = 1 + static_cast<int>(random() % 40);
  for (int f = 0; f < frames; ++f) {
    for (int changes = static_cast<int>(random() % 4); changes > 0; --changes) {
      cells[random() % cells.size()] = static_cast<char>('0' + random() % 8);
    }
    wve += "*f1-1-1-0/" + std::to_string(divisions[random() % 7]) + "\n";
    for (int y = 0; y < height; ++y)
      wve += cells.substr(static_cast<std::size_t>(y * width), width) + "\n";
  }
  return wve;
}

// The GIF frames of a WVE file with its song: cells and hundredths.
std::vector<view::GifFrame> frames_of(const std::string& wve, const Song& song) {
  const MemoryConversion conversion = convert_in_memory(wve);
  const view::Script script = view::read_script(conversion.script);
  return view::testing::all_gif_frames(script, view::frame_times(script, song, 0),
                                       {conversion.grid_width, conversion.grid_height}, false);
}

TEST(RoundTrip, AScriptAsAGifAndBackHasTheSameCellsAtTheSameTimes) {
  std::mt19937 random(2026);
  for (int trial = 0; trial < 100; ++trial) {
    SCOPED_TRACE(trial);
    const std::string midi = random_song(random), wve = random_wve(random);
    Song song;
    std::string problem, note;
    ASSERT_TRUE(read_midi(midi, song, problem, note));
    const std::vector<view::GifFrame> out = frames_of(wve, song);
    const MemoryConversion conversion = convert_in_memory(wve);
    const std::string gif =
        view::testing::gif_bytes(out, {conversion.grid_width, conversion.grid_height},
                                 {1 + static_cast<int>(random() % 4), false});
    ASSERT_FALSE(gif.empty());

    mosaiq::testing::MemoryFiles files;
    files.files = {{"a.gif", gif}, {"s.mid", midi}};
    PictureRequest request;
    request.inputs = {"a.gif"};
    ImportedPictures pictures;
    ASSERT_TRUE(read_pictures(files, request, pictures, problem)) << problem;
    const MeasureMap measures(song);
    Placement placement;
    ASSERT_TRUE(place_pictures(pictures.delays, pictures.pictures.size(),
                               {song, 0, measures, -1, 0, 1, -1}, placement, problem));
    const std::vector<PatternMark> no_patterns;
    const std::string back = wve_text(
        {pictures.width, pictures.height, pictures.pictures, placement.records, no_patterns, ""},
        measures);
    EXPECT_EQ(pictures.width, conversion.grid_width);
    EXPECT_EQ(pictures.height, conversion.grid_height);
    const std::vector<view::GifFrame> in = frames_of(back, song);
    ASSERT_EQ(in.size(), out.size());
    for (std::size_t k = 0; k < in.size(); ++k) {
      EXPECT_EQ(in[k].cells, out[k].cells) << "frame " << k;
      EXPECT_EQ(in[k].delay, out[k].delay) << "frame " << k;
    }

    files.files["back.wve"] = back;
    mosaiq::testing::FakeConsole checker;
    const PathSyntax syntax = mosaiq::testing::posix_paths;
    ProgramSystem checking{checker, files, syntax};
    EXPECT_EQ(check::run_check({"--midi", "s.mid", "back.wve"}, checking), 0)
        << checker.out << back;
  }
}

}  // namespace
}  // namespace mosaiq::import
