// Feeds arbitrary bytes to the wizard table's block (the saved game's and the table file's):
// the input stands as the first record, followed by blank records for the other 79. A block
// the table takes saves back byte for byte; one it refuses changes nothing. Seeds, the
// records of a player's and a computer's wizard, are written by the table's own writer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SavedBlock.h"
#include "creatures/WizardTable.h"
#include "platform/Files.h"

namespace {

std::vector<uint8_t> Saved() { return fuzz::SavedBytes(g_wizardTable); }

std::vector<uint8_t> RecordBytes(const CWizard& wizard) {
  bytes::Writer out;
  wizard.Write(out);
  return out.Data();
}

std::vector<uint8_t> Seed(bool player) {
  CWizard wizard;
  wizard.inUse = 1;
  std::snprintf(wizard.name, kWizardNameSize, player ? "Edric" : "Morgath");
  wizard.computer = player ? 0 : 1;
  if (player) {
    wizard.NoteSeen(4, 11);  // its list of things seen
    wizard.NoteSeen(5, 44);
  }
  wizard.AddSpell(4);
  wizard.AddMagicItem(3);
  const int32_t values[4] = {1, 2, 3, 4};
  wizard.AddQueuedEntry(30, values);
  wizard.actions[0].valid = 1;
  wizard.actions[0].spellType = 12;
  wizard.actions[0].targetKind = 4;
  return RecordBytes(wizard);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) {
    fuzz::WriteSeed(folder + "/player", Seed(true));
    fuzz::WriteSeed(folder + "/rival", Seed(false));
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> blank = RecordBytes(CWizard{});
  std::vector<uint8_t> stream(data, data + size);
  for (int n = 1; n < kWizardRecords; ++n) stream.insert(stream.end(), blank.begin(), blank.end());

  g_wizardTable.Clear();
  g_wizardTable.records[7].inUse = 1;  // live state a refused block must keep
  const std::vector<uint8_t> before = Saved();
  const fuzz::Loaded loaded = fuzz::LoadBytes(g_wizardTable, stream.data(), stream.size());
  if (loaded.result == -1) {
    if (Saved() != before) __builtin_trap();
    return 0;
  }
  if (loaded.result != loaded.consumed) __builtin_trap();
  const std::vector<uint8_t> after = Saved();
  if (static_cast<long>(after.size()) != loaded.consumed || std::memcmp(after.data(), stream.data(), after.size()) != 0)
    __builtin_trap();
  return 0;
}
