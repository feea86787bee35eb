#pragma once
// What the select bar and the wizard face panel need of the battle and of the local wizard's
// creature record, in one interface: the battle state (CBattle) installs its own at start-up
// (g_panelBattle.Install(&...) from its Install...() function); until then, and in tests
// without a fake, the neutral one answers: no local army, no wizard, nothing happens.
// Tests put fakes in with HookScope<IPanelBattle>(g_panelBattle, fake).
//
// The panels' item commands go to the network client's outgoing frame through
// g_panelCommands, whose neutral one is CNetClient::AddMessage of this machine's client.

#include <cstdint>

#include "core/Hooks.h"
#include "map/MapCommands.h"

inline constexpr int kWizardSpellSlots = 30;  // a wizard's spell list
inline constexpr int kCarrySlots = 20;        // a creature's item events

// One carried item: the world-object kind of an item event in use, -1 for a free slot.
struct PanelCarrySlot {
  int kind = -1;
  int charges = 0;
};

// The local wizard as the panels show it.
struct PanelWizardState {
  int spellCount = 0;  // 0-30
  int spells[kWizardSpellSlots] = {};
  PanelCarrySlot items[kCarrySlots];
  int health = 0;
  int maxHealth = 0;
  int mana = 0;          // 8.8 fixed point
  int maxMana = 0;       // 8.8 fixed point
  int controlled = 0;    // creatures the wizard controls
  int controlLimit = 0;  // how many it may control
  int rankTier = 0;      // 0, 1, 2 (CWizard::GetRankTier)
  int level = 0;         // the level of its cell
};

class IPanelBattle {
 public:
  virtual ~IPanelBattle() = default;

  // The game type: 1 quick battle, 2 network battle, 5 campaign, ...
  virtual int GameType() { return 0; }
  // The local player's army (0-7), -1 when there is none.
  virtual int LocalArmy() { return -1; }
  // The portrait index an army's player chose (quick and network battles).
  virtual int ArmyPortrait(int army) { return 0; }
  // The wizard creature's state; false when the slot holds no creature.
  virtual bool GetWizard(int creature, PanelWizardState& out) { return false; }
  // The object kind table's maximum charge of an item kind; 0 when unknown.
  virtual int ItemMaxCharge(int kind) { return 0; }

  // CCreature::SelectSpell on the wizard: this machine's choice of the spell to aim (-1 none).
  virtual void SelectSpell(int creature, int spell) {}
  // Before a spell is chosen the battle rebuilds its list of selected creatures.
  virtual void RebuildSelectedCreatures() {}
  // Whether the battle's script has armed interface-command (COMMAND) events.
  virtual bool ScriptCommandsArmed() { return false; }

  // Selects the wizard alone; answers whether it was selected already.
  virtual bool SelectWizardAlone(int creature) { return false; }
  // Centres the view on the wizard; a view that shows one level at a time shows its level
  // (at least 1, at most the map's level count).
  virtual void FocusOnWizard(int creature) {}

  // Whether the battle hides what the local army has not seen (the scanner's fog of war).
  virtual bool FogOfWar() { return false; }

  // The chat console closes when the popup strip opens.
  virtual void CloseChatConsole() {}
  // The tooltip manager shows a text at the pointer.
  virtual void ShowTooltipText(const char* text);
};

// Never null: the neutral interface until the battle installs its own.
extern HookSlot<IPanelBattle> g_panelBattle;
// Never null: where the panels' commands go; the neutral one hands them to this machine's
// network client (CNetClient::AddMessage), which sends them with the next frame.
extern HookSlot<IMapCommandSink> g_panelCommands;

// The word of a MSG_INTERFACE_COMMAND frame command: the script's interface command (0-255)
// in the low byte, then id1 + 1 and id2 + 1 (a spell, a creature type; -1 for none) in 12
// bits each. Ids outside -1..4094 travel as -1.
int32_t InterfaceCommandWord(int command, int id1, int id2);
void ReadInterfaceCommandWord(int32_t word, int& command, int& id1, int& id2);

// Offers an interface command to the script as a frame command, so that it reaches the
// script on every machine in the same frame; nothing while the script has none armed.
void OfferInterfaceCommand(int command, int id1, int id2);
