#include <gtest/gtest.h>

#include <string>

#include "view/midi_file.h"
#include "view_test_support.h"

namespace mosaiq::view {
namespace {

using namespace testing;

TEST(MidiFile, ReadsTheTempoMapOfEveryTrackAndTheOpeningSignature) {
  const std::string bytes =
      midi_file(1, 96,
                {{signature(6, 3), tempo(0, 120), tempo(384, 90), signature(3, 2)},
                 {note(10),
                  {0, "\x3e\x40"},
                  {5, "\xc0\x05"},
                  {0, std::string("\xf0\x02\x7e\xf7", 4)},
                  tempo(100, 60)}});
  Song song;
  std::string problem;
  ASSERT_TRUE(read_midi(bytes, song, problem)) << problem;
  EXPECT_EQ(song.ticks_per_quarter, 96u);
  EXPECT_EQ(song.numerator, 6);
  EXPECT_EQ(song.denominator, 8);
  ASSERT_EQ(song.tempo.size(), 3u);
  EXPECT_EQ(song.tempo[0].tick, 0u);
  EXPECT_EQ(song.tempo[0].microseconds_per_quarter, 500000u);
  EXPECT_EQ(song.tempo[1].tick, 115u) << "the tracks' tempo changes merged by tick";
  EXPECT_EQ(song.tempo[2].tick, 384u);
}

TEST(MidiFile, WithoutASignatureAtTheStartTheSongIsInFourFour) {
  Song song;
  std::string problem;
  ASSERT_TRUE(read_midi(midi_file(0, 480, {{note(10), signature(3, 2)}}), song, problem));
  EXPECT_EQ(song.numerator, 4);
  EXPECT_EQ(song.denominator, 4);
}

TEST(MidiFile, RefusesWhatItCannotTime) {
  const std::string good = midi_file(0, 480, {{tempo(0, 100)}});
  const struct {
    std::string bytes;
    const char* problem;
  } refused[] = {
      {"RIFF" + good.substr(4), "not a Standard MIDI File"},
      {good.substr(0, 10), "not a Standard MIDI File"},
      {midi_file(2, 480, {}), "a MIDI file of format 2 (independent songs) has no one tempo map"},
      {midi_file(0, 0xE728, {}), "a MIDI file timed in SMPTE frames, not in beats"},
      {midi_file(0, 0, {}), "a MIDI file of 0 ticks a quarter note"},
      {good.substr(0, good.size() - 1), "a MIDI chunk that runs past the end of the file"},
      {midi_file(0, 480, {{{0, "\x40\x40"}}}), "a MIDI track with an event that does not fit"},
      {midi_file(0, 480, {{{0, "\xff\x51\x7f"}}}), "a MIDI track with an event that does not fit"},
      {midi_file(0, 480, {{{0xFFFFFFFu, "\xf8"}}}), "a MIDI track with an event that does not fit"},
  };
  for (const auto& file : refused) {
    Song song;
    std::string problem;
    EXPECT_FALSE(read_midi(file.bytes, song, problem));
    EXPECT_EQ(problem, file.problem);
  }
}

}  // namespace
}  // namespace mosaiq::view
