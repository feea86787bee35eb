#pragma once
// Fixtures of the network tests: a sink that records what a frame's commands did, a small
// battle model whose random draws and counts follow the commands, and a rig of machines on a
// loopback, stepped in turn on a manual clock, each running the battle frame's calls.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Random.h"
#include "map/MapCommands.h"
#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "platform/Clock.h"
#include "platform/LoopbackNetwork.h"

namespace net_test {

// Every call a frame's commands make, as text ("walk 3 1 2 0").
struct RecordingSink : INetCommandSink, INetBattle, INetSetupEvents {
  int creatures = 10;
  std::set<int> dead;
  std::vector<std::string> calls;
  CRecordLog* record = nullptr;

  int CreatureCount() override { return creatures; }
  bool IsAlive(int creature) override { return !dead.count(creature); }
  void ClearPathMarkers(int creature) override;
  void SetFollowTarget(int creature, int target) override;
  void WalkTo(int creature, int x, int y, int z) override;
  void WalkToCell(int creature, int x, int y, int level) override;
  void AttackTerrain(int creature, int x, int y, int z) override;
  void AttackCreature(int creature, int target) override;
  void ApplyQueuedOrder(int creature, int kind, int a, int b, int c, int d) override;
  void ProcessEventAt(int creature, int eventIndex) override;
  void OpenChestAt(int creature, int a, int b, int c) override;
  void CastSpell(const int32_t record[11]) override;
  void WriteEffectLog(const char* fileName) override;
  void SetBattleTimer(int value) override;
  void Pause(int word) override;
  void SpeechClosed(int word) override;
  void CameraBack(int word) override;
  void InterfaceCommand(int word) override;
  CRecordLog* RecordLog() override { return record; }
  void EndBattle(const char* reason) override;
  void ShowChatLine(const char* line) override;
  void RemoveChatRecipient(const char* name) override;
  void PlayerAdded(const char* name) override;
  void PlayerRemoved(const char* name) override;
  void SelfRemoved() override;
  void PlayersChanged() override;
  void Chat(const char* name, const char* text) override;
  void GameSettings(const uint8_t* settings) override;
  void PlayerSlot(int slotIndex, const uint8_t* slot) override;
  void SetSlot(int slotIndex) override;
  void Ready(int slotIndex) override;
  void ColourRequest(int slotIndex) override;
  void PortraitRequest(int slotIndex) override;
  void Handicap(int slotIndex, int value) override;
  void Initialise(const InitialiseView& message) override;
  void WizardSpellsArrived(const WizardSpells& spells) override;

  NetHooks Hooks();
  // The calls since the last Take, and clears them.
  std::vector<std::string> Take();
};

// A battle in miniature: every command draws from its own generator and moves its counts, so
// that two machines agree only when they ran the same commands in the same frames.
struct BattleModel : INetCommandSink, INetBattle {
  explicit BattleModel(const CNetClient* client) : client(client) {}

  const CNetClient* client;
  CRandom random{4242};
  int creatures = 12;
  int effects = 0;
  uint32_t state = 1;
  int timer = -1;
  int skipFrame = -1;  // the first command of this frame is not carried out
  bool skipped = false;
  int endedAtFrame = -1;
  std::string endReason;
  int commandsRun = 0;

  int CreatureCount() override { return 20; }
  bool IsAlive(int creature) override { return creature < creatures; }
  void ClearPathMarkers(int creature) override { Mix(1, creature); }
  void SetFollowTarget(int creature, int target) override { Mix(2, creature * 31 + target); }
  void WalkTo(int creature, int x, int y, int z) override;
  void WalkToCell(int creature, int x, int y, int level) override { Order(6, creature, x + y + level); }
  void AttackTerrain(int creature, int x, int y, int z) override { Order(10, creature, x ^ y ^ z); }
  void AttackCreature(int creature, int target) override;
  void ApplyQueuedOrder(int creature, int kind, int a, int b, int c, int d) override { Order(kind, creature, a + d); }
  void ProcessEventAt(int creature, int eventIndex) override { Order(8, creature, eventIndex); }
  void OpenChestAt(int creature, int a, int b, int c) override { Order(9, creature, a); }
  void CastSpell(const int32_t record[11]) override;
  void SetBattleTimer(int value) override { timer = value; }
  void Pause(int word) override { Order(25, word, 0); }
  void EndBattle(const char* reason) override;

  // The frame's own work after the commands.
  void Work();
  CommandMessage Validation() const;
  // The state every machine must end with.
  std::vector<uint32_t> FinalWords() const;

 private:
  void Mix(uint32_t a, int b) { state = state * 2654435761u + a * 97u + static_cast<uint32_t>(b); }
  // Answers false when the command is the one skipped.
  bool Order(int kind, int creature, int value);
};

struct RigMachine : INetFrameWork {
  RigMachine(int index, const bool& validate);

  bool Validation(CommandMessage& record) override;
  void Work(int frame) override;

  NetMachine net;
  BattleModel model;
  NetHooks hooks;
  CRandom hand;  // the local player's input, apart from the battle's generators
  const bool& validate;
  bool ended = false;
  bool paused = false;  // not stepped (its messages still arrive)
  double commandRate = 0.3;
};

class LockstepRig {
 public:
  LockstepRig(int machines, int delay, uint64_t seed, const platform::LoopbackConditions& conditions = {});
  // The session (machine 0 hosts), one player per machine, the start marks, the first frames.
  void Start();
  // Steps every machine in turn, the clock moving stepMs a round, until each has run `frames`
  // frames or ended; answers the rounds taken, or -1 at the round limit.
  int Run(int frames, int maxRounds);
  void Step(RigMachine& machine, int target);
  RigMachine& At(int i) { return *machines[i]; }

  platform::ManualClock clock;
  platform::LoopbackNetwork network;
  std::vector<std::unique_ptr<RigMachine>> machines;
  int delay;
  uint32_t stepMs = 10;
  bool validate = true;
};

}  // namespace net_test
