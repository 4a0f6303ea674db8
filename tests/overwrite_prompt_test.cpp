#include <gtest/gtest.h>

#include "cli/overwrite_prompt.h"
#include "test_support.h"

namespace mosaiq {
namespace {

using testing::FakeConsole;

constexpr const char* prompt = "\"song.wrd\" already exists. 0verwite? (y/n) : ";

bool answer(const std::string& typed) {
  FakeConsole console(typed);
  const bool overwrite = confirm_overwrite(console, "song.wrd");
  EXPECT_EQ(console.out, prompt) << typed;
  EXPECT_EQ(console.discards, 1);
  return overwrite;
}

TEST(OverwritePrompt, FirstYOrLineEndOverwritesFirstNSkips) {
  for (const char* yes : {"y\n", "Y\n", "yes\n", "\n", "x\n", "maybe\n", "xyz", "Yn\n"}) {
    EXPECT_TRUE(answer(yes)) << yes;
  }
  for (const char* no : {"n\n", "N\n", "no\n", " n\n", "ny\n", "n"}) {
    EXPECT_FALSE(answer(no)) << no;
  }
}

TEST(OverwritePrompt, LeftoverOfAnAnswerIsDroppedBeforeTheNextQuestion) {
  FakeConsole console("yes\nno\n\n");
  EXPECT_TRUE(confirm_overwrite(console, "a.wrd"));
  // "es" of the first answer must not be read as part of the second.
  EXPECT_FALSE(confirm_overwrite(console, "b.wrd"));
  EXPECT_TRUE(confirm_overwrite(console, "c.wrd"));
  EXPECT_EQ(console.discards, 3);
}

TEST(OverwritePrompt, EndOfInputBeforeADecisionSkipsAndEndsThePromptLine) {
  for (const char* typed : {"", "x", "abc"}) {
    FakeConsole console(typed);
    EXPECT_FALSE(confirm_overwrite(console, "song.wrd")) << typed;
    EXPECT_EQ(console.out, std::string(prompt) + "\n");
  }
}

}  // namespace
}  // namespace mosaiq
