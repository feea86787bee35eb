#include "NetRig.h"

#include <cstdio>
#include <string>

#include "net/NetMessages.h"

namespace net_test {

namespace {

std::string Text(const char* name, std::initializer_list<int> values) {
  std::string out = name;
  for (int value : values) out += " " + std::to_string(value);
  return out;
}

}  // namespace

// --- RecordingSink -------------------------------------------------------------------------

void RecordingSink::ClearPathMarkers(int creature) { calls.push_back(Text("clear", {creature})); }
void RecordingSink::SetFollowTarget(int creature, int target) { calls.push_back(Text("follow", {creature, target})); }
void RecordingSink::WalkTo(int creature, int x, int y, int z) { calls.push_back(Text("walk", {creature, x, y, z})); }
void RecordingSink::WalkToCell(int creature, int x, int y, int level) {
  calls.push_back(Text("chest", {creature, x, y, level}));
}
void RecordingSink::AttackTerrain(int creature, int x, int y, int z) {
  calls.push_back(Text("terrain", {creature, x, y, z}));
}
void RecordingSink::AttackCreature(int creature, int target) { calls.push_back(Text("attack", {creature, target})); }
void RecordingSink::ApplyQueuedOrder(int creature, int kind, int a, int b, int c, int d) {
  calls.push_back(Text("queued", {creature, kind, a, b, c, d}));
}
void RecordingSink::ProcessEventAt(int creature, int eventIndex) {
  calls.push_back(Text("event", {creature, eventIndex}));
}
void RecordingSink::OpenChestAt(int creature, int a, int b, int c) {
  calls.push_back(Text("open", {creature, a, b, c}));
}
void RecordingSink::CastSpell(const int32_t record[11]) {
  calls.push_back(Text("cast", {record[0], record[4], record[5], record[6], record[7], record[8]}));
}
void RecordingSink::WriteEffectLog(const char* fileName) { calls.push_back(std::string("effect log ") + fileName); }
void RecordingSink::SetBattleTimer(int value) { calls.push_back(Text("timer", {value})); }
void RecordingSink::Pause(int word) { calls.push_back(Text("pause", {word})); }
void RecordingSink::SpeechClosed(int word) { calls.push_back(Text("speech closed", {word})); }
void RecordingSink::CameraBack(int word) { calls.push_back(Text("camera back", {word})); }
void RecordingSink::InterfaceCommand(int word) { calls.push_back(Text("interface", {word})); }
void RecordingSink::EndBattle(const char* reason) { calls.push_back(std::string("end ") + reason); }
void RecordingSink::ShowChatLine(const char* line) { calls.push_back(std::string("chat line ") + line); }
void RecordingSink::RemoveChatRecipient(const char* name) { calls.push_back(std::string("remove recipient ") + name); }
void RecordingSink::PlayerAdded(const char* name) { calls.push_back(std::string("added ") + name); }
void RecordingSink::PlayerRemoved(const char* name) { calls.push_back(std::string("removed ") + name); }
void RecordingSink::SelfRemoved() { calls.push_back("self removed"); }
void RecordingSink::PlayersChanged() { calls.push_back("players changed"); }
void RecordingSink::Chat(const char* name, const char* text) {
  calls.push_back(std::string("chat ") + name + ": " + text);
}
void RecordingSink::GameSettings(const uint8_t* settings) {
  calls.push_back(Text("settings", {MessageWord(settings, 0)}));
}
void RecordingSink::PlayerSlot(int slotIndex, const uint8_t* slot) {
  calls.push_back(Text("slot", {slotIndex}) + " " + reinterpret_cast<const char*>(slot));
}
void RecordingSink::SetSlot(int slotIndex) { calls.push_back(Text("set slot", {slotIndex})); }
void RecordingSink::Ready(int slotIndex) { calls.push_back(Text("ready", {slotIndex})); }
void RecordingSink::ColourRequest(int slotIndex) { calls.push_back(Text("colour", {slotIndex})); }
void RecordingSink::PortraitRequest(int slotIndex) { calls.push_back(Text("portrait", {slotIndex})); }
void RecordingSink::Handicap(int slotIndex, int value) { calls.push_back(Text("handicap", {slotIndex, value})); }
void RecordingSink::Initialise(const InitialiseView& message) {
  calls.push_back(Text("initialise", {message.setup[kSetupClientCount], message.setup[kSetupOwnIndex]}));
}
void RecordingSink::WizardSpellsArrived(const WizardSpells& spells) {
  calls.push_back(Text("spells", {spells.playerIndex, spells.count}));
}

NetHooks RecordingSink::Hooks() {
  NetHooks hooks = DefaultNetHooks();
  hooks.commands = this;
  hooks.battle = this;
  hooks.setup = this;
  return hooks;
}

std::vector<std::string> RecordingSink::Take() {
  std::vector<std::string> out;
  out.swap(calls);
  return out;
}

// --- BattleModel ---------------------------------------------------------------------------

bool BattleModel::Order(int kind, int creature, int value) {
  if (client && client->wantedFrame == skipFrame && !skipped) {
    skipped = true;
    return false;
  }
  ++commandsRun;
  Mix(static_cast<uint32_t>(kind), creature * 1000 + value + static_cast<int>(random.Next() & 0xF));
  return true;
}

void BattleModel::WalkTo(int creature, int x, int y, int z) {
  if (!Order(5, creature, x * 7 + y)) return;
  for (int i = 0; i <= (x & 3); ++i) Mix(50, static_cast<int>(random.Next() & 0xFFFF));
}

void BattleModel::AttackCreature(int creature, int target) {
  if (!Order(7, creature, target)) return;
  if (random.Next() % 5 == 0 && creatures > 4) --creatures;
}

void BattleModel::CastSpell(const int32_t record[11]) {
  if (!Order(4, record[7], record[0])) return;
  effects += 1 + record[0] % 3;
  Mix(60, static_cast<int>(random.Next() & 0xFF));
}

void BattleModel::EndBattle(const char* reason) {
  if (endedAtFrame < 0) endedAtFrame = client ? client->wantedFrame : 0;
  endReason = reason;
}

void BattleModel::Work() {
  Mix(70, static_cast<int>(random.Next() & 0xFF));
  if (effects > 0 && random.Next() % 4 == 0) --effects;
  if (creatures < 20 && random.Next() % 50 == 0) ++creatures;
}

CommandMessage BattleModel::Validation() const {
  return MakeValidateMessage(random.indexA ^ random.indexB, creatures, effects);
}

std::vector<uint32_t> BattleModel::FinalWords() const {
  return {state,
          static_cast<uint32_t>(random.indexA),
          static_cast<uint32_t>(random.indexB),
          static_cast<uint32_t>(creatures),
          static_cast<uint32_t>(effects),
          static_cast<uint32_t>(timer)};
}

// --- the rig -------------------------------------------------------------------------------

RigMachine::RigMachine(int index, const bool& validateFrames)
    : model(&net.client), hand(1000u + static_cast<uint32_t>(index)), validate(validateFrames) {
  hooks = DefaultNetHooks();
  hooks.commands = &model;
  hooks.battle = &model;
}

bool RigMachine::Validation(CommandMessage& record) {
  if (validate) record = model.Validation();
  return validate;
}

void RigMachine::Work(int frame) {
  model.Work();
  CNetClient& client = net.client;
  if (static_cast<double>(hand.Next() % 1000) >= commandRate * 1000) return;
  const int creature = static_cast<int>(hand.Next() % 22);  // now and then one that does not exist
  const int other = static_cast<int>(hand.Next() % 22);
  const int x = static_cast<int>(hand.Next() % 64), y = static_cast<int>(hand.Next() % 64);
  switch (hand.Next() % 6) {
    case 0:
      client.AddMessage(MakeCellCommand(MSG_CREATURE_WALK, creature, x, y, 1));
      break;
    case 1:
      client.AddMessage(MakeCreatureCommand(MSG_CREATURE_ATTACK, creature, other));
      break;
    case 2:
      client.AddMessage(MakeCastSpellCommand(x % 104, x, y, 0, creature, -1));
      break;
    case 3:
      client.AddMessage(MakeCellCommand(MSG_Q_CREATURE_WALK, creature, x, y, 2));
      break;
    case 4:
      client.AddMessage(MakeCreatureCommand(MSG_FOLLOW_CREATURE, creature, other));
      break;
    default:
      client.AddMessage(MakeCounterMessage(x));
      break;
  }
}

LockstepRig::LockstepRig(int count, int messageDelay, uint64_t seed, const platform::LoopbackConditions& conditions)
    : clock(1000), network(seed), delay(messageDelay) {
  network.SetConditions(conditions);
  for (int i = 0; i < count; ++i) machines.push_back(std::make_unique<RigMachine>(i, validate));
}

void LockstepRig::Start() {
  std::vector<NetMachine*> nets;
  for (auto& machine : machines) nets.push_back(&machine->net);
  StartLoopbackBattle(network, nets, delay);
}

void LockstepRig::Step(RigMachine& machine, int target) {
  if (machine.ended || machine.paused) return;
  NetHooksScope scope(machine.hooks);
  if (machine.net.frame >= target) {
    machine.net.Serve();
    return;
  }
  if (machine.net.StepFrame(machine) == NetWait::kFailed) machine.ended = true;
}

int LockstepRig::Run(int frames, int maxRounds) {
  for (int round = 0; round < maxRounds; ++round) {
    bool done = true;
    for (auto& machine : machines) {
      Step(*machine, frames);
      if (!machine->ended && !machine->paused && machine->net.frame < frames) done = false;
    }
    if (done) return round;
    clock.Advance(stepMs);
  }
  return -1;
}

}  // namespace net_test
