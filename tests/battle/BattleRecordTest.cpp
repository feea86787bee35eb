// The set-up of a recording and of a playback before the battle is built: the three records
// written and checked, the realm, set-up record and game type restored together or not at
// all, the AI's knowledge kept and played back, and the file copy.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ai/Brain.h"
#include "battle/Battle.h"
#include "battle/BattleKnowledge.h"
#include "battle/BattleRecord.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/RecordLog.h"
#include "creatures/WizardTable.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

// The globals a recording reads and a playback writes, kept and put back.
class RecordGlobals {
 public:
  RecordGlobals() : setup_(g_battleSetup), mode_(g_gameMode), network_(g_networkGame), difficulty_(g_difficulty) {
    std::memcpy(realmFile_, g_realmFile, sizeof realmFile_);
    std::memcpy(realmName_, g_realmName, sizeof realmName_);
    record_ = g_recordBattle;
    play_ = g_playBattle;
    timeSystem_ = g_aiTimeSystem;
  }
  ~RecordGlobals() {
    CloseBattleRecord();
    g_battleSetup = setup_;
    g_gameMode = mode_;
    g_networkGame = network_;
    g_difficulty = difficulty_;
    std::memcpy(g_realmFile, realmFile_, sizeof realmFile_);
    std::memcpy(g_realmName, realmName_, sizeof realmName_);
    g_recordBattle = record_;
    g_playBattle = play_;
    g_aiTimeSystem = timeSystem_;
    // Neither a recording nor a playback asked for: a refused log's verdict goes too, or the
    // next battle of the process would end on its first frame.
    SetUpBattleRecord();
  }

 private:
  CBattleSetup setup_;
  int32_t mode_, network_;
  int difficulty_;
  char realmFile_[256], realmName_[256];
  int record_, play_, timeSystem_;
};

class BattleRecordSetUp : public ::testing::Test {
 protected:
  void Record(const char* realm, const CBattleSetup& setup, int gameMode) {
    std::snprintf(g_realmFile, sizeof g_realmFile, "%s", realm);
    std::snprintf(g_realmName, sizeof g_realmName, "%s", "fen");
    g_battleSetup = setup;
    g_gameMode = gameMode;
    g_networkGame = 0;
    g_difficulty = 2;
    g_recordBattle = 1;
    g_playBattle = 0;
    SetUpBattleRecord();
    ASSERT_TRUE(BattleRecording());
    const uint8_t frame[24] = {};
    GetRecordLog()->WriteRecord(frame, sizeof frame);
    CloseBattleRecord();
  }
  void Play() {
    g_recordBattle = 0;
    g_playBattle = 1;
    SetUpBattleRecord();
  }
  // A log of the three records as given, then one frame.
  void WriteLog(const std::vector<std::vector<uint8_t>>& records) {
    platform::MakeDirectory("save");
    CRecordLog log;
    ASSERT_TRUE(log.OpenForWrite(g_logFileName, 0));
    for (const auto& record : records) log.WriteRecord(record.data(), static_cast<uint32_t>(record.size()));
    const uint8_t frame[24] = {};
    log.WriteRecord(frame, sizeof frame);
  }
  static std::vector<uint8_t> Realm(const char* file, const char* name) {
    std::vector<uint8_t> bytes(kRealmRecordBytes);
    EncodeRealmRecord(file, name, bytes.data());
    return bytes;
  }
  static std::vector<uint8_t> Setup(const CBattleSetup& setup) {
    std::vector<uint8_t> bytes(kSetupRecordBytes);
    EncodeSetupRecord(setup, bytes.data());
    return bytes;
  }
  static std::vector<uint8_t> GameType(const BattleGameTypeRecord& record) {
    std::vector<uint8_t> bytes(kGameTypeRecordBytes);
    EncodeGameTypeRecord(record, bytes.data());
    return bytes;
  }
  testing_support::TempDir dir_{true};
  RecordGlobals globals_;
  testing_support::BoxRecorder boxes_;
};

TEST_F(BattleRecordSetUp, APlaybackBuildsTheRecordedBattleWhateverTheCommandLineSays) {
  g_wizardTable.Clear();
  g_wizardTable.records[4].inUse = 1;
  std::snprintf(g_wizardTable.records[4].name, sizeof g_wizardTable.records[4].name, "%s", "Morwen");
  Record("realms\\fen\\fen.cfg", CBattleSetup{3, 4242, 99, 2, 1, 0}, kGameModeCampaign);
  // The command line of the playback names another battle.
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
  g_battleSetup = CBattleSetup{1, 7, 7, 1, 1, 0};
  g_gameMode = kGameModeDirect;
  g_difficulty = 0;
  g_aiTimeSystem = kRealTime;
  g_wizardTable.Clear();
  Play();
  EXPECT_TRUE(BattlePlayingBack());
  EXPECT_FALSE(BattlePlaybackFailed());
  EXPECT_STREQ(g_realmFile, "realms\\fen\\fen.cfg");
  EXPECT_STREQ(g_realmName, "fen");
  EXPECT_EQ(g_battleSetup.region, 3);
  EXPECT_EQ(g_battleSetup.mapSeed, 4242);
  EXPECT_EQ(g_battleSetup.battleSeed, 99);
  EXPECT_EQ(g_battleSetup.armies, 2);
  EXPECT_EQ(g_gameMode, kGameModeCampaign);
  EXPECT_EQ(g_difficulty, 2);
  EXPECT_EQ(g_aiTimeSystem, kNotionalTime);
  EXPECT_EQ(g_wizardTable.records[4].inUse, 1);
  EXPECT_STREQ(g_wizardTable.records[4].name, "Morwen");
  g_wizardTable.Clear();
  EXPECT_EQ(boxes_.Count(), 0u);
  // The frames follow the three records.
  uint8_t frame[24];
  EXPECT_TRUE(GetRecordLog()->ReadRecord(frame, sizeof frame));
  EXPECT_FALSE(BattlePlayingBack());  // the last record was read
}

TEST_F(BattleRecordSetUp, ARefusedLogChangesNothingAndEndsTheBattle) {
  const auto realm = Realm("realms\\fen\\fen.cfg", "fen");
  const auto setup = Setup(CBattleSetup{3, 4242, 99, 2, 1, 0});
  const auto type = GameType(BattleGameTypeRecord{0, 0, kGameModeDirect, 1});
  std::vector<uint8_t> unterminated = realm;
  std::memset(unterminated.data() + 256, 'x', 256);
  std::vector<uint8_t> emptyRealm = Realm("", "fen");
  std::vector<uint8_t> longSetup = setup;
  longSetup.push_back(0);
  std::vector<uint8_t> shortType(type.begin(), type.end() - 4);
  struct Case {
    const char* what;
    std::vector<std::vector<uint8_t>> records;
  };
  const Case cases[] = {
      {"realm name not terminated", {unterminated, setup, type}},
      {"no realm file", {emptyRealm, setup, type}},
      {"a realm that climbs out of the data folder", {Realm("..\\..\\..\\..\\..\\etc\\passwd", "etc"), setup, type}},
      {"an absolute realm", {Realm("/tmp/fen/fen.cfg", "fen"), setup, type}},
      {"a realm name that climbs", {Realm("realms\\fen\\fen.cfg", ".."), setup, type}},
      {"a realm name with a folder", {Realm("realms\\fen\\fen.cfg", "../fen"), setup, type}},
      {"set-up record of 25 bytes", {realm, longSetup, type}},
      {"game-type record of 12 bytes", {realm, setup, shortType}},
      {"region -1", {realm, Setup(CBattleSetup{-1, 1, 1, 1, 1, 0}), type}},
      {"nine armies", {realm, Setup(CBattleSetup{1, 1, 1, 9, 1, 0}), type}},
      {"local army 8", {realm, Setup(CBattleSetup{1, 1, 1, 1, 1, 8}), type}},
      {"multiplayer flag 2", {realm, setup, GameType(BattleGameTypeRecord{0, 2, kGameModeDirect, 1})}},
      {"game type 3", {realm, setup, GameType(BattleGameTypeRecord{0, 0, 3, 1})}},
      {"difficulty 4", {realm, setup, GameType(BattleGameTypeRecord{0, 0, kGameModeDirect, 4})}},
      {"two records only", {realm, setup}},
      {"no wizard table beside the log", {realm, setup, type}},
  };
  // Each case breaks one thing: beside the log lies a good wizard table but in the last.
  platform::MakeDirectory("save");
  ASSERT_TRUE(g_wizardTable.SaveToFile("save\\wizards.log"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (&c == &cases[std::size(cases) - 1]) platform::RemoveFile("save/wizards.log");
    WriteLog(c.records);
    std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
    g_battleSetup = CBattleSetup{1, 7, 8, 1, 1, 0};
    g_gameMode = kGameModeDirect;
    boxes_.Clear();
    Play();
    EXPECT_TRUE(BattlePlaybackFailed());
    EXPECT_FALSE(BattlePlayingBack());
    ASSERT_EQ(boxes_.Count(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Failed to restore battle initialisation data for playback");
    EXPECT_STREQ(g_realmFile, "realms\\moorland\\moorland.cfg");
    EXPECT_EQ(g_battleSetup.mapSeed, 7);
    EXPECT_EQ(g_battleSetup.battleSeed, 8);
    EXPECT_EQ(g_gameMode, kGameModeDirect);
  }
}

TEST_F(BattleRecordSetUp, PlaybackWithoutALogPlaysTheBattleOfTheCommandLine) {
  g_battleSetup = CBattleSetup{1, 7, 8, 1, 1, 0};
  Play();
  EXPECT_FALSE(BattlePlayingBack());
  EXPECT_FALSE(BattlePlaybackFailed());
  EXPECT_EQ(boxes_.Count(), 0u);
  EXPECT_EQ(g_battleSetup.mapSeed, 7);
}

TEST_F(BattleRecordSetUp, ARecordingKeepsTheKnowledgeTheBattleStartedWith) {
  // The brain file the battle will start from.
  g_brain.Reset();
  float chances[3];
  g_brain.Evaluate(5, {1, 2}, 3, chances);
  ASSERT_EQ(g_brain.Save(), 0);
  const uint64_t digest = g_brain.Digest();
  g_brain.Reset();
  // An older copy goes as soon as the recording starts: until the battle has settled its
  // knowledge, a playback must not find one.
  platform::MakeDirectory("save");
  dir_.Write("save/brain.log", std::string("knowledge of another battle"));
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\fen\\fen.cfg");
  std::snprintf(g_realmName, sizeof g_realmName, "%s", "fen");
  g_battleSetup = CBattleSetup{1, 1, 1, 1, 1, 0};
  g_gameMode = kGameModeDirect;
  g_networkGame = 0;
  g_recordBattle = 1;
  g_playBattle = 0;
  SetUpBattleRecord();
  ASSERT_TRUE(BattleRecording());
  EXPECT_FALSE(platform::FileExists("save/brain.log"));
  PrepareBattleKnowledge();
  const uint8_t frame[24] = {};
  GetRecordLog()->WriteRecord(frame, sizeof frame);
  CloseBattleRecord();
  EXPECT_EQ(g_brain.Digest(), digest);

  // The brain file moves on; the playback runs on the table the recording kept, and learns
  // nothing.
  g_brain.Evaluate(6, {3}, 3, chances);
  ASSERT_EQ(g_brain.Save(), 0);
  g_brain.Reset();
  Play();
  ASSERT_TRUE(BattlePlayingBack());
  PrepareBattleKnowledge();
  EXPECT_EQ(g_brain.Digest(), digest);
  EXPECT_FALSE(g_brain.Learning());
  CloseBattleRecord();
  g_brain.SetLearning(true);
  g_brain.Reset();
}

TEST_F(BattleRecordSetUp, AFailedRecordingIsReportedAndTheBattleGoesOn) {
  // A folder stands where the log would be written.
  platform::MakeDirectory("save");
  platform::MakeDirectory("save/event.log");
  g_recordBattle = 1;
  g_playBattle = 0;
  SetUpBattleRecord();
  EXPECT_FALSE(BattleRecording());
  EXPECT_FALSE(BattlePlaybackFailed());
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Failed to save battle initialisation data for playback");
}

TEST(BattleRecordFiles, CopyFileCopiesEveryByte) {
  testing_support::TempDir dir;
  std::vector<unsigned char> content(10000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<unsigned char>(i * 7);
  dir.Write("source.bin", content);
  ASSERT_TRUE(CopyFile(dir.File("source.bin").c_str(), dir.File("copy.bin").c_str()));
  std::vector<uint8_t> copy;
  ASSERT_TRUE(platform::ReadWholeFile(dir.File("copy.bin"), copy));
  EXPECT_EQ(copy, std::vector<uint8_t>(content.begin(), content.end()));
  EXPECT_FALSE(CopyFile(dir.File("missing.bin").c_str(), dir.File("other.bin").c_str()));
  EXPECT_FALSE(CopyFile(dir.File("source.bin").c_str(), dir.File("no/such/folder/copy.bin").c_str()));
}

}  // namespace
