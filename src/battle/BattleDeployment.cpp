#include "battle/BattleDeployment.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/CreatureType.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/MoveQuery.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace pw = placement_word;

namespace {

constexpr int kMaxRegions = CMap::kMaxRegions;

// A placement log, written only while SpoolMapGenInfo is on.
class PlacementLog {
 public:
  PlacementLog(const char* name, const char* mode) {
    if (g_spoolMapGenInfo) file_ = platform::OpenFile(name, mode);
  }
  ~PlacementLog() {
    if (file_) std::fclose(file_);
  }
  PlacementLog(const PlacementLog&) = delete;
  PlacementLog& operator=(const PlacementLog&) = delete;
  __attribute__((format(printf, 2, 3))) void Write(const char* format, ...) {
    if (!file_) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file_, format, args);
    va_end(args);
  }

 private:
  FILE* file_ = nullptr;
};

void DeploymentError(const char* text) { platform::ShowMessageBox(text, "DEPLOYMENT ERROR", WarningBoxFlags()); }

bool Multiplayer() { return g_networkGame != 0 || g_gameMode == kGameModeLobby; }
bool QuickOrMultiplayer() { return g_gameMode == kGameModeQuickBattle || Multiplayer(); }

// The move query of a creature type as deployment sees it.
CMoveQuery TypeQuery(int type) {
  CMoveQuery query;
  const CCreatureType& record = g_creatureTypes[type];
  query.height = std::max(1, record.TileHeight);
  query.size = record.TileSizeXY == 2 ? 2 : 1;
  query.airborne = record.CanFly;
  query.movementKind = std::clamp(record.SwimmingAbility, 0, 3);
  query.typeIndex = type;
  return query;
}

}  // namespace

int g_artifactObjects = 0;

uint32_t DeployRandom() { return g_mapHooks.battle->BattleRandom().Next() & 0x7FFFFFFFu; }

bool CBattleDeployment::PassesChance(uint32_t r, int chance, int adjustment) {
  return chance >= static_cast<int>(r % 99) - adjustment + 1;
}

bool CBattleDeployment::CellHasObject(int x, int y, int level) const {
  const CMapCell* cell = map_.CellAtWrapped(x, y, level);
  return !cell || cell->object != kNoLink;
}

bool CBattleDeployment::CellIsLiquid(int x, int y, int level) const {
  const CMapCell* cell = map_.CellAtWrapped(x, y, level);
  return cell && TerrainOf(*cell).kind == kKindLiquid;
}

int CBattleDeployment::ObjectAdjustment(int type) const { return type >= 0 && type < 123 ? map_.mapTable[type] : 0; }

int CBattleDeployment::CreatureAdjustment(int type) const {
  return type >= 0 && type < 28 ? map_.deploymentTable[type] : 0;
}

// --- objects and artifacts ----------------------------------------------------------------

void CBattleDeployment::DeployObjects(int seed) {
  PlacementLog log("objects.plc", "w");
  log.Write("Object Placement log\n");
  log.Write("------------------\n\n");
  log.Write("map generation seed: %d\n", g_battleSetup.mapSeed);
  log.Write("object placement seed: %d\n\n", seed);
  g_artifactObjects = 0;
  artifactZones_.clear();
  map_.manaSpriteSites.clear();
  IMapObjects& objects = *g_mapHooks.objects;
  for (const auto& entry : map_.deploymentZones.items) {
    if (entry[pw::kKind] != kPlacementArtifact || entry[pw::kType] == kRegionOfPowerObject) continue;
    const int type = entry[pw::kType];
    const int x = entry[pw::kX], y = entry[pw::kY], level = entry[pw::kLevel];
    if (type == kArtifactObject) {
      artifactZones_.push_back({x, y, level});
      // Mana sprites appear where artifacts may lie.
      map_.manaSpriteSites.push_back(CManaSite{x, y, level});
    }
    if (Multiplayer() && type >= 53 && type <= 56) continue;
    if (CellHasObject(x, y, level)) continue;
    if (CellIsLiquid(x, y, level)) break;
    if (!PassesChance(DeployRandom(), entry[pw::kChance], ObjectAdjustment(type))) {
      log.Write("Object missed %i Position : %i,%i,%i\n", type, x, y, level);
      continue;
    }
    const int object = objects.FindFree();
    if (object < 0) continue;
    objects.Place(object, CWrapCoord::WrapX(x), CWrapCoord::WrapY(y), level);
    objects.SetKind(object, type);
    if (type == 50) BattleSystems().SetObjectData(object, entry[pw::kData1], entry[pw::kData2]);
    if (type >= 53 && type <= 56) BattleSystems().SetObjectData(object, entry[pw::kData1], 0);
    if (type == kArtifactObject) ++g_artifactObjects;
    log.Write("Object Deplaoyed %i Position : %i,%i,%i\n", type, x, y, level);
  }
}

void CBattleDeployment::DeployRandomArtifacts(int number) {
  std::vector<DeployPos> zones;
  for (const auto& entry : map_.deploymentZones.items) {
    if (entry[pw::kKind] != kPlacementRandomArtifactZone) continue;
    if (CellIsLiquid(entry[pw::kX], entry[pw::kY], entry[pw::kLevel])) continue;
    zones.push_back({entry[pw::kX], entry[pw::kY], entry[pw::kLevel]});
    artifactZones_.push_back(zones.back());
  }
  number = std::min({number, static_cast<int>(zones.size()), g_gameSettings.Artefacts});
  int weightSum = 0;
  for (int type = 0; type < kWorldObjectTypes; ++type) weightSum += std::max(0, BattleSystems().ObjectWeight(type));
  if (weightSum <= 0) return;
  IMapObjects& objects = *g_mapHooks.objects;
  const int zoneCount = static_cast<int>(zones.size());
  for (int placed = 0; placed < number; ++placed) {
    const uint32_t pick = DeployRandom() % static_cast<uint32_t>(weightSum);
    int chosen = 0, running = 0;
    for (int type = 0; type < kWorldObjectTypes; ++type) {
      const int weight = std::max(0, BattleSystems().ObjectWeight(type));
      if (weight == 0) continue;
      running += weight;
      if (pick < static_cast<uint32_t>(running)) {
        chosen = type;
        break;
      }
    }
    DeployPos zone{};
    for (int draw = 0; draw < 2 * zoneCount; ++draw) {
      zone = zones[DeployRandom() % static_cast<uint32_t>(zoneCount)];
      if (!CellHasObject(zone.x, zone.y, zone.level)) break;
    }
    // No world object left: the rest cannot be placed either.
    const int object = objects.FindFree();
    if (object < 0) return;
    objects.Place(object, CWrapCoord::WrapX(zone.x), CWrapCoord::WrapY(zone.y), zone.level);
    objects.SetKind(object, chosen);
    if (chosen == kArtifactObject) ++g_artifactObjects;
  }
}

// --- creatures --------------------------------------------------------------------------------

void CBattleDeployment::DeployCreatures(int army, int placesOfPower) {
  (void)army;
  (void)placesOfPower;
  PlacementLog log("Creature.plc", "w");
  log.Write("CreaturesPlacement log\n");
  log.Write("------------------\n\n\n");
  IBattleSystems& systems = BattleSystems();
  for (const auto& entry : map_.deploymentZones.items) {
    if (entry[pw::kKind] != kPlacementCreature) continue;
    const int type = entry[pw::kType];
    if (!PassesChance(DeployRandom(), entry[pw::kChance], CreatureAdjustment(type))) continue;
    if (type < 0 || type >= kCreatureTypes) continue;
    int x = CWrapCoord::WrapX(entry[pw::kX]), y = CWrapCoord::WrapY(entry[pw::kY]), level = entry[pw::kLevel];
    const CMoveQuery query = TypeQuery(type);
    if (!map_.FindFreePositionNear(-1, query, x, y, level)) continue;
    if (!systems.LoadCreatureAnims(type)) {
      DeploymentError("Unable to load creature file");
      platform::ExitProcess(1);
    }
    int creatureArmy = entry[pw::kArmy];
    if (creatureArmy < 0 || creatureArmy >= kArmyCount) {
      DeploymentError("creature army index out of range, placing in army 0");
      creatureArmy = 0;
    }
    const int creature = systems.CreateCreature(type, creatureArmy, x, y, level);
    if (creature < 0) continue;
    log.Write("Creature Deployed %i Position : %i,%i,%i\n", type, x, y, level);
    systems.SetCreatureHome(creature, entry[pw::kData1], entry[pw::kData2], entry[pw::kGuard]);
  }
}

// --- regions of power -----------------------------------------------------------------------

void CBattleDeployment::DeployRegionsOfPower(int number) {
  PlacementLog log("region.plc", "w");
  log.Write("Region of power Placement log\n");
  log.Write("------------------\n\n\n");
  number = std::min(number, kMaxRegions);
  for (CRegionOfPower& region : map_.regions) region = CRegionOfPower{};
  struct Candidate {
    DeployPos at;
    int pattern, chance, cumulative;
    bool used;
  };
  std::vector<Candidate> candidates;
  int placed = 0, weight = 0;
  auto place = [&](const DeployPos& at, int pattern) {
    map_.BuildRegionOfPower(at.x, at.y, at.level, pattern);
    CRegionOfPower& region = map_.regions[placed++];
    region.x = CWrapCoord::WrapX(at.x);
    region.y = CWrapCoord::WrapY(at.y);
    region.level = at.level;
    region.fourth = 0;  // not taken
    region.value = -1;
  };
  for (const auto& entry : map_.deploymentZones.items) {
    if (entry[pw::kKind] != kPlacementArtifact || entry[pw::kType] != kRegionOfPowerObject) continue;
    const DeployPos at{entry[pw::kX], entry[pw::kY], entry[pw::kLevel]};
    if (CellHasObject(at.x, at.y, at.level)) continue;
    if (CellIsLiquid(at.x, at.y, at.level)) break;
    if (placed >= kMaxRegions) break;
    if (entry[pw::kChance] == 100 && !QuickOrMultiplayer()) {
      place(at, entry[pw::kArmy]);
    } else {
      weight += std::max(0, entry[pw::kChance]);
      candidates.push_back({at, entry[pw::kArmy], std::max(0, entry[pw::kChance]), weight, false});
    }
    log.Write("Region power deployed %i Position : %i,%i,%i\n", placed, at.x, at.y, at.level);
  }
  // Draws over the chances not yet taken; a draw that finds none (no chance left) ends it.
  while (placed < number && placed < kMaxRegions && weight > 0) {
    const int pick = static_cast<int>(DeployRandom() % static_cast<uint32_t>(weight));
    int running = 0;
    Candidate* chosen = nullptr;
    for (Candidate& candidate : candidates) {
      if (candidate.used) continue;
      running += candidate.chance;
      if (running > pick) {
        chosen = &candidate;
        break;
      }
    }
    if (!chosen) break;
    chosen->used = true;
    weight -= chosen->chance;
    place(chosen->at, chosen->pattern);
  }
}

DeployPos CBattleDeployment::PickPlaceOfPower() {
  const int count = map_.CountRegionsOfPower();
  bool free = false;
  for (int i = 0; i < count; ++i) free = free || map_.regions[i].fourth == 0;
  if (!free) {
    ShowGeneralError("not enough places of power");
    platform::ExitProcess(1);
  }
  for (;;) {
    CRegionOfPower& region = map_.regions[DeployRandom() % static_cast<uint32_t>(count)];
    if (region.fourth != 0) continue;
    region.fourth = 1;
    return {CWrapCoord::WrapX(region.x), CWrapCoord::WrapY(region.y), region.level};
  }
}

// --- wizards ---------------------------------------------------------------------------------

DeployPos CBattleDeployment::DeployWizard(int kind, int armyKey) {
  static bool logStarted = false;
  PlacementLog log("Wizard.plc", logStarted ? "a+" : "w");
  if (!logStarted && g_spoolMapGenInfo) {
    log.Write("WizardPlacement log\n");
    log.Write("------------------\n\n\n");
  }
  logStarted = logStarted || g_spoolMapGenInfo;
  if (kind == kWizardSiteFriendly)
    log.Write("** Trying to deploy Friendly Wizard **\n");
  else if (kind == kWizardSiteEnemy)
    log.Write("** Trying to deploy enemy Wizard    ** \n");
  else
    log.Write("** Error in placementment type      **\n");

  auto& items = map_.deploymentZones.items;
  struct Listed {
    size_t index;
    int cumulative;
  };
  std::vector<Listed> shortList;
  int candidates = 0, total = 0;
  auto isCandidate = [&](const CMapPlacement::Item& entry) {
    if (entry[pw::kKind] != kind) return false;
    return kind != kWizardSiteEnemy || armyKey == -1 || entry[pw::kArmy] == armyKey;
  };
  // Far enough from every deployed wizard: both distances, the short way round the map, at
  // least half a section.
  auto wrapped = [](int a, int b, int size) {
    const int d = std::abs(a - b);
    return size > 0 ? std::min(d, size - d % size) : d;
  };
  auto farFromWizards = [&](const CMapPlacement::Item& entry) {
    const int half = map_.sectionSize / 2;
    for (int army = 0; army < kArmyCount; ++army) {
      const WizardSite& wizard = g_wizardSites[army];
      if (!g_armyTable.armies[army].inUse || !wizard.placed) continue;
      if (wrapped(entry[pw::kX], wizard.x, map_.width) < half || wrapped(entry[pw::kY], wizard.y, map_.height) < half) {
        log.Write("Position %i, %i to close to %i, %i\n", entry[pw::kX], entry[pw::kY], wizard.x, wizard.y);
        return false;
      }
    }
    return true;
  };
  size_t taken = items.size();
  for (int pass = 1; pass <= 2 && taken == items.size() && shortList.empty(); ++pass) {
    candidates = total = 0;
    for (size_t i = 0; i < items.size(); ++i) {
      const auto& entry = items[i];
      if (pass == 1 && entry[pw::kKind] == kWizardSiteFriendly && entry[pw::kChance] == 100) {
        taken = i;
        break;
      }
      if (!isCandidate(entry)) continue;
      ++candidates;
      if (pass == 1 && kind == kWizardSiteFriendly && !farFromWizards(entry)) continue;
      total += std::max(0, entry[pw::kChance]);
      shortList.push_back({i, total});
    }
    log.Write("Total number in deployement List = %i,      Number in short list = %i\n", candidates,
              static_cast<int>(shortList.size()));
    if (pass == 1 && taken == items.size() && shortList.empty())
      log.Write("Failed to place wizards apart, deploying randomly\n");
  }
  if (taken == items.size()) {
    if (shortList.empty()) {
      DeploymentError("No place to put wizard, see deploy.plc for wizard deployment count");
      log.Write("*** POSSIBLE CAUSE OF ERROR ****\n");
      log.Write(candidates == 0 ? "Too many wizards being deployed, deployments sites have run out\n"
                                : "Failed to deploy them far enough apart, then failed to pick any one randomly\n");
      platform::ExitProcess(1);
    }
    const int pick = total > 0 ? static_cast<int>(DeployRandom() % static_cast<uint32_t>(total)) : 0;
    taken = shortList.back().index;
    for (const Listed& listed : shortList)
      if (listed.cumulative > pick) {
        taken = listed.index;
        break;
      }
  }
  const auto entry = items[taken];
  const DeployPos at{CWrapCoord::WrapX(entry[pw::kX]), CWrapCoord::WrapY(entry[pw::kY]), entry[pw::kLevel]};
  log.Write("Wizard deployed at %i, %i, %i\n", at.x, at.y, at.level);
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(taken));
  log.Write("Item removed from list\n");
  return at;
}

void CBattleDeployment::DeployWizardArmy(int army, int kind, int placesOfPower, bool usePlacesOfPower) {
  WizardSite& site = g_wizardSites[army];
  const DeployPos at = usePlacesOfPower && map_.CountRegionsOfPower() > 0
                           ? PickPlaceOfPower()
                           : DeployWizard(kind, army);
  site = WizardSite{1, at.x, at.y, at.level};
  // Without a wizard creature the army stays as it is (the table would drop a local army
  // whose wizard is gone).
  const int wizard = BattleSystems().CreateWizard(army, at.x, at.y, at.level);
  if (wizard >= 0) g_armyTable.armies[army].SetWizardCreature(wizard);
  (void)placesOfPower;
}

void DeployAfterMapBuild(CMap& map, int seed) {
  CBattleDeployment deployment(map);
  deployment.DeployObjects(seed);
  deployment.DeployRandomArtifacts(g_gameSettings.Artefacts);
  const int wanted = QuickOrMultiplayer() ? g_gameSettings.placesOfPower : map.maxRegionsOfPower;
  deployment.DeployRegionsOfPower(wanted);
}
