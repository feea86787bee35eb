// Finding the game's data when the program starts outside it.
#include <gtest/gtest.h>

#include "core/DataFolder.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

TEST(DataFolder, TheWorkingDirectoryWinsThenTheFirstCandidateWithACfgFolder) {
  testing_support::TempDir dir(true);
  const std::string start = platform::CurrentDirectory();
  ASSERT_TRUE(platform::MakeDirectory("elsewhere"));
  ASSERT_TRUE(platform::MakeDirectory("forged"));
  ASSERT_TRUE(platform::MakeDirectory("forged/cfg"));
  ASSERT_TRUE(platform::MakeDirectory("installed"));
  ASSERT_TRUE(platform::MakeDirectory("installed/cfg"));
  const std::vector<std::string> candidates = {start + "/missing", start + "/forged", start + "/installed"};

  // Started elsewhere: the first candidate with data becomes the working directory.
  ASSERT_TRUE(platform::ChangeDirectory(start + "/elsewhere"));
  std::string looked;
  EXPECT_TRUE(EnterGameDataFolder(candidates, looked));
  EXPECT_EQ(platform::CurrentDirectory(), start + "/forged");
  // Started in a data folder: it stays.
  ASSERT_TRUE(platform::ChangeDirectory(start + "/installed"));
  EXPECT_TRUE(EnterGameDataFolder(candidates, looked));
  EXPECT_EQ(platform::CurrentDirectory(), start + "/installed");
  // No data anywhere: the working directory stays, and the message names every place.
  ASSERT_TRUE(platform::ChangeDirectory(start + "/elsewhere"));
  EXPECT_FALSE(EnterGameDataFolder({start + "/missing"}, looked));
  EXPECT_EQ(platform::CurrentDirectory(), start + "/elsewhere");
  EXPECT_EQ(looked, start + "/elsewhere, " + start + "/missing");
  ASSERT_TRUE(platform::ChangeDirectory(start));
}

TEST(DataFolder, CandidatesLieBesideTheProgramsFolder) {
  const std::vector<std::string> candidates = GameDataCandidates();
  ASSERT_EQ(candidates.size(), 2u);
  const std::string program = platform::ExecutableDirectory();
  const std::string above = program.substr(0, program.rfind('/'));
  EXPECT_EQ(candidates[0], above + "/data");
  EXPECT_EQ(candidates[1], above + "/share/vrask");
}
