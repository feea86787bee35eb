// The battle's side of the learning store.
#include "battle/BattleKnowledge.h"

#include "battle/BattleRecord.h"
#include "core/ErrorBox.h"
#include "core/GameSettings.h"

namespace {

// Processing could not read the experience file: the next battle tries again.
bool IsReadFailure(int processed) { return processed == -2; }

}  // namespace

void DigestExperience(const BrainProgress& progress) {
  g_brain.RewriteExperienceFile(progress);
  const int processed = g_brain.ProcessExperience(progress);
  if (processed == 0) {
    g_brain.Save();
  } else if (IsReadFailure(processed)) {
    g_brain.Load(kBrainFileName);
  } else {
    g_brain.DeleteExperienceFile();
    g_brain.DeleteBrainFile();
    g_brain.Table().clear();
  }
}

void PrepareBattleKnowledge() {
  // Decisions of an earlier battle will never rate the entries they left open.
  g_brain.DropOpenExperience();
  if (BattlePlayingBack()) {
    g_brain.SetLearning(false);
    return;
  }
  if (g_networkGame) {
    g_brain.SetLearning(false);
    g_brain.Table().clear();
  } else {
    g_brain.SetLearning(true);
    if (g_brain.ExperienceFileExists() || g_brain.Load(kBrainFileName) != 0) DigestExperience({});
  }
  if (BattleRecording() && g_brain.SaveAs(kBrainLogFile) != 0)
    ShowGeneralError("Failed to save battle initialisation data for playback");
}

void ReloadBattleKnowledge() {
  if (g_brain.Learning()) g_brain.Load(kBrainFileName);
}
