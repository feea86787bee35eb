// A wizard record in the saved game and the table's own file, field by field. A record is
// read whole and checked before it is taken: every number must be one the writer writes.
#include <cmath>
#include <cstring>

#include "core/DataPath.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"

namespace {

// The bytes of a record before its start-object count: flags, name, the further words,
// statistics, weights, deployment key and army, items, talismans, rank, animation name.
constexpr size_t kFixedBytes = 12 + kWizardNameSize + 4 * kWizardFurtherWords + 36 + 4 * kWizardWeights + 8 +
                               4 * kWizardMagicItems + 12 + 8 + kWizardAnimNameSize;
constexpr size_t kStartObjectBytes = 20;
constexpr int kMaxRank = 6;

bool IsFlag(int32_t v) { return v == 0 || v == 1; }
bool IsSpell(int32_t v) { return v >= 0 && v < kSpellCount; }
bool IsTerminated(const char* text, size_t size) { return std::memchr(text, 0, size) != nullptr; }

// The animation is looked up below the creatures' folder: it may not lead out of the data folder.
bool HasSafeLook(const char* animFile) { return animFile[0] == '\0' || IsInsideDataFolder(animFile); }

// The statistics are the ones a wizard file, a generated or a player's wizard can give.
bool HasSafeValues(const CWizard& w) {
  for (int32_t v : {w.maxMana, w.maxHealth, w.controlLimit, w.magicResistance, w.intelligence, w.combatModifier,
                    w.difficultyModifier})
    if (v < -kWizardValueLimit || v > kWizardValueLimit) return false;
  return true;
}

bool ActionIsSound(const CWizardAction& a) {
  return IsFlag(a.valid) && a.destinationKind >= 0 && a.destinationKind <= 2 && IsFlag(a.nodeType) &&
         (a.spellType == -1 || (a.spellType >= 1 && a.spellType < kSpellCount)) && a.targetKind >= 0 &&
         a.targetKind <= 5 && IsFlag(a.targetNodeType) && IsFlag(a.interrupt) && std::isfinite(a.rating);
}

// Reads a piece of the record from the stream onto the end of the buffer.
bool ReadPiece(FILE* file, std::vector<uint8_t>& buffer, size_t n) {
  const size_t at = buffer.size();
  buffer.resize(at + n);
  return bytes::ReadBlock(file, buffer.data() + at, n);
}

int32_t WordAt(const std::vector<uint8_t>& buffer, size_t at) { return bytes::LoadI32(buffer.data() + at); }

}  // namespace

void CWizardAction::Write(bytes::Writer& out) const {
  for (int32_t v : {valid,    destinationKind, sectionId,        x,           y,          z,
                    nodeType, waitingTime,     spellType,        targetKind,  targetId,   targetX,
                    targetY,  targetZ,         targetNodeType,   mana,        health,     beginTime,
                    endTime,  numberOfActions, actionsRemaining, actionsDone, dependancy, interrupt})
    out.I32(v);
  out.F32(rating);
}

void CWizardAction::Read(bytes::Reader& in) {
  for (int32_t* v : {&valid,    &destinationKind, &sectionId,        &x,           &y,          &z,
                     &nodeType, &waitingTime,     &spellType,        &targetKind,  &targetId,   &targetX,
                     &targetY,  &targetZ,         &targetNodeType,   &mana,        &health,     &beginTime,
                     &endTime,  &numberOfActions, &actionsRemaining, &actionsDone, &dependancy, &interrupt})
    *v = in.I32();
  rating = in.F32();
}

void CWizard::Write(bytes::Writer& out) const {
  out.I32(inUse);
  out.I32(deployed);
  out.I32(computer);
  out.Bytes(name, kWizardNameSize);
  for (int32_t v : further) out.I32(v);
  for (int32_t v : {groupKey, maxMana, maxHealth, controlLimit, magicResistance, intelligence, combatModifier,
                    difficultyModifier, experience})
    out.I32(v);
  for (int32_t v : weights) out.I32(v);
  out.I32(deploymentKey);
  out.I32(army);
  for (int32_t v : magicItems) out.I32(v);
  for (int32_t v : talismans) out.I32(v);
  out.I32(rank);
  out.I32(rankCounter);
  out.Bytes(animFile, kWizardAnimNameSize);
  out.I32(startObjectCount);
  for (int n = 0; n < startObjectCount; ++n) {
    out.I32(startObjects[n].kind);
    for (int32_t v : startObjects[n].values) out.I32(v);
  }
  for (const CWizardAction& action : actions) action.Write(out);
  out.I32(spellCursor);
  out.I32(spellCount);
  out.I32(static_cast<int32_t>(spellPool.size()));
  for (int32_t spell : spellPool) out.I32(spell);
  const bool hasText = textBlock.size() == static_cast<size_t>(kWizardTextBlockBytes);
  out.U8(hasText ? 1 : 0);
  if (hasText) out.Bytes(textBlock.data(), textBlock.size());
}

bool CWizard::Read(bytes::Reader& in) {
  CWizard staged = *this;
  staged.inUse = in.I32();
  staged.deployed = in.I32();
  staged.computer = in.I32();
  in.Bytes(staged.name, kWizardNameSize);
  for (int32_t& v : staged.further) v = in.I32();
  for (int32_t* v :
       {&staged.groupKey, &staged.maxMana, &staged.maxHealth, &staged.controlLimit, &staged.magicResistance,
        &staged.intelligence, &staged.combatModifier, &staged.difficultyModifier, &staged.experience})
    *v = in.I32();
  for (int32_t& v : staged.weights) v = in.I32();
  staged.deploymentKey = in.I32();
  staged.army = in.I32();
  for (int32_t& v : staged.magicItems) v = in.I32();
  for (int32_t& v : staged.talismans) v = in.I32();
  staged.rank = in.I32();
  staged.rankCounter = in.I32();
  in.Bytes(staged.animFile, kWizardAnimNameSize);
  if (!in.Ok() || !IsFlag(staged.inUse) || !IsFlag(staged.deployed) || !IsTerminated(staged.name, kWizardNameSize) ||
      !IsTerminated(staged.animFile, kWizardAnimNameSize) || !HasSafeLook(staged.animFile) || !HasSafeValues(staged) ||
      staged.army < -1 || staged.army > 7 || staged.rank < 1 || staged.rank > kMaxRank)
    return false;
  for (int32_t item : staged.magicItems)
    if (item < -1 || item >= kWizardMagicItems) return false;

  staged.startObjectCount = in.I32();
  if (!in.Ok() || staged.startObjectCount < 0 || staged.startObjectCount > kWizardStartObjects) return false;
  for (int n = 0; n < staged.startObjectCount; ++n) {
    staged.startObjects[n].kind = in.I32();
    for (int32_t& v : staged.startObjects[n].values) v = in.I32();
  }
  for (CWizardAction& action : staged.actions) {
    action.Read(in);
    if (!ActionIsSound(action)) return false;
  }

  staged.spellCursor = in.I32();
  staged.spellCount = in.I32();
  const int32_t capacity = in.I32();
  if (!in.Ok() || capacity < 0 || capacity > kWizardSpellPoolMax || staged.spellCount < 0 ||
      staged.spellCount > capacity || staged.spellCursor < 0 || staged.spellCursor > capacity ||
      !in.Has(static_cast<size_t>(capacity) * 4))
    return false;
  staged.spellPool.assign(capacity, 0);
  for (int32_t& spell : staged.spellPool) {
    spell = in.I32();
    if (!IsSpell(spell)) return false;
  }
  const uint8_t hasText = in.U8();
  if (!in.Ok() || hasText > 1) return false;
  if (hasText) {
    staged.textBlock.assign(kWizardTextBlockBytes, 0);
    if (!in.Bytes(staged.textBlock.data(), kWizardTextBlockBytes) || !WizardTextBlockIsSound(staged.textBlock))
      return false;
  } else {
    staged.textBlock.clear();
  }
  staged.index = index;
  *this = std::move(staged);
  return true;
}

// The record's bytes from a stream, read piece by piece so that each count is checked
// before the bytes it counts are asked for; false on a short read or a count out of range.
bool ReadWizardRecordBytes(FILE* file, std::vector<uint8_t>& buffer) {
  buffer.clear();
  if (!file || !ReadPiece(file, buffer, kFixedBytes + 4)) return false;
  const int32_t objects = WordAt(buffer, kFixedBytes);
  if (objects < 0 || objects > kWizardStartObjects) return false;
  if (!ReadPiece(file, buffer, objects * kStartObjectBytes + kWizardActions * kWizardActionBytes + 12)) return false;
  const int32_t capacity = WordAt(buffer, buffer.size() - 4);
  if (capacity < 0 || capacity > kWizardSpellPoolMax) return false;
  if (!ReadPiece(file, buffer, static_cast<size_t>(capacity) * 4 + 1)) return false;
  const uint8_t hasText = buffer.back();
  if (hasText > 1) return false;
  return !hasText || ReadPiece(file, buffer, kWizardTextBlockBytes);
}

int CWizard::Save(FILE* file) const {
  bytes::Writer out;
  Write(out);
  if (!file || !bytes::WriteBlock(file, out.Data().data(), out.Size())) return -1;
  return static_cast<int>(out.Size());
}

int CWizard::Load(FILE* file) {
  std::vector<uint8_t> buffer;
  if (!ReadWizardRecordBytes(file, buffer)) return -1;
  bytes::Reader in(buffer);
  if (!Read(in) || in.Remaining() != 0) return -1;
  return static_cast<int>(buffer.size());
}
