#pragma once
// Fixtures of the map view tests: the forged terrain sprite, an 800 x 600 draw surface, a
// hand-made landscape on the test map, and fakes of what the view asks of the subsystems above.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "MapTestSupport.h"
#include "core/Preferences.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "support/MapViewCanvas.h"
#include "support/TestSupport.h"
#include "ui/Flatwin.h"

namespace map_test {

// Rolling ground with a lake (water level 2), sand, a rock outcrop, a walled house with a
// door and a roof, a bridge and a region of power, on a map that wraps seamlessly. Fully lit.
void BuildLandscape();
// Every light value of the shown light buffer.
void LightWholeMap(int light);

// The forged terrain sprite, an 800 x 600 surface and the view attached to the test map.
class ViewScene : public testing_support::MapViewCanvas {
 public:
  ViewScene() : MapViewCanvas(800, 600, testing_support::ForgedDataDir() + "/maps/moorland/terrain.spr") {}
  // Attached at the high resolution.
  void Attach(int rotation = 0) {
    g_prefs.isHighRes = 1;
    MapViewCanvas::Attach(rotation);
  }
  // Clears the surface, draws frames and answers the pixels. The water printer moves pixels
  // already on the surface, as the game's back buffer holds the last frame: a second frame
  // shows the water as the game does.
  std::vector<uint16_t> DrawFrame(int frames = 1) {
    surface.Fill(0);
    for (int i = 0; i < frames; ++i) g_mapView.Update();
    return Pixels();
  }
};

// The creatures, world and battle as the view sees them, recorded.
struct FakeViewCreatures : IMapViewCreatures {
  std::map<int, CreatureDrawInfo> draw;
  std::map<int, CreatureOrderInfo> orders;
  std::map<int, CellPos> formationCells;  // answers of FindFormationCell, by creature
  int wizard = -1, spell = -1;
  std::vector<std::string> calls;
  int roomFromLevel = 0;  // the map's room query answers 1 from this level up
  bool GetDrawInfo(int creature, int, CreatureDrawInfo& out) override;
  bool GetOrderInfo(int creature, CreatureOrderInfo& out) override;
  void Select(int creature) override;
  void Deselect(int creature) override;
  void SelectGroup(int creature) override;
  bool FindFormationCell(int creature, int x, int y, int level, CellPos& goal) override;
  bool FindNearbyFreeCell(int creature, const CellPos& place, CellPos& goal) override;
  int LocalWizard() override { return wizard; }
  int ChosenSpell(int) override { return spell; }
  void SelectSpell(int w, int s) override { calls.push_back("spell " + std::to_string(w) + " " + std::to_string(s)); }
  void SetInBand(int creature) override { calls.push_back("band " + std::to_string(creature)); }
};

struct FakeViewBattle : IMapViewBattle {
  int occlusion = 2, extended = 0, localPlayer = 0, spellKind = 0;
  bool armed = false;
  std::vector<std::vector<int>> offers;
  int OcclusionSetting() override { return occlusion; }
  int LocalPlayer() override { return localPlayer; }
  int ExtendedSelection() override { return extended; }
  void SetExtendedSelection(int on) override { extended = on; }
  bool ScriptCommandsArmed() override { return armed; }
  void OfferInterfaceCommand(int kind, int value, int id) override { offers.push_back({kind, value, id}); }
  int SpellKind(int) override { return spellKind; }
};

struct RecordedCommands : IMapCommandSink {
  std::vector<CommandMessage> messages;
  void AddMessage(const CommandMessage& message) override { messages.push_back(message); }
};

// What the view asks of the creatures through the map's own hooks (the creatures in use,
// room and move queries), answered from the view fake's records: the creatures with order
// records are in use.
struct FakeViewMapCreatures : IMapCreatures {
  explicit FakeViewMapCreatures(FakeViewCreatures& view) : view(view) {}
  int NextInUse(int after) override;
  int HasRoomAt(int, int, int, int level) override { return level >= view.roomFromLevel ? 1 : 0; }
  bool GetMoveQuery(int, CMoveQuery& out) override {
    out = CMoveQuery::MinimalWalker();
    return true;
  }
  FakeViewCreatures& view;
};

struct FakeViewHooks {
  FakeViewCreatures creatures;
  FakeViewMapCreatures mapCreatures{creatures};
  IMapViewWorld world;
  FakeViewBattle battle;
  RecordedCommands commands;
  MapViewHooksScope scope{MapViewHooks{&creatures, &world, &battle, &commands}};
  MapHooksScope mapScope{WithCreatures(g_mapHooks, &mapCreatures)};

 private:
  static MapHooks WithCreatures(MapHooks hooks, IMapCreatures* creatures) {
    hooks.creatures = creatures;
    return hooks;
  }
};

}  // namespace map_test
