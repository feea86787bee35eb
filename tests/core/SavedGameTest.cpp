// Saved-game files: the header, the parts in their order, and files refused or kept.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/SavedGame.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

// Parts of known sizes that record what they were asked.
struct FakeParts : ISavedGameParts {
  std::vector<std::string> calls;
  bool battle = false;
  int failAt = -1;  // the number of the call that fails
  int loadedState = 0;
  std::vector<uint8_t> battleBytes = {1, 2, 3, 4, 5, 6, 7};

  int Part(FILE* file, const char* name, int size, bool writing) {
    calls.push_back(name);
    if (static_cast<int>(calls.size()) == failAt) return -1;
    std::vector<uint8_t> bytes(static_cast<size_t>(size), static_cast<uint8_t>(size));
    if (writing) return bytes::WriteBlock(file, bytes.data(), bytes.size()) ? size : -1;
    return bytes::ReadBlock(file, bytes.data(), bytes.size()) ? size : -1;
  }
  int WriteWizards(FILE* f) override { return Part(f, "wizards", 80, true); }
  int ReadWizards(FILE* f) override { return Part(f, "wizards", 80, false); }
  int WriteRealmState(FILE* f) override { return Part(f, "realm", 33, true); }
  int ReadRealmState(FILE* f) override { return Part(f, "realm", 33, false); }
  int WriteSpellBox(FILE* f) override { return Part(f, "spellbox", 364, true); }
  int ReadSpellBox(FILE* f) override { return Part(f, "spellbox", 364, false); }
  int WriteScript(FILE* f) override { return Part(f, "script", 12, true); }
  int ReadScript(FILE* f) override { return Part(f, "script", 12, false); }
  bool BattleLoaded() override { return battle; }
  int WriteBattle(FILE* f) override {
    calls.push_back("battle");
    return bytes::WriteBlock(f, battleBytes.data(), battleBytes.size()) ? static_cast<int>(battleBytes.size()) : -1;
  }
  int ReadBattle(FILE* f) override {
    calls.push_back("battle");
    std::vector<uint8_t> bytes(battleBytes.size());
    return bytes::ReadBlock(f, bytes.data(), bytes.size()) && bytes == battleBytes ? static_cast<int>(bytes.size())
                                                                                   : -1;
  }
  void SetLoadedState(int state) override { loadedState = state; }
};

}  // namespace

class SavedGame : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = g_savedGameParts;
    g_savedGameParts = &parts;
    std::snprintf(g_realmFile, sizeof g_realmFile, "realms\\moorland\\moorland.cfg");
    std::snprintf(g_realmName, sizeof g_realmName, "moorland");
    g_difficulty = 2;
    g_gameMode = kGameModeCampaign;
    g_networkGame = 0;
    g_startRegion = 3;
    g_mapSeed = 4444;
  }
  void TearDown() override {
    g_savedGameParts = previous_;
    ResetGlobalOptions();
    g_gameMode = kGameModeNone;
  }
  std::vector<uint8_t> File(const char* name) {
    std::vector<uint8_t> bytes;
    platform::ReadWholeFile(dir.File(std::string("Save/") + name + ".sav"), bytes);
    return bytes;
  }
  testing_support::TempDir dir{true};
  FakeParts parts;
  ISavedGameParts* previous_ = nullptr;
};

TEST_F(SavedGame, AGameWithoutABattleResumesInTheRealmView) {
  ASSERT_EQ(WriteSavedGame("one", 0), 1);  // the Save folder is made
  std::vector<uint8_t> file = File("one");
  const int partBytes = 80 + 33 + 364 + 16 + 12;
  ASSERT_EQ(file.size(), static_cast<size_t>(528 + partBytes));
  EXPECT_EQ(std::memcmp(file.data(), "SAV\0", 4), 0);
  EXPECT_EQ(bytes::LoadU32(file.data() + 4), 16u);
  EXPECT_EQ(bytes::LoadU32(file.data() + 8), file.size());
  EXPECT_STREQ(reinterpret_cast<const char*>(file.data() + 12), "realms\\moorland\\moorland.cfg");
  EXPECT_STREQ(reinterpret_cast<const char*>(file.data() + 12 + 256), "moorland");
  EXPECT_EQ(bytes::LoadU32(file.data() + 524 + 80 + 33 + 364 + 4), 0u);   // not a network game
  EXPECT_EQ(bytes::LoadU32(file.data() + 524 + 80 + 33 + 364 + 8), 5u);   // a campaign
  EXPECT_EQ(bytes::LoadU32(file.data() + 524 + 80 + 33 + 364 + 12), 2u);  // the difficulty
  EXPECT_EQ(bytes::LoadU32(file.data() + file.size() - 4), 0u);           // no battle
  EXPECT_EQ(parts.calls, (std::vector<std::string>{"wizards", "realm", "spellbox", "script"}));

  g_realmFile[0] = g_realmName[0] = 0;
  g_difficulty = 0;
  g_gameMode = kGameModeQuickBattle;
  g_networkGame = 1;
  parts.calls.clear();
  ASSERT_EQ(LoadSavedGame("one"), 1);
  EXPECT_EQ(parts.loadedState, 2);
  EXPECT_STREQ(g_realmName, "moorland");
  EXPECT_EQ(g_difficulty, 2);
  EXPECT_EQ(g_gameMode, kGameModeCampaign);
  EXPECT_EQ(g_networkGame, 0);
  // The running game's parts are copied aside first, then the file's are read.
  EXPECT_EQ(parts.calls, (std::vector<std::string>{"wizards", "realm", "spellbox", "script", "wizards", "realm",
                                                   "spellbox", "script"}));
  EXPECT_FALSE(platform::FileExists(dir.File("Save/one.sav.writing")));
}

TEST_F(SavedGame, ABattleAddsItsStartRecordAndItsPart) {
  parts.battle = true;
  ASSERT_EQ(WriteSavedGame("battle", 0), 1);
  std::vector<uint8_t> file = File("battle");
  EXPECT_EQ(bytes::LoadU32(file.data() + 8), file.size());
  EXPECT_EQ(file.size(), 528u + 80 + 33 + 364 + 16 + 12 + 24 + 7);
  size_t flag = 524 + 80 + 33 + 364 + 16 + 12;
  EXPECT_EQ(bytes::LoadU32(file.data() + flag), 9u);
  EXPECT_EQ(bytes::LoadU32(file.data() + flag + 4), 3u);
  EXPECT_EQ(bytes::LoadU32(file.data() + flag + 8), 4444u);
  g_startRegion = g_mapSeed = 0;
  ASSERT_EQ(LoadSavedGame("battle"), 1);
  EXPECT_EQ(parts.loadedState, 1);
  EXPECT_EQ(g_startRegion, 3);
  EXPECT_EQ(g_mapSeed, 4444);
}

// A save killed while writing leaves its temporary file: the next start removes it, and
// only it.
TEST_F(SavedGame, WhatAKilledSaveLeftIsRemovedAtStart) {
  ASSERT_EQ(WriteSavedGame("kept", 0), 1);
  const std::vector<uint8_t> kept = File("kept");
  for (const char* name : {"Save/kept.sav.writing", "Save/other.SAV.WRITING", "Save/notes.writing"})
    ASSERT_TRUE(platform::WriteWholeFile(dir.File(name), "half", 4)) << name;
  RemoveUnfinishedSaves();
  EXPECT_FALSE(platform::FileExists(dir.File("Save/kept.sav.writing")));
  EXPECT_FALSE(platform::FileExists(dir.File("Save/other.SAV.WRITING")));
  EXPECT_TRUE(platform::FileExists(dir.File("Save/notes.writing")));  // not a save's
  EXPECT_EQ(File("kept"), kept);
  EXPECT_EQ(LoadSavedGame("kept"), 1);
}

TEST_F(SavedGame, AnExistingFileIsKeptUnlessOverwriteIsAsked) {
  ASSERT_EQ(WriteSavedGame("keep", 0), 1);
  std::vector<uint8_t> first = File("keep");
  std::snprintf(g_realmName, sizeof g_realmName, "changed");
  EXPECT_EQ(WriteSavedGame("keep", 0), 2);
  EXPECT_EQ(File("keep"), first);
  EXPECT_EQ(WriteSavedGame("keep", 1), 1);
  EXPECT_NE(File("keep"), first);

  // A write that fails part-way leaves the previous game whole and no temporary file.
  std::vector<uint8_t> second = File("keep");
  parts.calls.clear();
  parts.failAt = 3;
  EXPECT_EQ(WriteSavedGame("keep", 1), 0);
  EXPECT_EQ(File("keep"), second);
  EXPECT_FALSE(platform::FileExists(dir.File("Save/keep.sav.writing")));
}

TEST_F(SavedGame, NamesThatLeaveTheSaveFolderOrCannotBeFilesAreRefused) {
  const std::string names[] = {
      "..\\x",
      "..\\..\\escaped",
      "a/b",
      "a\\b",
      "..",
      "/etc/x",
      "c:game",
      "a*b",
      "tab\there",
      "",
      std::string(201, 'n'),
      std::string(300, 'n'),
  };
  for (const std::string& name : names) {
    EXPECT_FALSE(IsValidGameName(name.c_str())) << name;
    EXPECT_EQ(WriteSavedGame(name.c_str(), 1), 0) << name;
    EXPECT_EQ(LoadSavedGame(name.c_str()), 0) << name;
  }
  EXPECT_TRUE(parts.calls.empty());
  // Nothing was written: not even the Save folder, nor a file beside the test's folder.
  EXPECT_FALSE(platform::FileExists(dir.File("Save")));
  EXPECT_FALSE(platform::FileExists(dir.File("../escaped.sav")));
  EXPECT_FALSE(platform::FileExists(dir.File("../x.sav")));
  EXPECT_EQ(WriteSavedGame(nullptr, 1), 0);

  // Ordinary names, spaces, dots and a name of the longest length still save and load.
  for (const std::string& name : {std::string("Game 1"), std::string("v1.2 final"), std::string(200, 'g')}) {
    EXPECT_TRUE(IsValidGameName(name.c_str())) << name;
    ASSERT_EQ(WriteSavedGame(name.c_str(), 0), 1) << name;
    EXPECT_EQ(LoadSavedGame(name.c_str()), 1) << name;
  }
}

TEST_F(SavedGame, BadFilesAreRefusedBeforeAnythingChanges) {
  parts.battle = true;
  ASSERT_EQ(WriteSavedGame("good", 0), 1);
  std::vector<uint8_t> good = File("good");
  auto refuse = [&](std::vector<uint8_t> bytes, const char* what, bool untouched) {
    platform::WriteWholeFile(dir.File("Save/bad.sav"), bytes.data(), bytes.size());
    std::snprintf(g_realmName, sizeof g_realmName, "before");
    parts.calls.clear();
    parts.loadedState = 0;
    EXPECT_EQ(LoadSavedGame("bad"), 0) << what;
    EXPECT_EQ(parts.loadedState, 0) << what;
    if (untouched) {
      EXPECT_STREQ(g_realmName, "before") << what;
      EXPECT_TRUE(parts.calls.empty()) << what;
    }
  };
  std::vector<uint8_t> bad = good;
  bytes::StoreU32(bad.data() + 4, 15);
  refuse(bad, "version", true);
  bad = good;
  bad[0] = 'X';
  refuse(bad, "tag", true);
  refuse(std::vector<uint8_t>(good.begin(), good.begin() + 8), "header", true);
  for (size_t cut : {size_t{100}, size_t{600}, good.size() - 30, good.size() - 1})
    refuse(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), "truncated", false);
  EXPECT_EQ(LoadSavedGame("missing"), 0);
  // The difficulty (the settings' fourth int) indexes tables of four levels.
  const size_t difficulty = 12 + 512 + 80 + 33 + 364 + 12;
  ASSERT_EQ(bytes::LoadU32(good.data() + difficulty), 2u);
  for (int32_t level : {4, -1}) {
    bad = good;
    bytes::StoreU32(bad.data() + difficulty, static_cast<uint32_t>(level));
    refuse(bad, "difficulty", false);
    EXPECT_EQ(g_difficulty, 2);
  }

  // A realm outside the data folder is refused before anything changes.
  const struct {
    const char* file;
    const char* name;
  } climbing[] = {{"..\\..\\..\\..\\..\\etc\\passwd", "etc"},
                  {"/etc/fen/fen.cfg", "fen"},
                  {"realms\\fen\\fen.cfg", ".."},
                  {"realms\\fen\\fen.cfg", "..\\..\\fen"}};
  for (const auto& realm : climbing) {
    bad = good;
    std::memset(bad.data() + 12, 0, 512);
    std::memcpy(bad.data() + 12, realm.file, std::strlen(realm.file));
    std::memcpy(bad.data() + 12 + 256, realm.name, std::strlen(realm.name));
    refuse(bad, realm.file, true);
    EXPECT_STREQ(g_realmFile, "realms\\moorland\\moorland.cfg");
  }

  // The realm strings come back terminated, whatever the file held.
  bad = good;
  std::memset(bad.data() + 12, 'a', 512);
  bad[12 + 1] = bad[12 + 3] = '\\';  // "a\a\aaa...": the realm "a"
  platform::WriteWholeFile(dir.File("Save/long.sav"), bad.data(), bad.size());
  ASSERT_EQ(LoadSavedGame("long"), 1);
  EXPECT_EQ(std::strlen(g_realmFile), 255u);
  EXPECT_EQ(std::strlen(g_realmName), 255u);
}

namespace {

// Parts that hold a value each, as the game's owners do: a reader takes its value only when
// its whole part is good (a zero word is a corruption), so a later part's failure shows whether
// the load puts the earlier ones back.
struct ValueParts : ISavedGameParts {
  int32_t wizards = 0, realm = 0, spellBox = 0, script = 0, battle = 0;
  bool battleLoaded = true;
  int discarded = 0;

  static int Write(FILE* file, int32_t value) { return bytes::WriteU32(file, static_cast<uint32_t>(value)) ? 4 : -1; }
  static int Read(FILE* file, int32_t& value) {
    uint32_t word = 0;
    if (!bytes::ReadU32(file, word) || word == 0) return -1;
    value = static_cast<int32_t>(word);
    return 4;
  }
  int WriteWizards(FILE* f) override { return Write(f, wizards); }
  int ReadWizards(FILE* f) override { return Read(f, wizards); }
  int WriteRealmState(FILE* f) override { return Write(f, realm); }
  int ReadRealmState(FILE* f) override { return Read(f, realm); }
  int WriteSpellBox(FILE* f) override { return Write(f, spellBox); }
  int ReadSpellBox(FILE* f) override { return Read(f, spellBox); }
  int WriteScript(FILE* f) override { return Write(f, script); }
  int ReadScript(FILE* f) override { return Read(f, script); }
  bool BattleLoaded() override { return battleLoaded; }
  int WriteBattle(FILE* f) override { return Write(f, battle); }
  int ReadBattle(FILE* f) override { return Read(f, battle); }
  void DiscardBattle() override { ++discarded; }

  std::vector<int32_t> Values() const { return {wizards, realm, spellBox, script, battle}; }
  void Set(int32_t base) {
    wizards = base + 1, realm = base + 2, spellBox = base + 3, script = base + 4, battle = base + 5;
  }
};

}  // namespace

// Every part of a saved game, cut short or corrupted: the load fails and the running game is
// the one that ran before, its parts, its settings, its realm and its battle start alike.
TEST_F(SavedGame, ALoadFailingInAnyPartLeavesTheRunningGameAsItWas) {
  ValueParts values;
  g_savedGameParts = &values;
  values.Set(10);
  ASSERT_EQ(WriteSavedGame("saved", 0), 1);
  const std::vector<uint8_t> good = File("saved");
  const size_t first = 12 + 512;  // the parts begin after the header and the realm block
  const struct {
    const char* part;
    size_t at;  // the part's first byte
  } cases[] = {{"wizards", first},
               {"realm", first + 4},
               {"spell box", first + 8},
               {"script", first + 12 + 16},
               {"battle", first + 12 + 16 + 4 + 4 + 24}};
  for (const auto& c : cases)
    for (bool cut : {false, true}) {
      std::vector<uint8_t> bad = good;
      if (cut)
        bad.resize(c.at + 2);
      else
        bytes::StoreU32(bad.data() + c.at, 0);
      platform::WriteWholeFile(dir.File("Save/bad.sav"), bad.data(), bad.size());
      values.Set(100);
      values.battleLoaded = true;
      std::snprintf(g_realmName, sizeof g_realmName, "fen");
      std::snprintf(g_realmFile, sizeof g_realmFile, "realms\\fen\\fen.cfg");
      g_difficulty = 1;
      g_gameMode = kGameModeDirect;
      g_startRegion = 7;
      g_mapSeed = 77;
      const std::string what = std::string(c.part) + (cut ? " cut short" : " corrupted");
      EXPECT_EQ(LoadSavedGame("bad"), 0) << what;
      EXPECT_EQ(values.Values(), (std::vector<int32_t>{101, 102, 103, 104, 105})) << what;
      EXPECT_STREQ(g_realmName, "fen") << what;
      EXPECT_STREQ(g_realmFile, "realms\\fen\\fen.cfg") << what;
      EXPECT_EQ(g_difficulty, 1) << what;
      EXPECT_EQ(g_gameMode, kGameModeDirect) << what;
      EXPECT_EQ(g_startRegion, 7) << what;
      EXPECT_EQ(g_mapSeed, 77) << what;
    }
  // A battle read half while none was loaded goes again; one that was loaded restores itself.
  std::vector<uint8_t> bad = good;
  bytes::StoreU32(bad.data() + cases[4].at, 0);
  platform::WriteWholeFile(dir.File("Save/bad.sav"), bad.data(), bad.size());
  values.battleLoaded = false;
  values.discarded = 0;
  EXPECT_EQ(LoadSavedGame("bad"), 0);
  EXPECT_EQ(values.discarded, 1);
  // The good file loads whole.
  values.Set(100);
  ASSERT_EQ(LoadSavedGame("saved"), 1);
  EXPECT_EQ(values.Values(), (std::vector<int32_t>{11, 12, 13, 14, 15}));
  EXPECT_STREQ(g_realmName, "moorland");
  g_savedGameParts = &parts;
}
