#pragma once
// Deployment: turning the placement entries of a battle map just built into world objects,
// random artifacts, regions of power, creatures and wizard positions. Every random choice
// draws from the battle's generator (g_battleRandom) in a fixed order, so that one seed gives
// one battle on every machine. With the SpoolMapGenInfo option each placement writes its
// text log (objects.plc, Creature.plc, region.plc, Wizard.plc).
//
// A placement entry is ten words: x, y, level (a cell), kind (1 friendly wizard site, 2
// enemy wizard site, 3 multiplayer wizard site, 4 creature, 5 object, 6 random-artifact
// zone), type (a world-object or creature type; object type 61 is a region of power, 19 an
// artifact), chance (percent, also a weight), army (0-7; the army key of an enemy wizard
// site, the pattern of a region of power), then two object data words, or a creature's two
// behaviour words and its guard word.

#include <cstdint>
#include <vector>

class CMap;
struct CMoveQuery;

enum WizardSiteKind : int {
  kWizardSiteFriendly = 1,
  kWizardSiteEnemy = 2,
  kWizardSiteMultiplayer = 3,
};

namespace placement_word {
inline constexpr int kX = 0, kY = 1, kLevel = 2, kKind = 3, kType = 4, kChance = 5, kArmy = 6;
inline constexpr int kData1 = 7, kData2 = 8, kGuard = 9;
}  // namespace placement_word

inline constexpr int kPlacementRandomArtifactZone = 6;
inline constexpr int kRegionOfPowerObject = 61;
inline constexpr int kArtifactObject = 19;
inline constexpr int kWorldObjectTypes = 97;

// A cell position with its level.
struct DeployPos {
  int x = 0, y = 0, level = 0;
};

class CBattleDeployment {
 public:
  explicit CBattleDeployment(CMap& map) : map_(map) {}

  // Objects of the map's placements (kind 5 but regions of power).
  void DeployObjects(int seed);
  // `number` random artifacts at the random-artifact zones (at most the Artefacts setting).
  void DeployRandomArtifacts(int number);
  // The creatures of the placements (kind 4), each for its entry's army.
  void DeployCreatures(int army, int placesOfPower);
  // `number` regions of power (at most 15).
  void DeployRegionsOfPower(int number);
  // A wizard site of the kind; the program ends when none is left. A sure friendly site
  // (chance 100) is taken first whatever the kind; enemy sites answer to their army key (any
  // for -1); friendly sites keep away from the wizards already deployed while they can.
  DeployPos DeployWizard(int kind, int armyKey);
  // A region of power not yet taken; the program ends when every one is taken.
  DeployPos PickPlaceOfPower();

  // The wizard of an army and its army (the wizard's own deployment until wizards are
  // built): its position (a wizard site of the kind, or a place of power), its wizard
  // creature, then the army's creatures.
  void DeployWizardArmy(int army, int kind, int placesOfPower, bool usePlacesOfPower);

  // The chance test of objects and creatures: placed when chance >= r mod 99 - adjustment + 1.
  static bool PassesChance(uint32_t r, int chance, int adjustment);

 private:
  bool CellHasObject(int x, int y, int level) const;
  bool CellIsLiquid(int x, int y, int level) const;
  int ObjectAdjustment(int type) const;
  int CreatureAdjustment(int type) const;
  CMap& map_;
  // The artifact zones (kind-6 entries and type-19 objects) as found by the object and
  // artifact placements.
  std::vector<DeployPos> artifactZones_;
};

// The artifacts (world objects of type 19) the deployment placed.
extern int g_artifactObjects;

// The battle's draw: the next value of g_battleRandom with its sign bit cleared.
uint32_t DeployRandom();

// The map's deployment after building: objects, random artifacts and regions of power; the
// mana sprites appear at the artifact sites.
void DeployAfterMapBuild(CMap& map, int seed);
