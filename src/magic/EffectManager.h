#pragma once
// CEffectManager: the one pool of effect records and the tables every effect reads. Built
// once before start-up with 2000 records; LoadConfig reads cfg\effects.cfg (light and
// clipping per kind) and cfg\effectani.cfg (the effect-animation table and the EFFECTS<j>
// sprite and animation files) when the front end starts; Reset runs when a battle loads.
// Records 0-99 are the creatures' path markers and are handed out only by
// AllocateReservedEffect; everything else takes records from 100 up.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "graphics/Animation.h"
#include "graphics/Sprite.h"
#include "magic/Effect.h"

// Light and clipping of one effect kind (cfg\effects.cfg).
struct EffectKindEntry {
  int32_t lightSourceDiameter = 0;  // 0 none, else 1..33
  int32_t lightSourceAffected = 0;
  int32_t clippedToHeight = 0;
};

// One entry of the effect-animation table (cfg\effectani.cfg). An entry the file does not
// fill is zero; a file number of -1 names no file.
struct EffectAniEntry {
  int32_t animation = 0;  // first sequence in its file
  int32_t file = 0;       // EFFECTS<file>
  int32_t printType = 0;
  int32_t data = 0;
};

// The four lists the kinds fill and the computer player walks: the kind-33 effects, then
// the effects of spells 88, 34 and 75.
enum EffectList : int { kListTotems = 0, kListSpell88 = 1, kListSpell34 = 2, kListSpell75 = 3, kEffectLists = 4 };

class CEffectManager {
 public:
  static constexpr int kReserved = 100;
  static constexpr int kKinds = 89;
  static constexpr int kMaxAnimations = 1000;
  static constexpr int kMaxEffectFiles = 64;
  static constexpr int kDefaultCount = 2000;

  explicit CEffectManager(int count);
  ~CEffectManager();
  CEffectManager(const CEffectManager&) = delete;
  CEffectManager& operator=(const CEffectManager&) = delete;

  // --- configuration --------------------------------------------------------------------
  // Both files; a failure shows its box and ends the program.
  void LoadConfig();
  // Always succeeds: a missing file or key leaves the table as it was.
  bool ReadEffectsCfg();
  // False when an effect sprite or animation cannot be loaded.
  bool ReadEffectAniCfg();

  // --- the pool -------------------------------------------------------------------------
  // Frees every record, owned by this manager at its own index; the lists empty.
  void Reset();
  // A free record at index 100 or above; when none is free, a reclaim pass ends or shortens
  // some long-lived effects for later requests, and the answer is null.
  CEffect* AllocateEffect();
  // The first free record among 0-99, or null.
  CEffect* AllocateReservedEffect();
  void BeginFreeScan() { scanCursor = kReserved; }
  CEffect* NextFree();
  void BeginKindScan(int kind) {
    scanKind = kind;
    scanCursor = 0;
  }
  CEffect* NextOfKind();
  // Every fire (kind 14) leaves its loop and burns out: the water rose.
  void MarkKind14();
  // One more than the highest index still active below `from` (0 when none).
  void LowerHighWater(int from);
  CEffect* At(int i) { return i >= 0 && i < count ? &effects[static_cast<size_t>(i)] : nullptr; }
  int Count() const { return count; }

  // --- tables ------------------------------------------------------------------------------
  int GetLightSourceDiameter(int k) const { return k >= 0 && k < kKinds ? kindTable[k].lightSourceDiameter : 0; }
  const EffectKindEntry* KindEntry(int k) const { return k >= 0 && k < kKinds ? &kindTable[k] : nullptr; }
  // Entry n of the effect-animation table, or null past its end.
  const EffectAniEntry* AniEntry(int n) const;
  int AniEntryCount() const { return static_cast<int>(aniTable.size()); }
  // The animation of an entry's file, or null when the entry or its file is past the tables.
  CAnimation* AniEntryAnimation(int n);
  // Index of an animation in the animation array, -1 when it is none of them.
  int GetAnimSetIndex(const CAnimation* animation) const;
  // The animation table other subsystems play (overlays, badges, objects): entry n gives
  // its file's animation, its first sequence and its data word. False past the tables.
  bool GetGlobalAnimation(int n, CAnimation*& animation, int& firstSequence, int& data);

  // --- the saved game (EffectSave.cpp) ---------------------------------------------------
  // Save: the bytes written, -1 on a failed write. Load: the bytes read, or -1 with the pool
  // unchanged on a short or malformed block, or one written with another pool size.
  int Save(FILE* file) const;
  int Load(FILE* file);
  // The map's cell chains (saved with the map) name only active records of their own cells,
  // each once: run after both blocks are read.
  bool CheckCellChains() const;

  // --- lists --------------------------------------------------------------------------------
  void PushFront(int list, int effect);
  void Remove(int list, int effect);
  const std::vector<int32_t>& List(int list) const { return lists[list]; }

  // --- spawns -------------------------------------------------------------------------------
  void SpawnCreatureEffect47(int c);
  void SpawnCreatureEffect17(int c);
  void SpawnCreatureEffect40(int c);
  void SpawnCreatureEffect19(int c);
  void SpawnCreatureEffect22(int c);
  // Floating digits of n (0-999) over a cell; nothing for other numbers.
  void ShowFloatingNumber(int cx, int cy, int level, int n);

  // --- fields -------------------------------------------------------------------------------
  std::vector<CEffect> effects;  // the pool, built once
  int32_t count = 0;
  std::unique_ptr<CSprite[]> sprites;  // one per effect file (EFFECTS<j>.spr)
  int32_t fileCount = 0;
  std::unique_ptr<CAnimation[]> animations;  // one per effect file, over its sprite
  EffectKindEntry kindTable[kKinds] = {};
  std::vector<EffectAniEntry> aniTable;
  int32_t scanKind = 0;
  int32_t scanCursor = -1;
  int32_t highWater = 0;
  std::vector<int32_t> lists[kEffectLists];

 private:
  // Takes a record from 100 up and activates it; nothing when none is free.
  void Spawn(int kind, const CEffectParams& block);
  // A spawn at one point for creature c: word 7 the target, word 11 the value (unless -1).
  void SpawnOnCreature(int kind, int c, int target, int value, int x, int y, int z);
};

extern CEffectManager g_effectManager;
// The effect sprite files of the one manager, one per EFFECTS<j>, and their number.
extern std::unique_ptr<CSprite[]>& g_effectSprites;
extern int32_t& g_numEffectFiles;

// The view rotation (0-3) that picks the animation tables of some effects.
int EffectViewRotation();
