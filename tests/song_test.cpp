#include <gtest/gtest.h>

#include <string>

#include "song/midi_file.h"
#include "song/song_file.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using namespace testing;

Song read(const std::string& bytes, std::string* note = nullptr) {
  Song song;
  std::string problem, passed;
  EXPECT_TRUE(read_midi(bytes, song, problem, passed)) << problem;
  if (note != nullptr) *note = passed;
  return song;
}

TEST(MidiFile, ReadsTheTempoMapAndTheSignaturesOfEveryTrack) {
  const Song song =
      read(midi_file(1, 96,
                     {{signature(6, 3), tempo(0, 120), tempo(384, 90), signature(3, 2)},
                      {note(10),
                       {0, "\x3e\x40"},
                       {5, "\xc0\x05"},
                       {0, std::string("\xf0\x02\x7e\xf7", 4)},
                       tempo(100, 60)}}));
  EXPECT_EQ(song.ticks_per_quarter, 96u);
  EXPECT_EQ(song.opening().numerator, 6);
  EXPECT_EQ(song.opening().denominator, 8);
  ASSERT_EQ(song.tempo.size(), 3u);
  EXPECT_EQ(song.tempo[1].tick, 115u) << "the tracks' tempo changes merged by tick";
  ASSERT_EQ(song.signatures.size(), 2u);
  EXPECT_EQ(song.signatures[1].tick, 384u);
  EXPECT_EQ(song.first_note_tick, 10u);
  EXPECT_EQ(song.end_tick, 384u);
  EXPECT_EQ(read(midi_file(0, 480, {{note(10), signature(3, 2)}})).opening().numerator, 4)
      << "4/4 without a signature at the start";
}

TEST(MidiFile, ReadsWhatPlayersReadAndSaysWhatItPassedOver) {
  const std::string good = midi_file(0, 480, {{tempo(0, 100), note(480)}});
  const std::string without_end = "MThd" + big_endian(6, 4) + big_endian(0, 2) + big_endian(1, 2) +
                                  big_endian(480, 2) + "MTrk" + big_endian(4, 4) +
                                  std::string("\x00\x90\x3c\x40", 4);
  const struct {
    std::string bytes;
    const char* note;
  } cases[] = {
      {good, ""},
      {good + "junk after it", "13 bytes follow its last track"},
      {good.substr(0, good.size() - 4), "its last track claims more bytes than the file holds"},
      {without_end, "a track has no end-of-track event"},
  };
  for (const auto& c : cases) {
    std::string note;
    const Song song = read(c.bytes, &note);
    EXPECT_EQ(note, c.note);
    EXPECT_TRUE(song.has_notes);
  }
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
      {midi_file(0, 480, {{{0, "\x40\x40"}}}), "a MIDI track with an event that does not fit"},
      {midi_file(0, 480, {{{0, "\xff\x51\x7f"}}}), "a MIDI track with an event that does not fit"},
      {midi_file(0, 480, {{{0xFFFFFFFu, "\xf8"}}}), "a MIDI track with an event that does not fit"},
  };
  for (const auto& file : refused) {
    Song song;
    std::string problem, note;
    EXPECT_FALSE(read_midi(file.bytes, song, problem, note));
    EXPECT_EQ(problem, file.problem);
  }
}

TEST(SongFile, ASongLineNamesTheSongFromTheFilesFolder) {
  const struct {
    const char *file, *song, *line;
  } cases[] = {
      {"t.wve", "t.mid", "t.mid"},
      {"art/t.wve", "art/t.mid", "t.mid"},
      {"t.wve", "songs/a.mid", "songs/a.mid"},
      {"art/t.wve", "songs/a.mid", "../songs/a.mid"},
      {"a/b/t.wve", "a/c/s.mid", "../c/s.mid"},
      {"/work/t.wve", "/music/s.mid", "../music/s.mid"},
      {"t.wve", "/music/s.mid", "/music/s.mid"},  // no way there without the current folder
  };
  for (const auto& c : cases) {
    EXPECT_EQ(song_line_name(testing::posix_paths, c.file, c.song), c.line) << c.file;
  }
  testing::MemoryFiles files;
  files.files = {{"art/t.wve", "written by mosaiq-import\r\n; song: ../songs/a.mid\r\n*f1-1-1\r\n"},
                 {"u.wve", ";song: none\n*f1-1-1\n"}};
  EXPECT_EQ(song_named_in(files, testing::posix_paths, "art/t.wve"), "art/../songs/a.mid");
  EXPECT_EQ(song_named_in(files, testing::posix_paths, "u.wve"), "") << "the line as written";
}

}  // namespace
}  // namespace mosaiq
