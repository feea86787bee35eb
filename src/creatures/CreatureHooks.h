#pragma once
// What the creatures ask of the subsystems built above them: the battle session with its
// scripts, panels and player slots, the computer player, the effects with their global
// animations, and the wizard records. Each is a small interface whose neutral answers let a
// creature live with none of them there; the owner installs its own at start-up
// (g_creatureBattle.Install(&...)), and tests put fakes in with HookScope.

#include <cstdint>

#include "core/Hooks.h"

class CAnimation;
class CSprite;

// An entry of the global animation table: its animation, first sequence, third value (a
// world object's anim value) and print type.
struct GlobalAnimInfo {
  CAnimation* animation = nullptr;
  int firstSequence = 0;
  int value = 0;
  int printType = 0;
};

// The bytes of one trace block that a burst hands its body parts.
inline constexpr int kBurstTraceBytes = 28;

class ICreatureBattle {
 public:
  virtual ~ICreatureBattle() = default;
  // --- the battle state ---
  // The battle frame counter.
  virtual int FrameCounter() { return 0; }
  // The game mode: 1 and 2 keep player kill statistics.
  virtual int GameType() { return 0; }
  // The battle screen's debug toggle that stops route planning.
  virtual bool PlanningStopped() { return false; }
  // At most one army keeps a wizard: the battle's end flags go up.
  virtual void RaiseBattleEndFlags() {}
  virtual void ScheduleWizardReturn(int army, int battleTick) {}
  // Centres the view on the next selectable creature of the local army.
  virtual void CycleCreatureFocus() {}
  // A creature of the army struck a blow (hand to hand, or its missile hit), for the frame trace.
  virtual void NoteBlow(int army) {}
  // --- the script ---
  // An occasion offered to the battle script: 2 a living creature stands on a trigger cell,
  // 6 it picked an artefact up, 7 it used one (value: the artefact kind, else -1).
  virtual void OfferScriptEvent(int kind, int creature, int value) {}
  // --- the campaign and the player slots' names ---
  // The current region of the campaign (its realm configuration names its armies).
  virtual int CampaignRegion() { return 0; }
  // The name in a player slot 0-3 of a quick battle ("No Player" for an empty one).
  virtual const char* PlayerSlotName(int slot) { return slot == 0 ? "" : "No Player"; }
  // Whether the battle script watches for the last wizard itself.
  virtual bool ScriptWatchesLastWizard() { return false; }
  // The creature's slot left the map.
  virtual void OnCreatureRemoved(int creature) {}
  // Whether a script actor of kind 1 in state 1 names the creature (it does not react).
  virtual bool IsHeldByScript(int creature) { return false; }
  // --- the player slots of armies 0-7 ---
  virtual void AddKills(int army, int kills) {}
  virtual void AddDeaths(int army, int deaths) {}
  virtual void AddScore(int army, int score) {}
  // Lives left to the army's player; 1 answers "no return".
  virtual int LivesLeft(int army) { return 1; }
  virtual void LoseLife(int army) {}
  // --- the panels of the local player ---
  virtual void ShowWizardHealth(int health) {}
  // Mana in whole units.
  virtual void ShowWizardMana(int mana) {}
  virtual void ShowWizardMaxMana(int maxMana) {}
  virtual void ShowSpellCost(int cost) {}
  // The spell select bar learns the wizard's current spell (-1 none).
  virtual void ShowCurrentSpell(int spell) {}
  // The event panel's count of notices, and a new notice or a refresh.
  virtual int EventPanelCount() { return 0; }
  virtual void NotifyEvent(int creature, int kind) {}
  virtual void RefreshEventPanel() {}
  // The select bar: the button of an item (carry slot 0-19, object kind) is set; an item's
  // charge changed; the wizard's spell list changed; the count of controlled creatures
  // reached the control limit (summoning spells grey) or fell below it (they work again).
  virtual void AddItemButton(int carrySlot, int kind) {}
  virtual void UpdateItemButton(int carrySlot) {}
  virtual void RebuildSpellPopup() {}
  // The local wizard left play: the battle's end message becomes defeat message n.
  virtual void ShowDefeatMessage(int n) {}
  virtual void ControlLimitReached() {}
  // The count of creatures the local player's wizard controls, for the control-limit panel.
  virtual void ShowControlCount(int count) {}
  virtual void ControlLimitLeft() {}
  virtual void AddSpotIcon(int creature) {}
  virtual void RemoveSpotIcon(int creature) {}
  // --- deaths, locks and messages ---
  // Whether the battle script takes a creature's death over (nothing else happens then).
  virtual bool ScriptTakesDeath(int creature) { return false; }
  // A message of the message scroll; the named one carries a player's name.
  virtual void ShowMessage(int message) {}
  virtual void ShowNamedMessage(int message, const char* name) {}
  // The name of the army's player in network and quick battles, null elsewhere.
  virtual const char* PlayerNameOf(int army) { return nullptr; }
  // A creature of the local army was hurt (told at most every 250 frames).
  virtual void CreatureHurt(int creature) {}
  // The battle's switch that opens every lock.
  virtual bool OpenAllLocks() { return false; }
  // --- world objects and items ---
  // The battle's setting that lets every creature use all world objects (off: creatures of
  // computer players leave kinds above 6 but 19 and 61 alone).
  virtual bool ObjectsOpenToAll() { return false; }
  // A numbered scroll for the local player.
  virtual void ShowScroll(int scroll) {}
  // --- what creatures wear on the map ---
  // The battle's interface sprite set: owner markers, status marks and label glyphs (their
  // frames in CreatureMarks.h); null while no battle has loaded it.
  virtual CSprite* MarkerSprite() { return nullptr; }
  // The rank badge of Lords (sequence 0) and Kings (sequence 1); null while not loaded.
  virtual CAnimation* RankBadgeAnimation() { return nullptr; }
};

class ICreatureAI {
 public:
  virtual ~ICreatureAI() = default;
  // Adds a creature to controller 0 (every creature) or 1 (wizards).
  virtual void RegisterCreature(int controller, int creature) {}
  // Another army's mana gain, told to controller 0 or 1.
  virtual void NoteManaGain(int controller, int army, int amount) {}
  // The computer player's value of a change in health or mana.
  virtual int ComputeDamageValue(int type, int newValue, int change, float factor, float ratio) { return 0; }
  // The value of harm done: a gain to the decisions the source's two ids name (one per
  // controller, -1 none) and a loss to the victim's two.
  virtual void CreditHarm(int sourceDecision0, int sourceDecision1, int victimDecision0, int victimDecision1,
                          int value) {}
  // The id of the decision in force atop the creature's group chain in a controller; -1 none.
  virtual int TopDecisionId(int controller, int creature) { return -1; }
  // A value gained by one army (healing, mana, a mana source) or lost to it (an enemy's
  // healing it sees), for the computer player's decisions of that side.
  virtual void ShareGain(int army, int value) {}
  virtual void ShareLoss(int army, int value) {}
};

class ICreatureEffects {
 public:
  virtual ~ICreatureEffects() = default;
  // An effect of the pool (a marker, a goal marker) ends.
  virtual void Deactivate(int effect) {}
  // Every active effect of a kind that belongs to a creature (its creature word) ends.
  virtual void DeactivateEffectsOf(int kind, int creature) {}
  // An effect turned with its creature takes the new facing.
  virtual void TurnEffect(int effect, int facing) {}
  // An effect held with a creature that changed its owner acts for the new army.
  virtual void SetEffectArmy(int effect, int army) {}
  // An object attached to a creature (an animation object of the effects) is released.
  virtual void ReleaseAttachedObject(int object) {}
  // The global animation of a number (selection markers, overlays), null when not loaded.
  virtual CAnimation* GlobalAnim(int number) { return nullptr; }
  // The creature's goal and waypoint markers are shown again.
  virtual void ShowGoalMarker(int creature) {}
  // --- what orders and blows start ---
  // Starts an effect of a kind at a point (map units) with a creature as its source; answers
  // the effect, -1 when none started.
  virtual int SpawnEffect(int kind, int x, int y, int z, int source) { return -1; }
  // Carries out a cast request (a creature's ranged attack is a cast of its first spell);
  // targetCreature -1 aims at the ground.
  virtual void CastSpell(int spell, int x, int y, int z, int caster, int targetCreature) {}
  // The first effect of a kind in a cell's chain, -1 when none.
  virtual int FindEffectAt(int x, int y, int level, int kind) { return -1; }
  // A breakable object's strength; setting it updates its look.
  virtual int EffectStrength(int effect) { return 0; }
  virtual void SetEffectStrength(int effect, int strength) {}
  // Shards of a shattered body of a type at a point (map units), spread by a parameter.
  virtual void SpawnBodyParts(int type, int x, int y, int z, int parameter) {}
  // The body of a burst creature of a type flying apart from a point (map units) in its blood
  // colour, each part thrown along one of the burst's trace blocks (kBurstTraceBytes each:
  // end point, three float velocities, apex height); parts beyond them fly at random.
  virtual void SpawnBurstBodyParts(int type, int x, int y, int z, const uint8_t* traces, int traceCount) {}
  // A spray of blood from a creature's centre (velocity in units per frame, size, alive or
  // dead) and a burst of n glow particles about it (blue for a frozen creature). Both are
  // seen only and draw from the view's generator.
  virtual void SpawnBlood(int creature, int vx, int vy, int vz, int size, bool alive) {}
  virtual void SpawnGlowBurst(int creature, int count, bool blue) {}
  // A blast of a type set off at a cell with a strength and fall-off, carrying a spell's
  // parameter block; it spreads and applies at once.
  virtual void StartBlast(int type, int x, int y, int level, int strength, int falloff, int spell) {}
  // One fly of a pestered creature at a point (map units); it follows its owner.
  virtual void SpawnFly(int creature, int x, int y, int z) {}
  // An entry of the effect animation table and its first sequence, null when not loaded.
  virtual CAnimation* EffectAnimEntry(int entry, int& firstSequence) { return nullptr; }
  // --- what world objects and artifacts start ---
  // The same entry whole (a world object's look); false when the entry is not loaded.
  virtual bool GlobalAnimEntry(int entry, GlobalAnimInfo& out) { return false; }
  // Allocates an effect and starts it as a kind with a 63-word parameter block; answers the
  // effect, -1 when no record was free.
  virtual int StartEffect(int kind, const int32_t words[63]) { return -1; }
  // The effect pool's size (effect indexes below it name a record).
  virtual int EffectPoolSize() { return 0; }
  // Carries out a cast request with a mode word of its own (an item's casts: mode 2).
  virtual void CastSpellWithMode(int spell, int caster, int targetCreature, int mode) {}
  // Sets a word of a started effect's state (a countdown the starter gives it).
  virtual void SetEffectStateWord(int effect, int word, int value) {}
  // The subvert particles round a creature that changed sides, seen by the local army.
  virtual void SpawnSubvertParticles(int creature) {}
};

class ICreatureWizards {
 public:
  virtual ~ICreatureWizards() = default;
  // Notes a thing seen once in the local player's wizard record (kind 4 a creature type,
  // 6 an artifact, 7 an event; at most 20 notes).
  virtual void NoteSeen(int kind, int number) {}
  // A wizard creature left the map: its wizard slot is cleared.
  virtual void WizardGone(int wizardNumber) {}
};

extern HookSlot<ICreatureBattle> g_creatureBattle;
extern HookSlot<ICreatureAI> g_creatureAI;
extern HookSlot<ICreatureEffects> g_creatureEffects;
extern HookSlot<ICreatureWizards> g_creatureWizards;
