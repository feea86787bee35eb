// The script's parts of a saved game: its events in the battle's block (CScript::SaveEvents,
// CScript::LoadEvents) and the campaign's characters, flags and completed regions in the
// saved game itself (CScript::Save, CScript::Load). Both are written field by field in the
// records' own layout; a load reads the whole part into temporaries, checks every count,
// type, state, index and name, and only then takes it, so that a refused part leaves the
// running script as it was.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/Bytes.h"
#include "creatures/CreatureArray.h"

namespace {

constexpr int kEventBytes = static_cast<int>(sizeof(CScriptEvent));
// The capacity word, the count, then after the records two reserved words, the interface
// watch and the terrain snapshot.
constexpr int kEventsHeadBytes = 8;
constexpr int kEventsTailBytes = 12 + 4 * kScriptSnapshotWords;
constexpr int kActorBytes = static_cast<int>(sizeof(ScriptActor));
constexpr int kScriptStateBytes = kScriptActorCount * kActorBytes + kScriptFlagCount + kRegionCompletionBytes;
static_assert(kScriptStateBytes == 12904, "the saved script state is 12904 bytes");

// --- one walk over a record's fields, for the writer and the reader alike ---------------------

struct FieldWriter {
  bytes::Writer& out;
  void operator()(const int32_t& value) { out.I32(value); }
  void operator()(const float& value) { out.F32(value); }
  template <size_t N>
  void operator()(const char (&text)[N]) {
    out.Bytes(text, N);
  }
  void Raw(const uint8_t* data, size_t size) { out.Bytes(data, size); }
};

// Reads the fields back; a text without its terminating zero or a float that is not a
// number spoils the record.
struct FieldReader {
  bytes::Reader& in;
  bool sound = true;
  void operator()(int32_t& value) { value = in.I32(); }
  void operator()(float& value) {
    value = in.F32();
    if (!std::isfinite(value)) sound = false;
  }
  template <size_t N>
  void operator()(char (&text)[N]) {
    in.Bytes(text, N);
    if (!std::memchr(text, 0, N)) sound = false;
  }
  void Raw(uint8_t* data, size_t size) { in.Bytes(data, size); }
};

template <class Visit, class... Fields>
void Each(Visit& visit, Fields&... fields) {
  (visit(fields), ...);
}

template <class Visit, class Event>
void VisitCommonFields(Visit& v, Event& e) {
  Each(v, e.inUse, e.type, e.runState, e.actionsLeft, e.prePauseLeft, e.prePause, e.postPauseLeft, e.postPause,
       e.snapshotStart, e.artefactEventCount, e.graphic, e.sound, e.soundDelayLeft, e.soundDelay);
  Each(v, e.timeElapsed, e.timeLimit);
  for (auto& number : e.complete) v(number);
  v(e.allComplete);
  for (auto& number : e.inComplete) v(number);
  Each(v, e.allInComplete, e.minimumDifficulty, e.maximumDifficulty, e.flagSet, e.flagClear, e.regionComplete,
       e.regionIncomplete);
  Each(v, e.dependentCharacter, e.dependentCharacterStatus, e.minimumMana, e.maximumMana, e.minimumHealth,
       e.maximumHealth, e.dependentLocation, e.notAtLocation, e.characterDiscovered, e.rangeCharacter, e.range,
       e.outOfRange, e.charactersArtefact, e.dependentArtefactStatus);
  Each(v, e.dependentArtefact, e.artefactStatus, e.artefactNumber, e.possessingArmy, e.artefactLocation,
       e.changedLocation, e.change);
  Each(v, e.triggerTarget, e.triggerCreatureType, e.excludeCreatureType, e.triggerCharacter, e.triggerLocation,
       e.deathActivate, e.isAligned, e.notAligned, e.minMR, e.maxMR, e.minIntelligence, e.maxIntelligence,
       e.minTriggerHealth, e.maxTriggerHealth, e.minTriggerMana, e.maxTriggerMana, e.minWeight, e.maxWeight, e.minSpeed,
       e.maxSpeed, e.triggerArmy, e.safeArmy, e.movementState, e.undeadState, e.visibleState);
  Each(v, e.interfaceCommand, e.interfaceSpell, e.creatureSelected, e.firstArmy, e.secondArmy, e.hostile);
}

template <class Visit, class Part>
void VisitCommand(Visit& v, Part& c) {
  Each(v, c.commandCharacter, c.interrupt, c.threshold, c.rating, c.destinationType, c.destinationCharacter,
       c.destinationLocation, c.destinationArtefact, c.rangeToArtefact, c.safeRoute, c.dropArtefact, c.giveArtefact,
       c.commandArtefact, c.spellToCast, c.spellTarget, c.targetCharacter, c.targetLocation, c.targetCreatureType,
       c.manaBoost);
}

template <class Visit, class Part>
void VisitDialogue(Visit& v, Part& d) {
  Each(v, d.speakingCharacter, d.speakerName, d.speakerStatus, d.speechLocation, d.speechArtefact, d.dialogueIndex,
       d.scrollType, d.portrait, d.disembodied, d.illuminate, d.dontScrollBack, d.heraldWait, d.heraldAtCharacter,
       d.speech, d.tutorialCommand, d.tutorialSpell, d.tutorialSelected);
}

template <class Visit, class Part>
void VisitDeployment(Visit& v, Part& d) {
  Each(v, d.deployedCharacter, d.temporary, d.deployedArmy, d.deployedArtefact, d.deploymentType,
       d.deployNextToCharacter, d.deploymentLocation, d.deployNextToArtefact);
  Each(v, d.wizard, d.creatureType, d.rank, d.equipment, d.illusion, d.undead, d.invisibility, d.bloodLust, d.ironSkin,
       d.haste, d.levitation, d.gorgonStare, d.earthBind, d.initialHealth, d.initialMana, d.initialPoison,
       d.unsummonDuration);
  for (auto& item : d.artefact) v(item);
  Each(v, d.guard, d.wanderRange, d.wanderMode, d.wanderDistance, d.wanderDelay, d.aggression, d.canCastOnAllies,
       d.keyCharacter);
}

// The type part by the record's type, then the bytes the type does not use, as they stand.
template <class Visit, class Event>
void VisitTypePart(Visit& v, Event& e) {
  size_t used = 0;
  switch (e.type) {
    case kScriptCommand:
      VisitCommand(v, e.command);
      used = sizeof e.command;
      break;
    case kScriptDialogue:
      VisitDialogue(v, e.dialogue);
      used = sizeof e.dialogue;
      break;
    case kScriptDeployment:
      VisitDeployment(v, e.deployment);
      used = sizeof e.deployment;
      break;
    case kScriptPortal: {
      auto& p = e.portal;
      Each(v, p.portalPosition, p.portalCharacter, p.rangeFromCharacter, p.portalLocation, p.portalArtefact,
           p.portalCountDown);
      used = sizeof e.portal;
      break;
    }
    case kScriptTrap: {
      auto& t = e.trap;
      Each(v, t.trapTargetCharacter, t.trapTargetLocation, t.trapSpell, t.sourceLocation, t.trapTarget, t.terrainEvent,
           t.createdTerrain, t.poisonCharacter, t.promotion);
      used = sizeof e.trap;
      break;
    }
    case kScriptDiplomacy: {
      auto& d = e.diplomacy;
      Each(v, d.diplomacyCharacter, d.newArmy, d.diplomacyArmy, d.hostileArmy, d.friendlyArmy, d.viewArmy, d.canView);
      used = sizeof e.diplomacy;
      break;
    }
    case kScriptExperience: {
      auto& x = e.experience;
      Each(v, x.experiencePoints, x.experienceText, x.itemGained, x.experienceType, x.experienceCharacter,
           x.experienceLocation, x.experienceArtefact, x.centre);
      used = sizeof e.experience;
      break;
    }
    case kScriptFlag:
      Each(v, e.flag.setFlag, e.flag.clearFlag);
      used = sizeof e.flag;
      break;
    default:
      break;
  }
  v.Raw(e.typeBytes + used, sizeof e.typeBytes - used);
}

bool KnownType(int32_t type) {
  switch (type) {
    case kScriptNull:
    case kScriptCommand:
    case kScriptDialogue:
    case kScriptDeployment:
    case kScriptPortal:
    case kScriptTrap:
    case kScriptDiplomacy:
    case kScriptExperience:
    case kScriptFlag:
      return true;
    default:
      return false;
  }
}

void WriteEvent(bytes::Writer& out, const CScriptEvent& e) {
  FieldWriter writer{out};
  VisitCommonFields(writer, e);
  VisitTypePart(writer, e);
}

// False for a record the engine could not run: an unknown type or run state, a snapshot
// start outside the snapshot, an in-use word not 0 or 1, a text without its end.
bool ReadEvent(bytes::Reader& in, CScriptEvent& e) {
  FieldReader reader{in};
  VisitCommonFields(reader, e);
  if (!in.Ok() || !KnownType(e.type)) return false;
  VisitTypePart(reader, e);
  return in.Ok() && reader.sound && (e.inUse == 0 || e.inUse == 1) && e.runState >= kScriptArmed &&
         e.runState <= kScriptRetired && e.snapshotStart >= -1 && e.snapshotStart < kScriptSnapshotWords;
}

// --- the saved script state -----------------------------------------------------------------------

void WriteActor(bytes::Writer& out, const ScriptActor& actor) {
  out.I32(actor.inUse);
  out.Bytes(actor.name, sizeof actor.name);
  out.I32(actor.state);
  out.I32(actor.creature);
  for (int32_t word : actor.lastCell) out.I32(word);
  out.I32(actor.temporary);
  out.I32(actor.keyCharacter);
}

// A free entry keeps whatever state it last had (0 when never used); a used one is in one of
// the five states; a bound creature lies within the creature array.
bool ReadActor(bytes::Reader& in, ScriptActor& actor) {
  actor.inUse = in.I32();
  in.Bytes(actor.name, sizeof actor.name);
  actor.state = in.I32();
  actor.creature = in.I32();
  for (int32_t& word : actor.lastCell) word = in.I32();
  actor.temporary = in.I32();
  actor.keyCharacter = in.I32();
  if (!in.Ok() || !std::memchr(actor.name, 0, sizeof actor.name)) return false;
  if (actor.inUse != 0 && actor.inUse != 1) return false;
  const int lowest = actor.inUse ? kActorAliveInBattle : 0;
  if (actor.state < lowest || actor.state > kActorDeadInCampaign) return false;
  return actor.creature == -1 || (actor.creature >= 0 && actor.creature < g_creatureArray.Capacity());
}

int WriteAll(FILE* file, const bytes::Writer& out) {
  if (!bytes::WriteBlock(file, out.Data().data(), out.Size())) return -1;
  return static_cast<int>(out.Size());
}

}  // namespace

int CScript::SaveEvents(FILE* file) const {
  bytes::Writer out;
  out.I32(capacity);
  out.I32(eventCount);
  for (int r = 0; r < eventCount; ++r) WriteEvent(out, records[r]);
  out.I32(reserved[0]);
  out.I32(reserved[1]);
  out.I32(interfaceWatch);
  for (int32_t word : snapshot) out.I32(word);
  return WriteAll(file, out);
}

int CScript::LoadEvents(FILE* file) {
  uint8_t head[kEventsHeadBytes];
  if (!bytes::ReadBlock(file, head, sizeof head)) return -1;
  // The capacity word is the writer's; only the count matters.
  const int32_t count = bytes::LoadI32(head + 4);
  if (count < 0 || count > capacity) return -1;
  std::vector<uint8_t> data(static_cast<size_t>(count) * kEventBytes + kEventsTailBytes);
  if (!bytes::ReadBlock(file, data.data(), data.size())) return -1;
  bytes::Reader in(data);
  std::unique_ptr<CScriptEvent[]> read(new CScriptEvent[static_cast<size_t>(capacity)]);
  for (int r = 0; r < capacity; ++r) read[r].Reset();
  for (int r = 0; r < count; ++r)
    if (!ReadEvent(in, read[r])) return -1;
  int32_t readReserved[2], readWatch, readSnapshot[kScriptSnapshotWords];
  readReserved[0] = in.I32();
  readReserved[1] = in.I32();
  readWatch = in.I32();
  for (int32_t& word : readSnapshot) word = in.I32();
  if (!in.Ok() || (readWatch != 0 && readWatch != 1)) return -1;
  records = std::move(read);
  eventCount = count;
  std::memcpy(reserved, readReserved, sizeof reserved);
  interfaceWatch = readWatch;
  std::memcpy(snapshot, readSnapshot, sizeof snapshot);
  return kEventsHeadBytes + static_cast<int>(data.size());
}

int CScript::Save(FILE* file) {
  bytes::Writer out;
  for (const ScriptActor& actor : g_scriptActors.entries) WriteActor(out, actor);
  out.Bytes(g_scriptActors.flags, sizeof g_scriptActors.flags);
  out.Bytes(g_scriptActors.regionCompletion, sizeof g_scriptActors.regionCompletion);
  return WriteAll(file, out);
}

int CScript::Load(FILE* file) {
  std::vector<uint8_t> data(kScriptStateBytes);
  if (!bytes::ReadBlock(file, data.data(), data.size())) return -1;
  bytes::Reader in(data);
  auto read = std::make_unique<CScriptActors>();
  for (ScriptActor& actor : read->entries)
    if (!ReadActor(in, actor)) return -1;
  in.Bytes(read->flags, sizeof read->flags);
  in.Bytes(read->regionCompletion, sizeof read->regionCompletion);
  if (!in.Ok()) return -1;
  g_scriptActors = *read;
  g_scriptActors.iterationIndex = 0;
  return kScriptStateBytes;
}
