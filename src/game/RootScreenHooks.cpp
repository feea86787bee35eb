#include "game/RootScreenHooks.h"

#include "battle/BattlePanels.h"
#include "battle/ChatConsole.h"
#include "battle/MessagePanel.h"
#include "battle/ScrollPanel.h"
#include "battle/TooltipManager.h"
#include "creatures/CreatureType.h"
#include "graphics/Display.h"
#include "magic/EffectManager.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "ui/FrontEndRoot.h"

namespace {

// Each step is its owner's call, in the root's order; a subsystem adds its call here when it
// is built (until then the step does nothing, as the neutral hooks do).
class CRootScreenHooks : public IFrontEndRootHooks {
 public:
  // The battle: the tooltip manager (font NormSm, its surface, cfg\tooltips.cfg, the framed
  // style; the controls' tooltips go to it) and the message panel (font yellowtext, its
  // messages, its surface).
  void LoadInterfacePanels() override { InitTooltips(); }
  // The effects: cfg\effects.cfg, cfg\effectani.cfg and the effect sprites (a failure shows
  // its own box and ends the program).
  void LoadEffectTables() override { g_effectManager.LoadConfig(); }
  // The creatures: cfg\creature.cfg and cfg\hth.cfg (a failure names cfg\creature.cfg).
  void LoadCreatureTypes() override { ::LoadCreatureTypes(); }
  // The battle map: the map view attached to the map and the work surface in this rectangle.
  // It takes no input until the battle screen sets it up (the battle's terrain sprites come
  // with the battle too).
  void AttachMapView(int left, int top, int right, int bottom) override {
    g_mapView.Attach(&g_map, &g_backBuffer, nullptr, platform::Rect{left, top, right, bottom}, 0);
  }
  // The battle: the story scroll, spot icons, select bar, wizard faces and chat console.
  void LoadBattlePanels() override {
    InitStoryScroll();
    InitMessagePanels();
    InitSelectBarAndFace();
    g_chatConsole.Init();
  }
  // The battle map's door records; the battle's named list joins them once the battle exists.
  void FreeBattleShared() override { FreeDoorsConfig(); }
};
CRootScreenHooks g_rootScreenHooks;

}  // namespace

void InstallRootScreenHooks() { g_frontEndRootHooks.Install(&g_rootScreenHooks); }
