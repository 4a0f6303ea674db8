// The studio's session over files in memory: what it saves (only what changed), what it will
// not write over (another editor's work, unless asked; a file it did not write as an autosave),
// a new animation and a dropped clip that the checker passes, with the song's signatures.
#include <gtest/gtest.h>

#include <string>

#include "../import/picture_files.h"
#include "../test_support.h"
#include "platform/file_marks.h"
#include "studio/studio_session.h"

namespace mosaiq::studio {
namespace {

using mosaiq::testing::MemoryFiles;

const std::string authors =
    "; my animation\r\n*nXY=2,1\r\n*f1-2-2-0/1\r\n12\r\n*f1-2-3-0/1\r\n34\r\n*end\r\n";

// The studio on a.wve; with a song, a.mid, named in a new file's song line.
struct Studio {
  MemoryFiles files;
  Song song;
  bool has_song = false;
  int width = 24, height = 5;
  std::unique_ptr<StudioSession> session;

  explicit Studio(const std::string& text) {
    if (!text.empty()) files.files["a.wve"] = text;
    open();
  }
  void open(bool recover = false) {
    const std::string song_name = has_song ? "a.mid" : "";
    session = std::make_unique<StudioSession>(
        files,
        SessionSetup{"a.wve", song_name, song, has_song, 0, song_name, song_name, width, height});
    std::string problem;
    ASSERT_TRUE(session->open(recover, problem)) << problem;
  }
  StudioSession::Outcome run(const CommandFields& fields) {
    std::string problem;
    return session->command(fields, session->revision(), problem);
  }
  void another_editor_writes(const std::string& text) {
    files.files["a.wve"] = text;
    files.written_at["a.wve"] = ++files.clock;
  }
  bool no_findings() { return session->state_json().find("\"findings\":[]") != std::string::npos; }
};

TEST(StudioSession, SavesWhatChangedAndNeverOverAnotherEditorsWork) {
  Studio studio(authors);
  const std::uint64_t opened = studio.session->revision();
  ASSERT_EQ(studio.run({{"command", "paint"}, {"frame", "2"}, {"cells", "70"}}),
            StudioSession::Outcome::done);
  std::string problem;
  // A page that shows the version before is told so, and changes nothing.
  EXPECT_EQ(studio.session->command({{"command", "paint"}, {"frame", "1"}, {"cells", "00"}}, opened,
                                    problem),
            StudioSession::Outcome::stale);
  EXPECT_TRUE(studio.session->dirty());
  ASSERT_EQ(studio.session->save(false, problem), StudioSession::Saved::saved) << problem;
  const std::string saved =
      "; my animation\r\n*nXY=2,1\r\n*f1-2-2-0/1\r\n12\r\n*f1-2-3-0/1\r\n70\r\n*end\r\n";
  EXPECT_EQ(studio.files.files["a.wve"], saved);
  EXPECT_FALSE(studio.session->dirty());

  studio.another_editor_writes(authors + "; theirs\r\n");
  EXPECT_TRUE(studio.session->changed_on_disk());
  ASSERT_EQ(studio.run({{"command", "paint"}, {"frame", "1"}, {"cells", "11"}}),
            StudioSession::Outcome::done);
  EXPECT_EQ(studio.session->save(false, problem), StudioSession::Saved::changed_on_disk);
  EXPECT_EQ(studio.files.files["a.wve"], authors + "; theirs\r\n");
  // Taken from the disk, theirs is one more version; undone, ours is back.
  ASSERT_TRUE(studio.session->reload(problem)) << problem;
  EXPECT_EQ(studio.session->text(), authors + "; theirs\r\n");
  EXPECT_FALSE(studio.session->changed_on_disk());
  ASSERT_EQ(studio.session->undo(studio.session->revision()), StudioSession::Outcome::done);
  ASSERT_EQ(studio.session->save(false, problem), StudioSession::Saved::saved);
  EXPECT_EQ(studio.files.files["a.wve"],
            "; my animation\r\n*nXY=2,1\r\n*f1-2-2-0/1\r\n11\r\n"
            "*f1-2-3-0/1\r\n70\r\n*end\r\n");
  // Written anyway, when the author says so.
  studio.another_editor_writes(authors);
  ASSERT_EQ(studio.session->save(true, problem), StudioSession::Saved::saved);
  EXPECT_NE(studio.files.files["a.wve"], authors);
}

TEST(StudioSession, RefusesWhatItCannotEdit) {
  MemoryFiles files;
  files.files["long.wve"] = "*f1-2-2\n" + std::string(300, '0') + "\n";
  files.folders.insert("folder.wve");
  const Song song;
  for (const auto& [name, expected] : std::vector<std::pair<std::string, std::string>>{
           {"long.wve",
            "cannot edit long.wve: line 2 is longer than 253 bytes, and mosaiq reads it in pieces "
            "(mosaiq-check tells more)"},
           {"folder.wve", "cannot edit folder.wve: it is not a regular file"}}) {
    StudioSession session(files, {name, "", song, false, 0, "", "", 24, 5});
    std::string problem;
    EXPECT_FALSE(session.open(false, problem));
    EXPECT_EQ(problem, expected);
  }
}

TEST(StudioSession, KeepsAnAutosaveOfItsOwnAndTakesItUp) {
  Studio studio(authors);
  std::string problem;
  ASSERT_TRUE(studio.session->autosave(problem)) << problem;  // nothing unsaved: nothing kept
  EXPECT_EQ(studio.files.files.count("a.wve.autosave"), 0u);
  ASSERT_EQ(studio.run({{"command", "paint"}, {"frame", "1"}, {"cells", "55"}}),
            StudioSession::Outcome::done);
  ASSERT_TRUE(studio.session->autosave(problem)) << problem;
  const std::string kept = studio.files.files["a.wve.autosave"];
  EXPECT_EQ(kept, std::string(autosave_mark) + "\r\n" + studio.session->text());
  // Opened again, the autosave is taken up as a change not yet saved.
  studio.open(true);
  EXPECT_TRUE(studio.session->dirty());
  EXPECT_EQ(studio.session->text(), kept.substr(kept.find('\n') + 1));
  ASSERT_EQ(studio.session->save(false, problem), StudioSession::Saved::saved);
  EXPECT_EQ(studio.files.files.count("a.wve.autosave"), 0u);
  // A file of that name the studio did not write is never written over.
  studio.files.files["a.wve.autosave"] = "mine\n";
  ASSERT_EQ(studio.run({{"command", "paint"}, {"frame", "1"}, {"cells", "66"}}),
            StudioSession::Outcome::done);
  EXPECT_FALSE(studio.session->autosave(problem));
  EXPECT_EQ(problem,
            "will not write over a.wve.autosave, a file that exists and that this program did not "
            "write (--force writes over it)");
  EXPECT_EQ(studio.files.files["a.wve.autosave"], "mine\n");
}

// A song in 3/4 at 100 quarter notes a minute.
Song waltz() {
  Song song;
  std::string problem, note;
  EXPECT_TRUE(read_midi(
      mosaiq::testing::midi_file(1, 480,
                                 {{mosaiq::testing::tempo(0, 100), mosaiq::testing::signature(3, 2),
                                   mosaiq::testing::note(480 * 60)}}),
      song, problem, note));
  return song;
}

TEST(StudioSession, WhatItMakesDrawsNoFinding) {
  Studio studio("");
  studio.song = waltz();
  studio.has_song = true;
  studio.width = 4;
  studio.height = 2;
  studio.open();
  EXPECT_EQ(studio.session->text(),
            "; song: a.mid\r\n*nXY=4,2\r\n*f1-2-2-0/1\r\n0000\r\n0000\r\n*end\r\n");
  const std::vector<CommandFields> commands = {
      {{"command", "paint"}, {"frame", "1"}, {"cells", "12340000"}},
      {{"command", "insert"}, {"after", "1"}},
      {{"command", "move"}, {"frame", "2"}, {"measure", "3"}, {"beat", "3"}},
      {{"command", "division"}, {"frame", "1"}, {"division", "4"}},
      {{"command", "pattern"}, {"frame", "1"}, {"number", "1"}, {"text", "Intro"}},
      {{"command", "pattern"}, {"frame", "2"}, {"number", "2"}, {"text", "Chorus"}},
      {{"command", "grid"}, {"width", "6"}, {"height", "3"}},
  };
  for (const CommandFields& command : commands) {
    SCOPED_TRACE(command.at("command"));
    ASSERT_EQ(studio.run(command), StudioSession::Outcome::done);
    EXPECT_TRUE(studio.no_findings()) << studio.session->text();
  }
  // A clip dropped two seconds in (on the nearest beat, but no earlier than the player shows a
  // frame), its margin trimmed, its pictures' delays on the song.
  const std::vector<std::uint32_t> colours = {0x000000, 0xff3333, 0x4466ff};
  const std::string gif = import::testing::gif_file(
      4, 4, colours,
      {{0, 0, 4, 4, {0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 2, 0, 0, 0, 0, 0}, DISPOSE_DO_NOT, -1, 30},
       {0, 0, 4, 4, {0, 0, 0, 0, 0, 2, 2, 0, 0, 2, 1, 0, 0, 0, 0, 0}, DISPOSE_DO_NOT, -1, 45}});
  Clip clip;
  std::string problem;
  ASSERT_EQ(studio.session->place_clip({{"walk.gif", gif}}, {}, 2.0, false,
                                       studio.session->revision(), clip, problem),
            StudioSession::Outcome::done)
      << problem;
  EXPECT_EQ(clip.summary,
            "2 x 2 cells (trimmed from 4 x 4 pixels to 2 x 2, 1:1), 2 pictures in 3 frames, from "
            "2:2 to 2:3");
  EXPECT_EQ(clip.preview_png.substr(0, 4), "\x89PNG");
  EXPECT_TRUE(studio.no_findings()) << studio.session->text();
}

}  // namespace
}  // namespace mosaiq::studio
