// End to end on a forged map with the forged art: every type plays its idle blocks and,
// after KillAll, dies through its stages (or leaves at once, as wizards, the undead and
// bodiless do); two runs from one seed give the same per-frame hash of every record; and a
// strip of one creature going through its states, drawn by the map view into a PNG.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/Flatwin.h"

namespace creature_test {
namespace {

using Life = OrdersWorld;

// FNV-1a over bytes.
void Mix(uint64_t& hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
}

uint64_t HashOfRecords() {
  uint64_t hash = 1469598103934665603ull;
  for (const CCreature& c : g_creatureArray.records) {
    const int32_t words[] = {c.inUse,         c.cellX,        c.cellY,      c.level,         c.health,
                             c.order,         c.pendingOrder, c.animState,  c.animationBase, c.bodyAnim.sequence,
                             c.bodyAnim.step, c.facing,       c.viewFacing, c.target,        c.heldTime,
                             c.heldKind,      c.experience,   c.mana,       c.rangedAttack,  c.nextActionFrame};
    Mix(hash, words, sizeof words);
    Mix(hash, &c.orderState, sizeof c.orderState);
  }
  return hash;
}

// Places one creature of every type but the wizard looks' others and the unseen herald, a
// few cells apart; answers the slots by type.
std::map<int, int> PlaceEveryType(Life& world, const std::function<int(int, int, int, int)>& place) {
  (void)world;
  std::map<int, int> slots;
  int n = 0;
  for (int type = 0; type <= 23; ++type, ++n) slots[type] = place(type, 0, 3 + (n % 6) * 7, 3 + (n / 6) * 9);
  return slots;
}

struct LifeRun {
  std::vector<uint64_t> hashes;
  std::map<int, std::set<int>> idleBlocks;     // by type
  std::map<int, int> waits;                    // times each type entered WAIT
  std::map<int, std::vector<int>> deathBases;  // by type: the DYING and DEAD blocks in order
  std::map<int, int> framesToLeave;
};

std::vector<int> Bases(const LifeRun& run, int type) {
  auto found = run.deathBases.find(type);
  return found == run.deathBases.end() ? std::vector<int>{} : found->second;
}

TEST_F(Life, EveryTypeIdlesThenDiesThroughItsStagesAndTwoRunsAgree) {
  g_creatureDieTime = 10;
  auto once = [this](uint32_t seed) {
    g_creatureArray.ReleaseAll();
    g_battleRandom.Seed(seed);
    board.frame = 0;
    LifeRun run;
    const std::map<int, int> slots = PlaceEveryType(*this, [this](int type, int army, int x, int y) {
      return type == 0 ? PlaceWizard(army, x, y) : Place(type, army, x, y);
    });
    std::map<int, int> lastBase, lastStep;
    auto observe = [&] {
      for (const auto& [type, slot] : slots) {
        const CCreature& c = C(slot);
        if (!c.inUse) continue;
        // A new block: another base, or the same base started again.
        const bool entered = c.animationBase != lastBase[type] || c.bodyAnim.step < lastStep[type];
        if (c.animState == ANIM_WAIT && c.animationBase >= 64 && c.animationBase <= 104) {
          run.idleBlocks[type].insert(c.animationBase);
          if (entered) ++run.waits[type];
        }
        auto& bases = run.deathBases[type];
        if ((c.animState == ANIM_DYING || c.animState == ANIM_DEAD) &&
            (bases.empty() || bases.back() != c.animationBase))
          bases.push_back(c.animationBase);
        lastBase[type] = c.animationBase;
        lastStep[type] = c.bodyAnim.step;
      }
      run.hashes.push_back(HashOfRecords());
    };
    for (int frame = 0; frame < 400; ++frame) {
      Frame();
      observe();
    }
    g_creatureArray.KillAll();
    observe();
    for (int frame = 1; frame <= 200; ++frame) {
      Frame();
      observe();
      for (const auto& [type, slot] : slots)
        if (!C(slot).inUse && !run.framesToLeave.count(type)) run.framesToLeave[type] = frame;
    }
    return run;
  };
  const LifeRun first = once(99);
  const LifeRun second = once(99);
  EXPECT_EQ(first.hashes, second.hashes);
  const LifeRun other = once(100);
  EXPECT_NE(first.hashes, other.hashes);

  for (int type = 1; type <= 23; ++type) {
    SCOPED_TRACE(testing::Message() << "type " << type);
    // Blocks of some 30 frames over 400 frames: a dozen, of three or more kinds.
    EXPECT_GE(first.waits.at(type), 8);
    EXPECT_GE(first.idleBlocks.at(type).size(), 3u);
    ASSERT_TRUE(first.framesToLeave.count(type));
    const CCreatureType& t = g_creatureTypes[type];
    const bool leavesAtOnce = type == 6 || type == 8 || ((t.IsUndead || !t.IsPhysical) && type != 11 && type != 14);
    std::vector<int> expected = {232, 296, 304, 312, 320};
    if (type == kStatic) expected.erase(expected.begin());  // no DYING for the eye
    if (leavesAtOnce) expected = {232};
    EXPECT_EQ(Bases(first, type), expected);
  }
  // The wizard leaves the map at once, with no body.
  EXPECT_EQ(first.framesToLeave.at(0), 1);
  EXPECT_TRUE(Bases(first, 0).empty());
}

// --- the strip ---

// The creatures of the pool as the map view draws them: the body's current frame.
struct PoolView : IMapViewCreatures {
  bool GetDrawInfo(int slot, int, CreatureDrawInfo& out) override {
    CCreature* creature = CreatureInUse(slot);
    if (!creature) return false;
    out = CreatureDrawInfo{};
    out.type = creature->typeNumber;
    const int centre = creature->type ? creature->type->centreOffset : 16;
    out.x = out.anchorX = creature->unitX + centre;
    out.y = out.anchorY = creature->unitY + centre;
    out.z = out.anchorZ = creature->unitZ;
    int dx = 0, dy = 0;
    out.body.frame = creature->GetCurrentFrame(dx, dy);
    out.body.offsetX = dx;
    out.body.offsetY = dy;
    out.body.printType = PRT_NORMAL;
    return true;
  }
};

class Strip : public Life {
 protected:
  void SetUp() override {
    Life::SetUp();
    canvas_ = std::make_unique<testing_support::MapViewCanvas>();  // in the forged data folder
    ASSERT_TRUE(canvas_->ready);
    g_map.ResetLight();
    std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), int8_t{0});
  }
  void TearDown() override {
    canvas_.reset();
    Life::TearDown();
  }
  // The 96 x 96 pixels round the creature at the screen centre, each drawn 2 x 2.
  static constexpr int kCrop = 96, kPanel = 2 * kCrop;
  std::vector<uint16_t> Panel(int cameraX, int cameraY) {
    g_prefs.isHighRes = 1;
    const std::vector<uint16_t> screen = canvas_->Draw(0, cameraX, cameraY, 0);
    std::vector<uint16_t> out;
    if (screen.empty()) return out;
    for (int y = 0; y < kPanel; ++y)
      for (int x = 0; x < kPanel; ++x) out.push_back(screen[static_cast<size_t>(236 + y / 2) * 800 + 336 + x / 2]);
    return out;
  }

  std::unique_ptr<testing_support::MapViewCanvas> canvas_;
};

TEST_F(Strip, ACreatureGoesThroughItsStatesDrawnByTheMapView) {
  PoolView pool;
  MapViewHooksScope hooks(MapViewHooks{&pool, g_mapViewHooks.world, g_mapViewHooks.battle, g_mapViewHooks.commands});
  g_creatureDieTime = 8;
  const int foe = Place(kBrownie, 1, 21, 20);
  const int slot = Place(kCentaur, 0, 20, 20);
  CCreature& centaur = C(slot);
  centaur.SetFacing(3);

  struct Step {
    const char* state;
    std::function<void()> start;
    int frames;
  };
  const std::vector<Step> steps = {
      {"wait", [] {}, 6},
      {"taunt", [&] { centaur.SetAnimState(ANIM_TAUNT); }, 6},
      {"hand-to-hand", [&] { centaur.AttackCreature(foe); }, 5},
      {"stunned", [&] { centaur.Immobilise(60, 0); }, 6},
      {"trapped",
       [&] {
         effects.cellEffects[{20, 20, 0, 62}] = 1, centaur.EndHeldState(), centaur.Trap();
       },
       6},
      {"dying", [&] { effects.cellEffects.clear(), centaur.AdjustHealth(-100000, -1, nullptr, 1); }, 8},
      {"dead 0", [] {}, 0},
      {"dead 3", [] {}, 0},
  };
  std::vector<std::vector<uint16_t>> panels;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.state);
    step.start();
    if (std::string(step.state) == "dead 0") {
      while (centaur.animState != ANIM_DEAD) Frame();
      for (int f = 0; f < 4; ++f) Frame();
    } else if (std::string(step.state) == "dead 3") {
      while (centaur.orderState.deathStage < 3) Frame();
    } else {
      for (int f = 0; f < step.frames; ++f) Frame();
    }
    // The body no longer holds its cell; it is drawn where it lies.
    CMapCell& cell = g_map.CellAt(20, 20, 0);
    const uint16_t occupant = cell.occupant, state = cell.state;
    cell.occupant = static_cast<uint16_t>(slot);
    cell.state |= state_bits::kLiquid;
    panels.push_back(Panel(20, 20));
    cell.occupant = occupant;
    cell.state = state;
    ASSERT_EQ(panels.back().size(), static_cast<size_t>(kPanel * kPanel));
  }
  const size_t width = kPanel * panels.size();
  std::vector<uint16_t> strip(width * kPanel);
  for (size_t p = 0; p < panels.size(); ++p)
    for (int y = 0; y < kPanel; ++y)
      std::copy_n(panels[p].begin() + y * kPanel, kPanel, strip.begin() + y * width + p * kPanel);
  const std::string path = testing_support::TestOutputDir() + "/creature-states.png";
  EXPECT_TRUE(testing_support::WritePng565(path, static_cast<int>(width), kPanel, strip));
  std::printf("creature states: %s\n", path.c_str());
  for (size_t a = 0; a < panels.size(); ++a)
    for (size_t b = a + 1; b < panels.size(); ++b)
      EXPECT_NE(panels[a], panels[b]) << steps[a].state << " / " << steps[b].state;
}

}  // namespace
}  // namespace creature_test
