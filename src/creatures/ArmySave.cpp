// The army table's block of the saved game: per army its in-use word and, for an army in use,
// the rest of its record; then the local army index. A block is read and checked whole before
// anything changes.
#include <cstring>

#include "core/Bytes.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"

namespace {

constexpr int kWizardRecords = 80;
constexpr size_t kRecordBytes = 328;  // after the in-use word

bool IsFlag(int32_t v) { return v == 0 || v == 1; }
bool AreFlags(const uint8_t (&bytes)[kArmyCount]) {
  for (uint8_t b : bytes)
    if (b > 1) return false;
  return true;
}

void WriteRecord(bytes::Writer& out, const CArmy& army) {
  out.I32(army.human);
  out.I32(army.local);
  out.I32(army.wizardCreature);
  out.I32(army.wizardRecord);
  out.I32(army.deploymentKey);
  for (uint8_t b : army.alliance) out.U8(b);
  for (uint8_t b : army.sharedVision) out.U8(b);
  for (int32_t g : army.grievance) out.I32(g);
  out.Bytes(reinterpret_cast<const uint8_t*>(army.name), kArmyNameSize);
  out.I32(army.colour);
}

// Reads the rest of a record in use; false when it breaks the table's rules.
bool ReadRecord(bytes::Reader& in, CArmy& army) {
  army.human = in.I32();
  army.local = in.I32();
  army.wizardCreature = in.I32();
  army.wizardRecord = in.I32();
  army.deploymentKey = in.I32();
  for (uint8_t& b : army.alliance) b = in.U8();
  for (uint8_t& b : army.sharedVision) b = in.U8();
  for (int32_t& g : army.grievance) g = in.I32();
  in.Bytes(reinterpret_cast<uint8_t*>(army.name), kArmyNameSize);
  army.colour = in.I32();
  return IsFlag(army.human) && IsFlag(army.local) && army.wizardCreature >= -1 &&
         army.wizardCreature < kCreatureCapacity && army.wizardRecord >= -1 && army.wizardRecord < kWizardRecords &&
         AreFlags(army.alliance) && AreFlags(army.sharedVision) && army.colour >= 0 && army.colour < kArmyCount &&
         std::memchr(army.name, 0, kArmyNameSize) != nullptr;
}

}  // namespace

int CArmyTable::Save(FILE* file) const {
  bytes::Writer out;
  for (const CArmy& army : armies) {
    out.I32(army.inUse);
    if (army.inUse) WriteRecord(out, army);
  }
  out.I32(localIndex);
  if (!file || !bytes::WriteBlock(file, out.Data().data(), out.Size())) return -1;
  return static_cast<int>(out.Size());
}

int CArmyTable::Load(FILE* file) {
  if (!file) return -1;
  CArmy staged[kArmyCount];
  size_t read = 0;
  for (int n = 0; n < kArmyCount; ++n) {
    staged[n] = armies[n];
    uint8_t word[4];
    if (!bytes::ReadBlock(file, word, sizeof word)) return -1;
    read += sizeof word;
    staged[n].inUse = bytes::LoadI32(word);
    if (!IsFlag(staged[n].inUse)) return -1;
    if (!staged[n].inUse) continue;
    uint8_t record[kRecordBytes];
    if (!bytes::ReadBlock(file, record, sizeof record)) return -1;
    read += sizeof record;
    bytes::Reader in(record, sizeof record);
    if (!ReadRecord(in, staged[n])) return -1;
  }
  uint8_t word[4];
  if (!bytes::ReadBlock(file, word, sizeof word)) return -1;
  read += sizeof word;
  const int32_t local = bytes::LoadI32(word);
  if (local < -1 || local >= kArmyCount) return -1;
  for (int n = 0; n < kArmyCount; ++n) armies[n] = staged[n];
  localIndex = local;
  // The battle block adds up what its parts read, as it adds up what they wrote.
  return static_cast<int>(read);
}
