#pragma once
// CSpellBoxScreen: where the player chooses, before a battle, which magic to carry. The
// wizard's known magic items lie in a pool of 25 slots; the talisman columns (Law, Neutral,
// Vrask) have as many slots as the wizard has talismans of each; an item dragged into a column
// carries that column's spell into the battle. Pointing at an item shows its picture and its
// three spells. The battle set-ups open it timed (a countdown of the selection time, counted
// on the timer thread, closes it one second after it reaches 0); the campaign opens it
// untimed, with the grimoire button. Leaving commits the choices to the wizard's spell pool.
// One global instance; its choices survive between openings and go into saved games.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/MMTimer.h"
#include "frontend/SpellBoxChoices.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/Button.h"
#include "ui/Screen.h"

class CSpellBoxScreen : public CScreen {
 public:
  // Control ids.
  static constexpr int kPoolSlotId = 2003;  // + slot 0-24
  static constexpr int kGrimoireId = 2037;
  static constexpr int kLeaveId = 2038;
  static constexpr int kColumnSlotId = 2046;  // + 7 x column + slot
  static constexpr int kSlotSound = 802;
  // Tooltip texts: talisman icons 0-2, column slot i of column c 3 + 7c + i, pool slot i
  // 24 + i, the grimoire button 50, the leave button 51.
  static constexpr int kTooltipTexts = 52;

  CSpellBoxScreen();
  ~CSpellBoxScreen() override;

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void Update() override;
  int OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  // Every choice cleared (the battle set-ups, before a new battle).
  void ResetChoices() { choices.Reset(); }
  // The saved game's part: 364, or -1 on a short write or read.
  int WriteSave(FILE* file) const { return WriteSpellBoxSave(choices, file); }
  int ReadSave(FILE* file) { return ReadSpellBoxSave(choices, file); }

  // One tick of the countdown (the timer thread's work): lowers the remaining time by one,
  // not below -1.
  void CountDown();

  // The slots of the loaded screen (column 0-2, or -1 for the pool) and their items.
  int SlotItem(int column, int index) const;
  platform::Rect SlotRect(int column, int index) const;
  const std::string& TooltipText(int number) const { return tooltips_[static_cast<size_t>(number)]; }
  int ColumnSlotCount(int column) const;

  // Set by the opener.
  int wizardRecord = 0;
  int timedMode = 0;
  std::atomic<int> remainingTime{0};

  SpellBoxChoices choices;
  int closeRequested = 0;
  int heldItem = -1;
  int grimoireRequested = 0;

 private:
  class Slot;
  class Box;
  friend class Slot;
  friend class Box;

  void Load();
  void Unload();
  void CreateControls();
  void CollectChoices();
  void Draw();
  void DrawItemPanel(int item);
  void MakeTooltips();
  int PointedItem() const;

  void Pick(Slot& slot);
  void DropOn(Slot& slot);
  // A release over no slot, at (x, y).
  void DropNowhere(int x, int y);

  int lowRes_ = 0;  // 0 at 800 x 600, 1 at 640 x 480
  CSurface boxSurface_;
  CSprite iconSprite_, talismanSprite_, itemSprite_, buttonSprite_;
  std::vector<std::unique_ptr<Slot>> slots_;  // columns first, then the pool
  std::unique_ptr<Box> box_;
  std::unique_ptr<CButton> leaveButton_, grimoireButton_;
  std::unique_ptr<CCallback> leaveCallback_, grimoireCallback_;
  std::vector<std::string> tooltips_;
  Slot* dragSource_ = nullptr;
  CMMTimer timer_;
  int pointerX_ = 0, pointerY_ = 0;
};

extern CSpellBoxScreen* g_spellBox;
