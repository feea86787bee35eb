// The script in the battle: read and prepared while the battle loads, offered each tick, and
// told of the creatures' deaths and departures, the player's inputs and the speeches' ends.
#include "battle/Battle.h"
#include "battle/BattleCreatures.h"
#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/Options.h"
#include "ui/SpeechCtrl.h"

void CBattleCreatures::ResetScript() { ResetBattleScript(); }

void CBattleCreatures::ScriptTick() {
  g_script.FireEvent(kOccasionTick, -1, -1, 0, -1, -1);
  g_script.ProcessTick();
}

void ResetBattleScript() {
  g_script.Clear();
  // The speech boxes' layouts, read once: a script's speeches need them.
  g_speechCtrl.LoadConfig();
  // The computer player's own battles (directAI, and the training runs, which set it) have
  // no script.
  if (!g_directAI) LoadScriptEvents(g_realmName, g_battleSetup.region);
  g_script.Prepare();
}
