#include "game/RootScreenHooks.h"

#include "battle/BattlePanels.h"
#include "battle/ChatConsole.h"
#include "battle/ScrollPanel.h"
#include "battle/TooltipManager.h"
#include "creatures/CreatureType.h"
#include "magic/EffectManager.h"
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
  // The graphics engine: the print effects.
  void LoadPrintEffects() override {}
  // The battle map: the map view attached to the map, the work surface and this rectangle.
  void AttachMapView(int left, int top, int right, int bottom) override {}
  // The battle: the story scroll, spot icons, select bar, wizard faces and chat console.
  void LoadBattlePanels() override {
    InitStoryScroll();
    InitSelectBarAndFace();
    g_chatConsole.Init();
  }
  // The battle map's doors, the battle's named list and the print effects.
  void FreeShared() override {}
};
CRootScreenHooks g_rootScreenHooks;

}  // namespace

void InstallRootScreenHooks() { g_frontEndRootHooks.Install(&g_rootScreenHooks); }
