// Feeds arbitrary bytes to a battle playback as save\event.log: the three set-up records are
// checked before anything takes them, and the frames that follow are read and run by the
// network client the way a playback runs them, until the log ends or is refused.
#include <cstdint>
#include <vector>

#include "FuzzFiles.h"
#include "NetFuzzSupport.h"
#include "battle/Battle.h"
#include "battle/BattleRecord.h"
#include "core/Bytes.h"
#include "core/Options.h"
#include "core/RecordLog.h"
#include "net/NetMachine.h"

namespace {

using net_fuzz::Bytes;

class PlaybackSink : public net_fuzz::CheckingSink {
 public:
  CRecordLog* RecordLog() override { return BattlePlayingBack() ? GetRecordLog() : nullptr; }
};

void AppendRecord(Bytes& log, const Bytes& payload) {
  const uint8_t tag[4] = {'l', 'o', 'g', 0};
  log.insert(log.end(), tag, tag + 4);
  uint8_t length[4];
  bytes::StoreU32(length, static_cast<uint32_t>(payload.size()));
  log.insert(log.end(), length, length + 4);
  log.insert(log.end(), payload.begin(), payload.end());
}

Bytes SetUpRecords() {
  Bytes log, realm(kRealmRecordBytes), setup(kSetupRecordBytes), type(kGameTypeRecordBytes);
  EncodeRealmRecord("realms\\moorland\\moorland.cfg", "moorland", realm.data());
  EncodeSetupRecord(CBattleSetup{1, 4242, 4242, 1, 1, 0}, setup.data());
  EncodeGameTypeRecord(BattleGameTypeRecord{0, 0, 4, 0}, type.data());
  AppendRecord(log, realm);
  AppendRecord(log, setup);
  AppendRecord(log, type);
  return log;
}

Bytes Frame(int frame, std::vector<Bytes> commands) {
  commands.insert(commands.begin(), net_fuzz::ToBytes(MakeValidateMessage(153, 10, 0)));
  return MakeFrameMessage(frame, kFrameOriginHost, {MakeFrameMessage(frame, kFrameOriginClient, commands)});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  Bytes frames = SetUpRecords(), skipped = SetUpRecords(), backwards = SetUpRecords();
  for (int frame = 1; frame <= 4; ++frame) AppendRecord(frames, Frame(frame, {net_fuzz::EveryCommand()[frame]}));
  AppendRecord(skipped, Frame(1, {}));
  AppendRecord(skipped, Frame(5, net_fuzz::EveryCommand()));
  AppendRecord(backwards, Frame(2, {}));
  AppendRecord(backwards, Frame(1, {}));
  net_fuzz::WriteSeeds(*argc, *argv, {frames, skipped, backwards, SetUpRecords()});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Folder("battle_event_log", true);
  platform::MakeDirectory("save");
  fuzz::WriteInput("save/event.log", data, size);
  PlaybackSink sink;
  NetHooksScope hooks(sink.Hooks());
  g_recordBattle = 0;
  g_playBattle = 1;
  try {
    SetUpBattleRecord();
    g_netSession.messageDelay = 0;
    g_netClient.Reset();
    for (int frame = 0; frame < 64 && BattlePlayingBack() && !g_netClient.Failed(); ++frame)
      g_netClient.RunFrame(frame, false);
  } catch (const fuzz::ProgramEnded&) {
  }
  CloseBattleRecord();
  return 0;
}
