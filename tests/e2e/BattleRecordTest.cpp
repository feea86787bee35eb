// Recording and playback in the real program, headless: "vrask /win direct log mapseed=N"
// writes save\event.log (the three set-up records, then every frame that ran with its
// validation record); "vrask /win direct playback" rebuilds the recorded battle whatever the
// command line says and replays it frame for frame with every validation record agreeing,
// twice the same; without a log it plays an ordinary battle, and a log it must refuse ends
// the battle on its first frame.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "net/NetMessages.h"
#include "support/OpenWatch.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using testing_support::ReadText;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The payloads of a record log, in order; false when the file is not a sequence of whole
// records.
bool SplitRecords(const std::vector<uint8_t>& file, std::vector<std::vector<uint8_t>>& records) {
  size_t at = 0;
  while (at < file.size()) {
    if (file.size() - at < 8 || std::string(reinterpret_cast<const char*>(&file[at]), 4) != std::string("log\0", 4))
      return false;
    const uint32_t length = bytes::LoadU32(&file[at + 4]);
    if (file.size() - at - 8 < length) return false;
    records.emplace_back(file.begin() + static_cast<long>(at + 8), file.begin() + static_cast<long>(at + 8 + length));
    at += 8 + length;
  }
  return true;
}

int CountValidations(const uint8_t* message, size_t size) {
  int found = 0;
  const CNetFrameHeader header = ReadFrameHeader(message);
  size_t position = kFrameHeaderBytes;
  for (int i = 0; i < header.count && position + kMessageHeaderBytes <= size; ++i) {
    const uint8_t* sub = message + position;
    const int32_t length = MessageWord(sub, 2);
    if (MessageWord(sub, 1) == MSG_COMPOUND) found += CountValidations(sub, static_cast<size_t>(length));
    if (MessageWord(sub, 1) == MSG_VALIDATE_FRAME) ++found;
    position += static_cast<size_t>(length);
  }
  return found;
}

// The offset of the first validation record within a frame message, 0 when it has none.
size_t FindValidation(const uint8_t* message, size_t size) {
  const CNetFrameHeader header = ReadFrameHeader(message);
  size_t position = kFrameHeaderBytes;
  for (int i = 0; i < header.count && position + kMessageHeaderBytes <= size; ++i) {
    const uint8_t* sub = message + position;
    const int32_t length = MessageWord(sub, 2);
    if (MessageWord(sub, 1) == MSG_VALIDATE_FRAME) return position;
    if (MessageWord(sub, 1) == MSG_COMPOUND)
      if (size_t inner = FindValidation(sub, static_cast<size_t>(length))) return position + inner;
    position += static_cast<size_t>(length);
  }
  return 0;
}

int TraceLines(const std::string& trace) {
  int lines = 0;
  for (char c : trace) lines += c == '\n';
  return lines;
}

class BattleRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  // A headless run of the direct battle with a script and a trace; the program's exit status.
  int Run(const std::string& arguments, const std::string& script, const std::string& trace) {
    std::ofstream(dir_.File("battle.txt")) << script;
    const std::string command = "cd '" + dir_.Path() +
                                "' && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=battle.txt "
                                "VRASK_BATTLE_TRACE=" +
                                trace + " timeout 120 '" + VRASK_PROGRAM + "' /win direct " + arguments + " 2>'" +
                                dir_.File("stderr.txt") + "' >/dev/null";
    const int status = std::system(command.c_str());
    errors_ = ReadText(dir_.File("stderr.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string EventLog() const { return dir_.File("save/event.log"); }
  testing_support::TempDir dir_;
  std::string errors_;
};

TEST_F(BattleRecord, APlaybackReplaysTheRecordedBattleFrameForFrameTwice) {
  // The player pauses and resumes: commands that only the record brings back.
  ASSERT_EQ(Run("log mapseed=4242", "30 key 80\n45 key 80\n120 close\n", "recorded.txt"), 0) << errors_;
  EXPECT_EQ(errors_.find("ERROR"), std::string::npos) << errors_;
  const std::string recorded = ReadText(dir_.File("recorded.txt"));
  ASSERT_GE(TraceLines(recorded), 100);
  ASSERT_NE(recorded.find("paused 1"), std::string::npos);

  std::vector<std::vector<uint8_t>> records;
  ASSERT_TRUE(SplitRecords(ReadBytes(EventLog()), records));
  ASSERT_GE(records.size(), 3u + 100u);
  EXPECT_EQ(records[0].size(), 512u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(records[0].data())), "realms\\moorland\\moorland.cfg");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(records[0].data() + 256)), "moorland");
  ASSERT_EQ(records[1].size(), 24u);
  EXPECT_EQ(bytes::LoadI32(&records[1][4]), 4242);  // the map seed
  ASSERT_EQ(records[2].size(), 16u);
  EXPECT_EQ(bytes::LoadI32(&records[2][8]), 4);  // the direct game type
  // Every frame that ran went into the log in order, each with its validation record.
  int lastFrame = 0;
  for (size_t i = 3; i < records.size(); ++i) {
    ASSERT_TRUE(CheckFrameMessage(records[i].data(), records[i].size(), kFrameOriginHost) ||
                CheckFrameMessage(records[i].data(), records[i].size(), kFrameOriginClient))
        << i;
    const int frame = ReadFrameHeader(records[i].data()).frame;
    EXPECT_EQ(frame, lastFrame + 1);
    lastFrame = frame;
    EXPECT_EQ(CountValidations(records[i].data(), records[i].size()), 1) << "frame " << frame;
  }

  // Played back with another seed on the command line and no keys: the recorded battle,
  // the same trace, twice; a validation record that disagreed would have ended it.
  for (const char* trace : {"played1.txt", "played2.txt"}) {
    ASSERT_EQ(Run("playback mapseed=99", "120 close\n", trace), 0) << errors_;
    EXPECT_EQ(errors_.find("out of synch"), std::string::npos) << errors_;
    EXPECT_EQ(errors_.find("ERROR"), std::string::npos) << errors_;
    EXPECT_EQ(ReadText(dir_.File(trace)), recorded) << trace;
  }

  // The record of frame 50 says the battle drew otherwise than the one played back: the
  // validation box stops the playback there.
  std::vector<uint8_t> log = ReadBytes(EventLog());
  size_t at = 0;
  for (size_t i = 0; i < 3 + 49; ++i) at += 8 + records[i].size();
  const size_t validation = FindValidation(records[3 + 49].data(), records[3 + 49].size());
  ASSERT_NE(validation, 0u);
  const size_t word = at + 8 + validation + 12;
  bytes::StoreI32(&log[word], bytes::LoadI32(&log[word]) + 1);
  std::ofstream(EventLog(), std::ios::binary)
      .write(reinterpret_cast<const char*>(log.data()), static_cast<long>(log.size()));
  ASSERT_EQ(Run("playback", "120 close\n", "diverged.txt"), 0) << errors_;
  // The drift is the playback's fault on this machine alone, not the network's.
  EXPECT_NE(errors_.find("[GENERAL ERROR] message validation: random numbers out of synch"), std::string::npos)
      << errors_;
  EXPECT_EQ(errors_.find("NETWORK ERROR"), std::string::npos) << errors_;
  // Frame 50's message runs at the start of the frame traced as 51, which never comes.
  const std::string diverged = ReadText(dir_.File("diverged.txt"));
  EXPECT_EQ(TraceLines(diverged), 50);
  EXPECT_EQ(recorded.substr(0, diverged.size()), diverged);
}

TEST_F(BattleRecord, PlaybackWithoutALogPlaysAnOrdinaryBattle) {
  ASSERT_EQ(Run("mapseed=4242", "60 close\n", "ordinary.txt"), 0) << errors_;
  ASSERT_EQ(Run("playback mapseed=4242", "60 close\n", "played.txt"), 0) << errors_;
  EXPECT_EQ(errors_.find("ERROR"), std::string::npos) << errors_;
  EXPECT_EQ(TraceLines(ReadText(dir_.File("played.txt"))), 60);
  EXPECT_EQ(ReadText(dir_.File("played.txt")), ReadText(dir_.File("ordinary.txt")));
}

// A log it must refuse (a set-up out of range, a realm outside the data folder) ends the
// battle on its first frame, and the program with a failure.
TEST_F(BattleRecord, ARefusedLogEndsTheBattleOnItsFirstFrame) {
  ASSERT_EQ(Run("log mapseed=4242", "20 close\n", "recorded.txt"), 0) << errors_;
  const std::vector<uint8_t> recorded = ReadBytes(EventLog());
  const size_t realm = 8, setup = 8 + 512 + 8;
  ASSERT_GT(recorded.size(), setup + 24);
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(&recorded[realm])), "realms\\moorland\\moorland.cfg");
  struct Case {
    const char* what;
    void (*spoil)(std::vector<uint8_t>& log, size_t realm, size_t setup);
  };
  const Case cases[] = {
      {"the local army out of range",
       [](std::vector<uint8_t>& log, size_t, size_t setup) { bytes::StoreI32(&log[setup + 20], 9); }},
      {"a realm that climbs out of the data folder",
       [](std::vector<uint8_t>& log, size_t realm, size_t) {
         std::memset(&log[realm], 0, 512);
         std::snprintf(reinterpret_cast<char*>(&log[realm]), 256, "..\\..\\..\\..\\..\\..\\..\\etc\\passwd");
         std::snprintf(reinterpret_cast<char*>(&log[realm + 256]), 256, "etc");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> log = recorded;
    c.spoil(log, realm, setup);
    std::ofstream(EventLog(), std::ios::binary)
        .write(reinterpret_cast<const char*>(log.data()), static_cast<long>(log.size()));

    std::filesystem::remove(dir_.File("screens.txt"));
    EXPECT_EQ(Run("playback mapseed=4242", "log screens.txt\n40 close\n", "played.txt"), 1) << errors_;
    EXPECT_NE(errors_.find("Failed to restore battle initialisation data for playback"), std::string::npos) << errors_;
    EXPECT_EQ(ReadText(dir_.File("played.txt")), "");
    // The battle left within its first frame: the menu below was on top before any frame of
    // it was shown.
    std::istringstream screens(ReadText(dir_.File("screens.txt")));
    int frame = 0, id = 0, shown = 0;
    while (screens >> frame >> id) {
      ++shown;
      EXPECT_NE(id, 2) << "frame " << frame;
    }
    EXPECT_GE(shown, 1);
  }
}

// A recording whose realm climbs to a whole realm beside the data folder (one that would
// load) is refused, and the program opens nothing there.
TEST_F(BattleRecord, ARecordedRealmOutsideTheDataFolderIsNeverOpened) {
  ASSERT_EQ(Run("log mapseed=4242", "20 close\n", "recorded.txt"), 0) << errors_;
  testing_support::TempDir outside;
  std::filesystem::copy(dir_.File("realms/moorland"), outside.File("moorland"),
                        std::filesystem::copy_options::recursive);
  const std::string climb =
      "..\\" + std::filesystem::path(outside.Path()).filename().string() + "\\moorland\\moorland.cfg";
  std::vector<uint8_t> log = ReadBytes(EventLog());
  ASSERT_GT(log.size(), 8u + 512u);
  std::memset(&log[8], 0, 512);
  std::memcpy(&log[8], climb.data(), climb.size());
  std::memcpy(&log[8 + 256], "moorland", 8);
  std::ofstream(EventLog(), std::ios::binary)
      .write(reinterpret_cast<const char*>(log.data()), static_cast<long>(log.size()));

  testing_support::OpenWatch watch;
  ASSERT_TRUE(watch.Add(outside.Path()));
  ASSERT_TRUE(watch.Add(outside.File("moorland")));
  EXPECT_EQ(Run("playback", "40 close\n", "played.txt"), 1) << errors_;
  EXPECT_NE(errors_.find("Failed to restore battle initialisation data for playback"), std::string::npos) << errors_;
  EXPECT_EQ(watch.Opened(), std::vector<std::string>{});
}

#endif

}  // namespace
