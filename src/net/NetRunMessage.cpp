// Running a frame message: the validation records it carries are compared with this
// machine's, and its commands act on the creatures, spells, world objects and battle.
#include <cstdio>

#include "core/Options.h"
#include "core/RecordLog.h"
#include "core/TraceLog.h"
#include "net/NetClient.h"
#include "net/NetHooks.h"
#include "net/NetLog.h"

namespace {

constexpr int kSpellRecordWords = 11;

bool ValidCreature(int32_t creature) { return creature >= 0 && creature < g_netHooks.commands->CreatureCount(); }

bool ValidLiving(int32_t creature) { return ValidCreature(creature) && g_netHooks.commands->IsAlive(creature); }

void LogSubMessage(int32_t type) {
  if (!NetLogging()) return;
  NetLogAdd("  [interface message]:");
  const char* name = NetMessageName(type);
  if (!name) {
    NetLogAdd("  <unknown message>\n");
    return;
  }
  char line[64];
  std::snprintf(line, sizeof line, "  %s", name);
  NetLogAdd(line);
}

void CastSpell(const uint8_t* command) {
  int32_t record[kSpellRecordWords];
  for (int i = 0; i < kSpellRecordWords; ++i) record[i] = MessageWord(command, 3 + i);
  const int32_t spell = record[0], caster = record[7], target = record[8];
  if (spell < 0 || spell >= kSpellCount || !ValidCreature(caster) || (target != -1 && !ValidCreature(target))) return;
  g_netHooks.commands->CastSpell(record);
}

}  // namespace

bool CNetClient::RunBattleMessage(const uint8_t* message, size_t size) {
  if (!CheckFrameMessage(message, size, kFrameOriginHost) && !CheckFrameMessage(message, size, kFrameOriginClient)) {
    NetLogAdd("malformed frame message not run");
    return true;
  }
  if (FrameHasCommands(message)) {
    CRecordLog* log = g_netHooks.battle->RecordLog();
    if (log && log->isOpen && log->isWriting) log->WriteRecord(message, static_cast<uint32_t>(size));
  }
  return RunChecked(message, false);
}

bool CNetClient::RunChecked(const uint8_t* message, bool nested) {
  const CNetFrameHeader header = ReadFrameHeader(message);
  NetLogLine("[MSG_COMPOUND]", {header.frame});
  int position = kFrameHeaderBytes;
  for (int i = 0; i < header.count; ++i) {
    const uint8_t* sub = message + position;
    const int32_t type = MessageWord(sub, 1);
    if (type == MSG_COMPOUND) {
      if (!RunChecked(sub, true)) return false;
    } else {
      LogSubMessage(type);
      if (type == MSG_VALIDATE_FRAME) {
        if (!CheckValidation(sub, header.frame)) return false;
      } else {
        RunCommand(sub);
      }
    }
    position += MessageWord(sub, 2);
  }
  return true;
}

const char* CNetClient::DivergenceCaption() {
  // A frame played from a record that this machine no longer runs the same way (another map
  // seed, changed data) is the playback's fault, not the network's: the frame never crossed it.
  return runningRecord_ ? "GENERAL ERROR" : "CRITICAL NETWORK ERROR";
}

bool CNetClient::CheckValidation(const uint8_t* record, int frame) {
  const CNetFrameCheckRing::Entry* own = checkRing.Find(frame);
  if (!own) {
    NetLogLine("could not check validation info. local copy not in queue");
    return true;
  }
  if (MessageWord(record, 3) != MessageWord(own->record, 3)) {
    if (g_netRandomLog) g_traceLog.WriteToFile("rand_log.txt");
    Fail("message validation: random numbers out of synch", DivergenceCaption());
    return false;
  }
  if (MessageWord(record, 4) != MessageWord(own->record, 4)) {
    Fail("message validation: number of active creatures out of synch", DivergenceCaption());
    return false;
  }
  if (MessageWord(record, 5) != MessageWord(own->record, 5)) {
    if (g_netEffectsLog) g_netHooks.commands->WriteEffectLog("fx_log.txt");
    Fail("message validation: number of active effects out of synch", DivergenceCaption());
    return false;
  }
  ++validationsAgreed;
  return true;
}

void CNetClient::RunCommand(const uint8_t* command) {
  INetCommandSink& sink = *g_netHooks.commands;
  INetBattle& battle = *g_netHooks.battle;
  const int32_t type = MessageWord(command, 1);
  const int32_t creature = MessageWord(command, 3);
  // Commands of two creatures carry one word more; those of a creature and a cell (or the
  // three chest values) three.
  const int32_t a = CommandLength(type) >= 20 ? MessageWord(command, 4) : 0;
  const bool cellCommand = CommandLength(type) >= 28;
  const int32_t b = cellCommand ? MessageWord(command, 5) : 0;
  const int32_t c = cellCommand ? MessageWord(command, 6) : 0;
  switch (type) {
    case MSG_CAST_SPELL:
      CastSpell(command);
      break;
    case MSG_CREATURE_WALK:
    case MSG_WALK_TO_CHEST:
    case MSG_CREATURE_ATTACK_TERRAIN:
      if (!ValidCreature(creature)) break;
      sink.ClearPathMarkers(creature);
      sink.SetFollowTarget(creature, -1);
      if (type == MSG_CREATURE_WALK) sink.WalkTo(creature, a, b, c);
      if (type == MSG_WALK_TO_CHEST) sink.WalkToCell(creature, a, b, c);
      if (type == MSG_CREATURE_ATTACK_TERRAIN) sink.AttackTerrain(creature, a, b, c);
      break;
    case MSG_CREATURE_ATTACK:
      if (!ValidLiving(creature) || !ValidLiving(a)) break;
      sink.ClearPathMarkers(creature);
      sink.SetFollowTarget(creature, -1);
      sink.AttackCreature(creature, a);
      break;
    case MSG_USE_ARTIFACT:
      if (ValidCreature(creature) && a >= 0 && a < kItemEvents) sink.ProcessEventAt(creature, a);
      break;
    case MSG_DROP_ARTIFACT:
      sink.OpenChestAt(ValidCreature(creature) ? creature : -1, a, b, c);
      break;
    case MSG_Q_CREATURE_ATTACK:
      if (!ValidLiving(creature) || !ValidLiving(a)) break;
      sink.SetFollowTarget(creature, -1);
      sink.ApplyQueuedOrder(creature, 3, 0, 0, 0, a);
      break;
    case MSG_Q_CREATURE_WALK:
      if (!ValidCreature(creature)) break;
      sink.SetFollowTarget(creature, -1);
      sink.ApplyQueuedOrder(creature, 2, a, b, c, -1);
      break;
    case MSG_FOLLOW_CREATURE:
      if (!ValidLiving(creature) || !ValidLiving(a)) break;
      sink.ClearPathMarkers(creature);
      sink.SetFollowTarget(creature, a);
      break;
    case MSG_COUNTER:
      if (creature >= -1) battle.SetBattleTimer(creature);
      break;
    case MSG_PAUSE:
      battle.Pause(creature);
      break;
    case MSG_SPEECH_CLOSED:
      battle.SpeechClosed(creature);
      break;
    case MSG_CAMERA_BACK:
      battle.CameraBack(creature);
      break;
    case MSG_INTERFACE_COMMAND:
      battle.InterfaceCommand(creature);
      break;
    default:
      break;
  }
}
