// Feeds arbitrary text to the sound manager's reader of the sound sets (sounds\Sounds.ini: the
// sounds, the randomised groups and each level's permanent and temporary lists): a file it
// takes leaves its ids ascending and unique, a load kind for each, and a ring of records for
// every level; playing any id or group then finds a record or fails cleanly.
#include <algorithm>
#include <cstdint>

#include "GameDataFuzz.h"
#include "SavedBlock.h"
#include "platform/AudioOutput.h"
#include "sound/SoundManager.h"

// The forged sound sets seed an empty corpus (the folder beside them holds their WAVE files).
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // No device: what is played is mixed by no one, and every input starts and stops quickly.
  platform::SetManualAudioOutput(true);
  std::vector<uint8_t> forged;
  if (!platform::ReadWholeFile(VRASK_FORGED_DATA "/Sounds/Sounds.ini", forged)) return 0;
  fuzz::SeedEmptyCorpus(*argc, *argv, [&](const std::string& folder) { fuzz::WriteSeed(folder + "/forged", forged); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("sound_sets", {"sounds"});
  fuzz::WriteInputAs({"sounds/Sounds.ini"}, data, size);
  static CSoundManager manager;
  try {
    if (manager.Init(nullptr, nullptr, "sounds") != 0) {
      fuzz::Expect(manager.soundIds.empty() && manager.groupIds.empty());
      return 0;
    }
    fuzz::Expect(std::is_sorted(manager.soundIds.begin(), manager.soundIds.end()));
    fuzz::Expect(std::adjacent_find(manager.soundIds.begin(), manager.soundIds.end()) == manager.soundIds.end());
    fuzz::Expect(manager.groups.size() == manager.groupIds.size());
    for (int level : {1, 2}) {
      manager.LoadLevelSounds(level);
      fuzz::Expect(manager.loadKinds.size() == manager.soundIds.size());
      fuzz::Expect(manager.ringSize >= 0 && manager.RingRecords().size() == static_cast<size_t>(manager.ringSize));
      for (int32_t id : {manager.soundIds.front(), manager.groupIds.empty() ? 410 : manager.groupIds.back(), -1}) {
        CSoundInstance* played = nullptr;
        manager.Play(id, 0, 0, &played, 0);
      }
    }
  } catch (const fuzz::ProgramEnded&) {
  }
  manager.Shutdown();
  return 0;
}
