#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Files.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

TEST(Files, GamePathsResolveWithoutRegardToCase) {
  TempDir dir(true);
  dir.Write("cfg/vrask.cfg", "x");
  dir.Write("Sprites/Body Text 640.sft", "y");
  EXPECT_TRUE(platform::FileExists("cfg\\VRASK.CFG"));
  EXPECT_TRUE(platform::FileExists("CFG/vrask.cfg"));
  EXPECT_TRUE(platform::FileExists(dir.Path() + "\\sprites\\body text 640.SFT"));
  EXPECT_EQ(platform::ResolvePath("SPRITES\\body TEXT 640.sft"), "Sprites/Body Text 640.sft");
  EXPECT_FALSE(platform::FileExists("cfg\\missing.cfg"));
}

// A path that exists as written resolves at one look; it must give what the walk over its
// components gives: '/' separators, no empty or "." component, no separator at the end.
TEST(Files, APathThatExistsAsWrittenResolvesAsTheWalkWritesIt) {
  TempDir dir(true);
  dir.Write("cfg/vrask.cfg", "x");
  dir.Write("Sprites/a.sft", "y");
  const std::pair<std::string, std::string> cases[] = {
      {"cfg/vrask.cfg", "cfg/vrask.cfg"},          {"cfg\\vrask.cfg", "cfg/vrask.cfg"},
      {"./cfg/vrask.cfg", "cfg/vrask.cfg"},        {"cfg//vrask.cfg", "cfg/vrask.cfg"},
      {"cfg/./vrask.cfg", "cfg/vrask.cfg"},        {"cfg/", "cfg"},
      {"cfg/../Sprites/a.sft", "cfg/../Sprites/a.sft"}, {dir.Path() + "\\cfg\\vrask.cfg", dir.Path() + "/cfg/vrask.cfg"},
      {"cfg\\VRASK.CFG", "cfg/vrask.cfg"},
  };
  for (const auto& [written, resolved] : cases) EXPECT_EQ(platform::ResolvePath(written), resolved) << written;
}

TEST(Files, MissingComponentsKeepTheirNameForCreation) {
  TempDir dir(true);
  dir.Write("Save/keep", "");
  EXPECT_EQ(platform::ResolvePath("save\\New Game.sav"), "Save/New Game.sav");
  FILE* f = platform::OpenFile("SAVE\\New Game.sav", "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_TRUE(platform::FileExists("Save/New Game.sav"));
}

TEST(Files, RenameReplacesAndListingIsSortedAndFiltered) {
  TempDir dir(true);
  dir.Write("a.sav", "old");
  dir.Write("b.tmp", "new");
  dir.Write("C.SAV", "other");
  ASSERT_TRUE(platform::RenameFile("b.tmp", "a.sav"));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile("a.sav", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
  EXPECT_EQ(platform::ListDirectory(".", "*.sav"), (std::vector<std::string>{"C.SAV", "a.sav"}));
}

TEST(Files, WildcardsMatchLikeTheGameExpects) {
  EXPECT_TRUE(platform::WildcardMatch("*.map", "Hills.MAP"));
  EXPECT_TRUE(platform::WildcardMatch("sec??.*", "SEC01.nod"));
  EXPECT_FALSE(platform::WildcardMatch("sec??.*", "sec1.nod"));
  EXPECT_TRUE(platform::WildcardMatch("*", ""));
}

TEST(Files, AFailedWholeWriteKeepsTheOldFile) {
  TempDir dir(true);
  dir.Write("prefs.cfg", "old contents");
  ASSERT_TRUE(platform::WriteWholeFile("prefs.cfg", "new", 3));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile("prefs.cfg", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
  // A write that cannot finish (here: its place for the new bytes is taken by a folder)
  // leaves the file as it was.
  ASSERT_TRUE(platform::MakeDirectory("prefs.cfg.writing"));
  EXPECT_FALSE(platform::WriteWholeFile("prefs.cfg", "lost", 4));
  ASSERT_TRUE(platform::ReadWholeFile("prefs.cfg", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
  EXPECT_FALSE(platform::WriteWholeFile("missing/prefs.cfg", "x", 1));
}

namespace {
platform::ReplacementStep g_failingStep;
bool FailTheChosenStep(platform::ReplacementStep step) { return step == g_failingStep; }
}  // namespace

// A replacement that fails at any step leaves the old file (or, when only the last folder
// sync failed, the whole new one) and no temporary file.
TEST(Files, AReplacementFailingAtAnyStepLeavesOneWholeFile) {
  using Step = platform::ReplacementStep;
  TempDir dir(true);
  for (Step step :
       {Step::kCreate, Step::kWrite, Step::kFlush, Step::kSyncFile, Step::kClose, Step::kRename, Step::kSyncFolder}) {
    dir.Write("prefs.cfg", "old contents");
    g_failingStep = step;
    platform::SetReplacementFaultForTesting(FailTheChosenStep);
    const bool written = platform::WriteWholeFile("prefs.cfg", "new contents", 12);
    platform::SetReplacementFaultForTesting(nullptr);
    EXPECT_FALSE(written) << static_cast<int>(step);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile("prefs.cfg", bytes));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text, step == Step::kSyncFolder ? "new contents" : "old contents") << static_cast<int>(step);
    EXPECT_FALSE(platform::FileExists("prefs.cfg.writing")) << static_cast<int>(step);
  }
}

TEST(Files, WritingThroughASymbolicLinkReplacesTheFileItNames) {
  TempDir dir(true);
  ASSERT_TRUE(platform::MakeDirectory("real"));
  dir.Write("real/prefs.cfg", "old");
  ASSERT_EQ(::symlink("real/prefs.cfg", dir.File("link.cfg").c_str()), 0);
  ASSERT_EQ(::symlink("link.cfg", dir.File("chain.cfg").c_str()), 0);
  ASSERT_TRUE(platform::WriteWholeFile("chain.cfg", "new", 3));
  struct stat st;
  ASSERT_EQ(::lstat(dir.File("link.cfg").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::lstat(dir.File("chain.cfg").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile("real/prefs.cfg", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
}
