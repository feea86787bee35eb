#pragma once
// What the network layer asks of the subsystems above it while the game runs: who carries out
// a frame's commands (creatures, spells, world objects), what the battle does with its clock,
// its own inputs and its record, who hears of the set-up messages (the set-up and load screens,
// the wizards' spell pools), and who checks the settings and player slot records that peers
// send. Each is a small interface whose default answers the neutral value; the owners install
// their own at start-up (g_netHooks.commands = &...). Tests install fakes with NetHooksScope.

#include <cstdint>

class CRecordLog;
struct InitialiseView;
struct WizardSpells;

// A frame's commands on the creatures, spells and world objects. Creature numbers reach it
// checked: 0 to CreatureCount() - 1.
class INetCommandSink {
 public:
  virtual ~INetCommandSink() = default;
  virtual int CreatureCount() { return 0; }
  // Health not 0.
  virtual bool IsAlive(int creature) { return false; }
  virtual void ClearPathMarkers(int creature) {}
  // -1: follows nobody.
  virtual void SetFollowTarget(int creature, int target) {}
  virtual void WalkTo(int creature, int x, int y, int z) {}
  virtual void WalkToCell(int creature, int x, int y, int level) {}
  virtual void AttackTerrain(int creature, int x, int y, int z) {}
  virtual void AttackCreature(int creature, int target) {}
  // Kind 2 walks to (a, b, c); kind 3 attacks creature d.
  virtual void ApplyQueuedOrder(int creature, int kind, int a, int b, int c, int d) {}
  // Runs item event 0-19 of the creature.
  virtual void ProcessEventAt(int creature, int eventIndex) {}
  // creature -1: the chest opens with no creature.
  virtual void OpenChestAt(int creature, int a, int b, int c) {}
  // The 44-byte spell-cast record as eleven words; its spell number is 0-103.
  virtual void CastSpell(const int32_t record[11]) {}
  // Writes the effect log (fx_log.txt when the effect counts of two machines differ).
  virtual void WriteEffectLog(const char* fileName) {}
};

// The battle: its clock and own inputs as frames carry them, its playback record, and what it
// does when the network lets it down.
class INetBattle {
 public:
  virtual ~INetBattle() = default;
  virtual void SetBattleTimer(int value) {}
  virtual void Pause(int word) {}
  virtual void SpeechClosed(int word) {}
  virtual void CameraBack(int word) {}
  virtual void InterfaceCommand(int word) {}
  // The playback record: open for writing while the battle is recorded, for reading while it
  // is played back; null when there is none.
  virtual CRecordLog* RecordLog() { return nullptr; }
  // The machines no longer agree, or the playback record broke: the text has been shown and
  // logged; the battle ends (the process goes on).
  virtual void EndBattle(const char* reason) {}
  // A chat line during the battle, formatted, for the message scroll.
  virtual void ShowChatLine(const char* line) {}
  // A player left: the chat console drops the name from its recipients.
  virtual void RemoveChatRecipient(const char* name) {}
};

// The set-up messages and session events before the battle. The default hands them to the
// screen attached to the transport of the phase (NetTransport.h); tests listen here directly.
class INetSetupEvents {
 public:
  virtual ~INetSetupEvents() = default;
  virtual void PlayerAdded(const char* name) {}
  virtual void PlayerRemoved(const char* name) {}
  // This machine was told to leave, or lost its host before the battle.
  virtual void SelfRemoved() {}
  virtual void PlayersChanged() {}
  virtual void Chat(const char* name, const char* text) {}
  // Records already checked by INetSetupRecords, valid during the call only.
  virtual void GameSettings(const uint8_t* settings) {}
  virtual void PlayerSlot(int slotIndex, const uint8_t* slot) {}
  virtual void SetSlot(int slotIndex) {}
  // Whether the player of that name sits at the place: the host takes a request for a place
  // only from its own player.
  virtual bool SpeaksFor(const char* name, int slotIndex) { return true; }
  // Requests that reach the host's screen.
  virtual void Ready(int slotIndex) {}
  virtual void ColourRequest(int slotIndex) {}
  virtual void PortraitRequest(int slotIndex) {}
  virtual void Handicap(int slotIndex, int value) {}
  // The start message, checked whole. Its records point into the receive buffer: what is kept
  // is copied during the call (and the marks set with NetMachine::ApplyStartMarks).
  virtual void Initialise(const InitialiseView& message) {}
  // A player's spell list (each player's first only): its spells join the pool of that
  // player's wizard and the load screen waits for one list fewer.
  virtual void WizardSpellsArrived(const WizardSpells& spells) {}
};

// The checked readers of the records peers send: the 312-byte game settings and the 316-byte
// player slot; a message whose record fails is dropped. The defaults refuse what no set-up
// screen could have sent: settings that the peer limits of core/GameSettings would change, a
// slot that core/PlayerSlot's check refuses (name not terminated within 31 bytes, portrait,
// colour, ready byte or handicap out of range). The front end installs stricter ones (the region
// against the multiplayer realm's regions).
class INetSetupRecords {
 public:
  virtual ~INetSetupRecords() = default;
  virtual bool CheckGameSettings(const uint8_t* settings) const;
  virtual bool CheckPlayerSlot(const uint8_t* slot) const;
};

struct NetHooks {
  INetCommandSink* commands;
  INetBattle* battle;
  INetSetupEvents* setup;
  INetSetupRecords* records;
};

// Never holds a null member: each starts at the neutral default.
extern NetHooks g_netHooks;
NetHooks DefaultNetHooks();

class NetHooksScope {
 public:
  explicit NetHooksScope(const NetHooks& hooks) : saved_(g_netHooks) { g_netHooks = hooks; }
  ~NetHooksScope() { g_netHooks = saved_; }
  NetHooksScope(const NetHooksScope&) = delete;
  NetHooksScope& operator=(const NetHooksScope&) = delete;

 private:
  NetHooks saved_;
};
