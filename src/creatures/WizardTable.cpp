// The table of 80 wizard records: look-ups and counts, the wizard types taken in a battle,
// the saved-game block and the table's own file.
#include "creatures/WizardTable.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "creatures/CreatureAnims.h"
#include "creatures/CreatureHooks.h"
#include "platform/Files.h"

CWizardTable g_wizardTable;

namespace {

// The table answers the creatures' notices: a wizard creature left the map, and the player
// saw something for the first time (noted in the player's wizard record, when there is one).
class CWizardNotices : public ICreatureWizards {
 public:
  void NoteSeen(int kind, int number) override {
    if (CWizard* player = g_wizardTable.At(FindPlayerWizardIndex())) player->NoteSeen(kind, number);
  }
  void WizardGone(int wizardNumber) override { g_wizardTable.FreeWizardNumber(wizardNumber); }
};
CWizardNotices g_wizardNotices;

// Reads all 80 records into staged; the bytes read, or -1.
int LoadRecords(FILE* file, std::vector<CWizard>& staged) {
  int total = 0;
  std::vector<uint8_t> buffer;
  for (CWizard& wizard : staged) {
    if (!ReadWizardRecordBytes(file, buffer)) return -1;
    bytes::Reader in(buffer);
    if (!wizard.Read(in) || in.Remaining() != 0) return -1;
    total += static_cast<int>(buffer.size());
  }
  return total;
}

}  // namespace

CWizardTable::CWizardTable() {
  for (int i = 0; i < kWizardRecords; ++i) records[i].index = i;
  Clear();
}

int CWizardTable::FindFree() const {
  for (int i = 0; i < kWizardRecords; ++i)
    if (!records[i].inUse) return i;
  return -1;
}

void CWizardTable::Clear() {
  for (CWizard& wizard : records) wizard.Reset();
  FreeWizardNumbers();
}

CWizard* CWizardTable::FindByName(const char* name) {
  if (!name) return nullptr;
  for (CWizard& wizard : records)
    if (wizard.computer == 0 && std::strcmp(wizard.name, name) == 0) return &wizard;
  return nullptr;
}

int CWizardTable::CountMatching(int key) const {
  int count = 0;
  for (const CWizard& wizard : records)
    if (wizard.inUse && wizard.groupKey == key) ++count;
  return count;
}

int CWizardTable::CountInGroup(int key) const {
  int count = 0;
  for (const CWizard& wizard : records)
    if (wizard.inUse && wizard.computer != 0 && wizard.groupKey == key) ++count;
  return count;
}

int CWizardTable::IndexOf(const CWizard* wizard) const {
  if (wizard < records || wizard >= records + kWizardRecords) return -1;
  return static_cast<int>(wizard - records);
}

const char* CWizardTable::GetAnimFileName() const { return g_wizardAnimFileName; }

int CWizardTable::TakeWizardNumber() {
  for (int n = 0; n < 4; ++n)
    if (!wizardNumberUsed[n]) {
      wizardNumberUsed[n] = 1;
      return n;
    }
  return -1;
}

void CWizardTable::FreeWizardNumber(int number) {
  if (number >= 0 && number < 4) wizardNumberUsed[number] = 0;
}

void CWizardTable::FreeWizardNumbers() {
  for (int32_t& used : wizardNumberUsed) used = 0;
}

int CWizardTable::Save(FILE* file) const {
  bytes::Writer out;
  for (const CWizard& wizard : records) wizard.Write(out);
  if (!file || !bytes::WriteBlock(file, out.Data().data(), out.Size())) return -1;
  return static_cast<int>(out.Size());
}

int CWizardTable::Load(FILE* file) {
  if (!file) return -1;
  std::vector<CWizard> table(std::begin(records), std::end(records));
  const int total = LoadRecords(file, table);
  if (total < 0) return -1;
  for (int i = 0; i < kWizardRecords; ++i) std::swap(records[i], table[i]);
  return total;
}

bool CWizardTable::SaveToFile(const char* path) const {
  platform::ReplacementFile file;
  if (!path || !file.Open(path)) return false;
  if (Save(file.Stream()) < 0) return false;
  return file.Commit();
}

bool CWizardTable::LoadFromFile(const char* path) {
  if (!path) return false;
  FILE* file = platform::OpenFile(path, "rb");
  if (!file) return false;
  const int result = Load(file);
  std::fclose(file);
  return result >= 0;
}

int FindPlayerWizardIndex() {
  for (int i = 0; i < kWizardRecords; ++i)
    if (g_wizardTable.records[i].inUse && g_wizardTable.records[i].computer == 0) return i;
  return -1;
}

void InstallWizards() { g_creatureWizards.Install(&g_wizardNotices); }
