// The spell box: its columns from the wizard's talismans, its choices prepared from what the
// wizard knows and carries, dragging items between slots, the commit on leaving, the timed
// mode's close and the saved game's block.
#include <gtest/gtest.h>

#include <cstdio>

#include "FrontEndTestSupport.h"
#include "MagicFakes.h"
#include "battle/TooltipManager.h"
#include "core/Bytes.h"
#include "core/Hooks.h"
#include "core/Preferences.h"
#include "core/StringTable.h"
#include "frontend/SpellBox.h"
#include "frontend/SpellBoxChoices.h"
#include "ui/SharedArt.h"

using namespace frontend_test;

namespace {

class SpellBox : public FrontEnd {
 protected:
  // The player's wizard: talismans and known items.
  void Wizard(std::vector<int> talismans, std::vector<int> items) {
    wizards_.talismans[0] = std::move(talismans);
    wizards_.items[0] = std::move(items);
  }
  void OpenBox(int timed = 0, int seconds = 0) {
    g_spellBox->wizardRecord = 0;
    g_spellBox->timedMode = timed;
    g_spellBox->remainingTime = seconds;
    Open(g_spellBox);
    Frames(1);
  }
  platform::Rect RectOf(int column, int index) { return g_spellBox->SlotRect(column, index); }
  // A drag with the left button from one point to another, dispatched as the next frame would.
  void Drag(int fromX, int fromY, int toX, int toY) {
    QueueMouseEvent(0, fromX, fromY);
    QueueMouseEvent(platform::MK_LBUTTON, fromX, fromY);
    QueueMouseEvent(platform::MK_LBUTTON, (fromX + toX) / 2, (fromY + toY) / 2);
    QueueMouseEvent(platform::MK_LBUTTON, toX, toY);
    QueueMouseEvent(0, toX, toY);
    DispatchMouseEvents();
  }
  void DragSlot(int fromColumn, int fromIndex, int toColumn, int toIndex) {
    const platform::Rect a = RectOf(fromColumn, fromIndex), b = RectOf(toColumn, toIndex);
    Drag((a.left + a.right) / 2, (a.top + a.bottom) / 2, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
  }

  MagicWizards wizards_;
  FrontEndWizardsScope wizardScope_{wizards_};
  NumberedItems magic_;
  FrontEndMagicScope magicScope_{magic_};
};

}  // namespace

TEST_F(SpellBox, TheColumnsHaveAsManySlotsAsTheWizardHasTalismans) {
  struct Case {
    std::vector<int> talismans;
    int law, neutral, vrask;
  };
  for (const Case& c : {Case{{2, 0, 1}, 2, 0, 1}, Case{{0, 0, 0}, 0, 0, 0}, Case{{9, 7, -3}, 7, 7, 0}}) {
    Wizard(c.talismans, {4});
    g_spellBox->ResetChoices();
    OpenBox();
    EXPECT_EQ(g_spellBox->ColumnSlotCount(0), c.law);
    EXPECT_EQ(g_spellBox->ColumnSlotCount(1), c.neutral);
    EXPECT_EQ(g_spellBox->ColumnSlotCount(2), c.vrask);
    EXPECT_EQ(g_spellBox->SlotItem(-1, 0), 4);
    EXPECT_EQ(g_spellBox->TooltipText(0), "Talisman Of Vrask");
    EXPECT_EQ(g_spellBox->TooltipText(51), "Realm View");
    while (g_screenCount > 0) PopScreen();
  }
}

TEST_F(SpellBox, ChoicesAreMadeReadyFromWhatTheWizardKnowsAndCarries) {
  // Saved choices: item 5 in the Law column and item 6 in the pool, which the wizard no longer
  // knows; it knows 7, 8 and 9, and carries item 8's Neutral spell.
  g_spellBox->ResetChoices();
  g_spellBox->choices.columns[0][0] = 5;
  g_spellBox->choices.pool[3] = 6;
  Wizard({1, 1, 0}, {7, 8, 9});
  wizards_.pool[0] = {3 * 8 + 1};
  OpenBox();
  EXPECT_EQ(g_spellBox->SlotItem(0, 0), -1) << "a stale column item is cleared";
  EXPECT_EQ(g_spellBox->SlotItem(1, 0), 8) << "the carried spell's item stands in its column";
  std::vector<int> pool;
  for (int i = 0; i < kPoolSlots; ++i) pool.push_back(g_spellBox->SlotItem(-1, i));
  EXPECT_EQ(std::count(pool.begin(), pool.end(), 6), 0) << "a stale pool item is cleared";
  EXPECT_EQ(pool[0], 7);
  EXPECT_EQ(pool[1], 9);
  EXPECT_EQ(std::count(pool.begin(), pool.end(), 8), 0);
  EXPECT_EQ(g_spellBox->TooltipText(3 + 7 * 1 + 0).rfind("\n(", 0), 0u) << "spell name, then the item's text";
}

TEST_F(SpellBox, DraggingMovesOrSwapsItemsAndLeavingCommitsTheColumnsSpells) {
  Wizard({2, 0, 1}, {7, 8, 9});
  g_spellBox->ResetChoices();
  OpenBox();
  DragSlot(-1, 0, 0, 0);  // item 7 onto an empty Law slot
  EXPECT_EQ(g_spellBox->SlotItem(0, 0), 7);
  EXPECT_EQ(g_spellBox->SlotItem(-1, 0), -1) << "the pool slot is left empty";
  DragSlot(-1, 1, 0, 0);  // item 8 onto the occupied slot: the two swap
  EXPECT_EQ(g_spellBox->SlotItem(0, 0), 8);
  EXPECT_EQ(g_spellBox->SlotItem(-1, 1), 7);
  DragSlot(-1, 2, 2, 0);   // item 9 into the Vrask column
  DragSlot(-1, 1, -1, 1);  // dropped where it was taken: it stays
  EXPECT_EQ(g_spellBox->SlotItem(-1, 1), 7);
  EXPECT_EQ(g_spellBox->heldItem, -1);

  // Released over no slot, the item goes to the slot whose rectangle joined with the held
  // icon's is largest: beside Law slot 1 (no Neutral slots), Law slot 1; just right of it, where
  // the icon also meets pool slots 15 and 20, the one furthest off, 20.
  const platform::Rect pool1 = RectOf(-1, 1), law1 = RectOf(0, 1), pool20 = RectOf(-1, 20);
  Drag((pool1.left + pool1.right) / 2, (pool1.top + pool1.bottom) / 2, law1.left - 4, (law1.top + law1.bottom) / 2);
  EXPECT_EQ(g_spellBox->SlotItem(0, 1), 7);
  EXPECT_EQ(g_spellBox->SlotItem(-1, 1), -1);
  Drag((law1.left + law1.right) / 2, (law1.top + law1.bottom) / 2, law1.right + 6, (law1.top + law1.bottom) / 2);
  EXPECT_EQ(g_spellBox->SlotItem(-1, 20), 7);
  const platform::Rect from = pool20;
  Drag((from.left + from.right) / 2, (from.top + from.bottom) / 2, law1.left - 4, (law1.top + law1.bottom) / 2);
  EXPECT_EQ(g_spellBox->SlotItem(0, 1), 7);
  Frames(1);
  SaveFrame("spell_box.png");

  Key(platform::VK_ESCAPE);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  // Law: items 8 and 7; Vrask: item 9.
  EXPECT_EQ(wizards_.pool[0], (std::vector<int>{3 * 8, 3 * 7, 3 * 9 + 2}));
  EXPECT_EQ(g_spellBox->choices.columns[0][0], 8);
  EXPECT_EQ(g_spellBox->choices.columns[2][0], 9);
}

// Pointing at a slot names what it holds: a pool item with its three spells, a column slot
// with its spell; leaving the slot takes the name away. The front end's own texts come back
// when the box closes.
TEST_F(SpellBox, PointingAtASlotShowsItsTooltipAndLeavingHidesIt) {
  g_tooltipManager.SetFont(&g_smallFont);
  g_tooltipManager.Init();
  g_tooltipManager.LoadTexts("cfg\\tooltips.cfg");
  g_tooltipManager.Enable(0);
  CTooltipControlHooks hooks;
  HookScope<IControlHooks> scope(g_controlHooks, hooks);
  g_prefs.tooltipLongDelay = 0;
  g_prefs.tooltipQuickDelay = 0;
  Wizard({1, 1, 1}, {7, 8});
  g_spellBox->ResetChoices();
  OpenBox(1, 60);
  DragSlot(-1, 1, 0, 0);  // item 8 into the Law column
  Frames(1);
  struct Case {
    int column, index;
  } cases[] = {{-1, 0}, {0, 0}};  // item 7 in the pool, item 8's Law spell
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    const platform::Rect r = RectOf(c.column, c.index);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    QueueMouseEvent(0, x, y);
    DispatchMouseEvents();
    Frames(1);
    ASSERT_TRUE(g_tooltipManager.Shown());
    const int number = c.column < 0 ? 24 + c.index : 3 + 7 * c.column + c.index;
    EXPECT_FALSE(g_spellBox->TooltipText(number).empty());
    EXPECT_STREQ(g_tooltipManager.texts.Get(number), g_spellBox->TooltipText(number).c_str());
    const platform::Rect box = g_tooltipManager.ScreenRect();
    // Below the pointer, or above it near the bottom of the screen.
    EXPECT_TRUE(box.top >= y || box.bottom <= y) << box.top << " " << box.bottom << " " << y;
    EXPECT_LE(box.left, x);
    EXPECT_GE(box.right, x);
    if (c.column < 0) SaveFrame("spell_box_tooltip.png");
    QueueMouseEvent(0, 400, 5);  // off every slot
    DispatchMouseEvents();
    Frames(1);
    EXPECT_FALSE(g_tooltipManager.Shown());
  }
  Key(platform::VK_ESCAPE);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  CStringTable frontEnd;
  frontEnd.Load("cfg\\tooltips.cfg");
  EXPECT_STREQ(g_tooltipManager.texts.Get(0), frontEnd.Get(0));
  g_tooltipManager.RestartHoverTimer();
  g_tooltipManager.Release();
}

TEST_F(SpellBox, InTheTimedModeItClosesOneSecondAfterTheTimeRunsOut) {
  Wizard({1, 1, 1}, {3});
  g_spellBox->ResetChoices();
  OpenBox(1, 1);
  EXPECT_EQ(g_spellBox->TooltipText(51), "Begin Battle");
  Frames(10);
  EXPECT_EQ(g_currentScreen, g_spellBox);
  g_spellBox->CountDown();  // 0
  Frames(10);
  EXPECT_EQ(g_currentScreen, g_spellBox) << "at 0 the player still has a second";
  g_spellBox->CountDown();  // -1
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  g_spellBox->CountDown();
  EXPECT_EQ(g_spellBox->remainingTime.load(), -1) << "never below -1";
}

TEST(SpellBoxChoices, TheSavedBlockRoundTripsAndBadBlocksAreRefused) {
  SpellBoxChoices choices;
  choices.counts[0] = 2;
  choices.counts[2] = 7;
  choices.columns[0][1] = 20;
  choices.columns[2][6] = 0;
  choices.pool[24] = 13;
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(WriteSpellBoxSave(choices, file), 364);
  EXPECT_EQ(std::ftell(file), 364);
  std::rewind(file);
  SpellBoxChoices back;
  EXPECT_EQ(ReadSpellBoxSave(back, file), 364);
  EXPECT_TRUE(back == choices);
  std::rewind(file);
  uint8_t block[kSpellBoxBlockBytes];
  ASSERT_EQ(std::fread(block, 1, sizeof block, file), sizeof block);
  std::fclose(file);
  EXPECT_EQ(bytes::LoadI32(block), 2);
  EXPECT_EQ(bytes::LoadI32(block + 12 + 4), 20) << "Law entry 1 follows the counts";
  EXPECT_EQ(bytes::LoadI32(block + 12 + 4 * (2 * 21 + 6)), 0) << "Vrask entry 6";
  EXPECT_EQ(bytes::LoadI32(block + 12 + 4 * 63 + 4 * 24), 13) << "pool entry 24";

  struct Bad {
    const char* what;
    size_t offset;
    int32_t value;
  };
  for (const Bad& bad : {Bad{"a count of 8", 0, 8}, Bad{"a count of -1", 8, -1}, Bad{"a column item 21", 12, 21},
                         Bad{"a pool entry -2", 12 + 4 * 63, -2}, Bad{"a pool item 99", 360, 99}}) {
    uint8_t copy[kSpellBoxBlockBytes];
    std::copy(std::begin(block), std::end(block), copy);
    bytes::StoreI32(copy + bad.offset, bad.value);
    SpellBoxChoices read = choices;
    FILE* badFile = std::tmpfile();
    std::fwrite(copy, 1, sizeof copy, badFile);
    std::rewind(badFile);
    EXPECT_EQ(ReadSpellBoxSave(read, badFile), -1) << bad.what;
    EXPECT_TRUE(read == SpellBoxChoices{}) << bad.what << ": the choices are reset";
    std::fclose(badFile);
  }
  FILE* shortFile = std::tmpfile();
  std::fwrite(block, 1, 100, shortFile);
  std::rewind(shortFile);
  SpellBoxChoices read = choices;
  EXPECT_EQ(ReadSpellBoxSave(read, shortFile), -1);
  EXPECT_TRUE(read == SpellBoxChoices{});
  std::fclose(shortFile);
}
