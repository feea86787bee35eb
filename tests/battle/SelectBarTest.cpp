// The select bar: its layout at both resolutions, the strip built from the wizard's spells
// and items, items picked up and used up, the blinking mark, the control limit, the speech
// lock, and what its clicks choose and send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SelectPanelFixtures.h"
#include "battle/BattleKeys.h"
#include "battle/SelectBarIcons.h"
#include "creatures/SpellDefinition.h"
#include "net/NetMessages.h"
#include "ui/UiTestSupport.h"

using namespace panel_test;

namespace {

using Strings = std::vector<std::string>;

// The message types the bar sends (net/NetMessages.h).
constexpr int32_t kUseArtifact = 8;
constexpr int32_t kDropArtifact = 9;
constexpr int32_t kInterfaceCommand = 28;

std::vector<int> Range(int from, int count) {
  std::vector<int> out;
  for (int i = 0; i < count; ++i) out.push_back(from + i);
  return out;
}

// A click of the left (or right) button in the middle of a button.
void ClickOn(const CControl& button, bool right = false) {
  const int x = (button.rect.left + button.rect.right) / 2, y = (button.rect.top + button.rect.bottom) / 2;
  QueueMouseEvent(0, x, y);
  QueueMouseEvent(right ? platform::MK_RBUTTON : platform::MK_LBUTTON, x, y);
  QueueMouseEvent(0, x, y);
  DispatchMouseEvents();
}

class SelectBarLayout : public SelectPanels {};

TEST_F(SelectBarLayout, RowsInterlockAtBothResolutions) {
  struct Case {
    bool highRes;
    platform::Rect slot0, toggle, popup0, rowStart1, rowStart2, last;
    int perRow0;
  };
  const Case cases[] = {
      {true,
       {638, 550, 678, 594},
       {596, 556, 632, 596},
       {552, 550, 592, 594},
       {528, 506, 568, 550},
       {552, 462, 592, 506},
       {456, 462, 496, 506},
       12},
      {false,
       {478, 430, 518, 474},
       {436, 436, 472, 476},
       {392, 430, 432, 474},
       {368, 386, 408, 430},
       {392, 342, 432, 386},
       {8, 342, 48, 386},
       9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.highRes ? "800 x 600" : "640 x 480");
    g_prefs.isHighRes = c.highRes;
    g_selectBar.Init();
    auto same = [](const platform::Rect& a, const platform::Rect& b) {
      return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(same(g_selectBar.slot[0].rect, c.slot0));
    EXPECT_TRUE(same(g_selectBar.toggle.rect, c.toggle));
    EXPECT_TRUE(same(g_selectBar.popup[0].rect, c.popup0));
    EXPECT_TRUE(same(g_selectBar.popup[c.perRow0].rect, c.rowStart1));
    const int row1 = c.highRes ? 11 : 8;  // odd rows hold one button less
    EXPECT_TRUE(same(g_selectBar.popup[c.perRow0 + row1].rect, c.rowStart2));
    EXPECT_TRUE(same(g_selectBar.popup[kPopupButtons - 1].rect, c.last));
    for (const CSelectButton& b : g_selectBar.popup) {
      EXPECT_GE(b.rect.left, 4);
      EXPECT_EQ(b.active, 0);  // nothing takes input before a battle
    }
  }
  g_prefs.isHighRes = 1;
  g_selectBar.Init();
}

TEST(SelectBarIcons, FramesAndTooltipsKeepClearOfEachOther) {
  using namespace spl_icons;
  EXPECT_EQ(SpellFrame(0), 2);
  EXPECT_EQ(SpellFrame(93), 95);
  EXPECT_EQ(SpellFrame(94), 234);
  EXPECT_EQ(SpellFrame(103), 243);
  EXPECT_EQ(ItemFrame(0), 134);
  EXPECT_EQ(ItemFrame(87), 221);
  EXPECT_EQ(ItemFrame(88), 244);
  EXPECT_EQ(ItemFrame(96), 252);
  EXPECT_EQ(SpellTooltip(92), 97);
  EXPECT_EQ(SpellTooltip(93), 400);
  EXPECT_EQ(SpellTooltip(103), 410);
  EXPECT_EQ(ItemTooltip(0), 98);
  // Every frame has one owner, and every tooltip id too.
  std::vector<int> frames(kFrameCount, 0);
  for (int s = 0; s < 104; ++s) ++frames[SpellFrame(s)];
  for (int k = 0; k <= kLastItemKind; ++k) ++frames[ItemFrame(k)];
  for (int f = 0; f < 32; ++f) ++frames[kManaFill + f];
  for (int f = 0; f < 6; ++f) ++frames[kCharge + f];
  for (int f = 0; f < 12; ++f) ++frames[kMark + f];
  for (int f = 2; f < kFrameCount; ++f) EXPECT_EQ(frames[f], 1) << "frame " << f;
  std::vector<int> ids(512, 0);
  for (int s = 0; s < 104; ++s) ++ids[SpellTooltip(s)];
  for (int k = 0; k <= kLastItemKind; ++k) ++ids[ItemTooltip(k)];
  for (int id = 0; id < 512; ++id) EXPECT_LE(ids[id], 1) << "tooltip " << id;
}

TEST(SelectBarIcons, ManaFillAndChargeSteps) {
  using namespace spl_icons;
  EXPECT_EQ(ManaFillStep(0, 40), 0);
  EXPECT_EQ(ManaFillStep(20, 40), 15);
  EXPECT_EQ(ManaFillStep(39, 40), 30);
  EXPECT_EQ(ManaFillStep(40, 40), 31);
  EXPECT_EQ(ManaFillStep(5, 0), 31);  // a spell of no cost is always full
  EXPECT_EQ(ChargeStep(2, 4), 2);
  EXPECT_EQ(ChargeStep(4, 4), 5);
  EXPECT_EQ(ChargeStep(9, 10), 4);
  EXPECT_EQ(ChargeStep(3, 0), 5);  // a kind without a maximum
}

class SelectBars : public SelectPanels {};

TEST_F(SelectBars, TwentyFiveSpellsAndAnItemFillTheStrip) {
  battle_.SetSpells(Range(20, 25));  // spells 20-44: 41 Heal and 43 Dispel among them
  battle_.Carry(3, 12, 2);
  battle_.wizard.mana = 40 * 256;
  StartBattle();
  EXPECT_EQ(g_selectBar.popupCount, 26);
  EXPECT_TRUE(g_selectBar.shown);
  const CSelectButton& item = g_selectBar.popup[25];
  EXPECT_EQ(item.type, kEntryItem);
  EXPECT_EQ(item.kind, 12);
  EXPECT_EQ(item.carrySlot, 3);
  EXPECT_EQ(item.stateFrames[0], spl_icons::ItemFrame(12));
  EXPECT_EQ(item.overlayFrames[0], spl_icons::kCharge + 2);
  EXPECT_EQ(item.tooltipId, 110);
  EXPECT_EQ(item.m_count, 1);
  // The slot button shows the first spell.
  EXPECT_EQ(g_selectBar.slot[0].kind, 20);
  EXPECT_EQ(g_selectBar.slot[0].source, 0);
  EXPECT_EQ(g_selectBar.slot[0].active, 1);
  // The strip is closed: its buttons are greyed and take no input until it opens.
  EXPECT_EQ(g_selectBar.popup[0].state, kPanelGreyed);
  g_selectBar.TogglePopup();
  EXPECT_EQ(g_selectBar.popup[0].state, kPanelNormal);
  EXPECT_EQ(g_selectBar.popup[0].active, 1);
  EXPECT_EQ(battle_.Take(), Strings{"close chat"});

  // A second item of the kind raises the badge, even on a full strip.
  battle_.Carry(9, 12, 4);
  g_selectBar.AddPopupButton(12, 9);
  EXPECT_EQ(g_selectBar.popupCount, 26);
  EXPECT_EQ(g_selectBar.popup[25].m_count, 2);
  EXPECT_EQ(boxes_.Count(), 0u);
  // A new kind finds no room: a warning, and nothing changes.
  g_selectBar.AddPopupButton(13, 10);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Too many popup buttons");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "SELECT BAR MESSAGE ERROR");
  EXPECT_EQ(g_selectBar.popupCount, 26);
  // Message items (kinds above 96) are no buttons of the bar.
  g_selectBar.AddPopupButton(97, 11);
  EXPECT_EQ(boxes_.Count(), 1u);
}

TEST_F(SelectBars, TwentySixSpellsShowTwentyFiveAndOneBox) {
  battle_.SetSpells(Range(0, 26));
  StartBattle();
  EXPECT_EQ(g_selectBar.popupCount, 25);
  EXPECT_EQ(g_selectBar.popup[24].kind, 24);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Too many spells to fit on popup buttons");
  g_selectBar.BuildSpellPopup();
  EXPECT_EQ(boxes_.Count(), 1u);  // once a battle
  EXPECT_EQ(g_selectBar.popupCount, 25);
}

TEST_F(SelectBars, AUsedUpItemGreysForTwentyFramesThenTheGapCloses) {
  battle_.SetSpells({41, 42, 43});
  battle_.Carry(0, 7, 1);  // buttons 3, 4, 5
  battle_.Carry(1, 8, 1);
  battle_.Carry(2, 9, 1);
  StartBattle();
  g_selectBar.TogglePopup();
  ASSERT_EQ(g_selectBar.popupCount, 6);

  battle_.Carry(0, 7, 0);
  g_selectBar.UpdateItemButton(0);
  EXPECT_EQ(g_selectBar.popup[3].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.popup[3].active, 0);
  Frames(5);
  battle_.Carry(2, 9, 0);
  g_selectBar.UpdateItemButton(2);
  EXPECT_EQ(g_selectBar.removalCount, 2);
  Frames(14);
  EXPECT_EQ(g_selectBar.popupCount, 6);  // 19 frames: still there
  Frames(1);
  // The first goes; later buttons move down, and the queued one with them.
  EXPECT_EQ(g_selectBar.popupCount, 5);
  EXPECT_EQ(g_selectBar.popup[3].kind, 8);
  EXPECT_EQ(g_selectBar.popup[3].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.popup[4].kind, 9);
  EXPECT_EQ(g_selectBar.popup[4].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.popup[5].kind, -1);
  EXPECT_EQ(g_selectBar.popup[5].state, kPanelGreyed);
  ASSERT_EQ(g_selectBar.removalCount, 1);
  EXPECT_EQ(g_selectBar.removals[0].index, 4);
  Frames(5);
  EXPECT_EQ(g_selectBar.popupCount, 4);
  EXPECT_EQ(g_selectBar.removalCount, 0);
}

TEST_F(SelectBars, OnAFullStripAUsedUpItemGoesAtOnce) {
  battle_.SetSpells(Range(20, 24));
  battle_.Carry(0, 7, 1);
  battle_.Carry(1, 8, 1);
  StartBattle();
  ASSERT_EQ(g_selectBar.popupCount, 26);
  battle_.Carry(0, 7, 0);
  g_selectBar.UpdateItemButton(0);
  EXPECT_EQ(g_selectBar.popupCount, 25);
  EXPECT_EQ(g_selectBar.popup[24].kind, 8);
  EXPECT_EQ(g_selectBar.removalCount, 0);
  // Kinds above 83 are never used up; a charge left only moves the mark.
  battle_.Carry(1, 8, 2);
  g_selectBar.UpdateItemButton(1);
  EXPECT_EQ(g_selectBar.popup[24].overlayFrames[0], spl_icons::kCharge + 2);
}

TEST_F(SelectBars, TheNextItemOfAKindTakesACountedButtonOver) {
  battle_.SetSpells({41});
  battle_.Carry(2, 3, 1);
  battle_.Carry(6, 3, 4);
  StartBattle();
  ASSERT_EQ(g_selectBar.popupCount, 2);
  EXPECT_EQ(g_selectBar.popup[1].m_count, 2);
  EXPECT_EQ(g_selectBar.popup[1].carrySlot, 2);
  battle_.Carry(2, -1, 0);  // used up and freed
  g_selectBar.UpdateItemButton(2);
  Frames(kRemovalDelayFrames);
  EXPECT_EQ(g_selectBar.popupCount, 2);
  EXPECT_EQ(g_selectBar.popup[1].m_count, 1);
  EXPECT_EQ(g_selectBar.popup[1].carrySlot, 6);
  EXPECT_EQ(g_selectBar.popup[1].overlayFrames[0], spl_icons::kCharge + 5);
  EXPECT_EQ(g_selectBar.popup[1].highlight, kPanelPlain);
}

TEST_F(SelectBars, ChoosingASpellSelectsItAndOffersItToTheScript) {
  battle_.SetSpells({41, 42, 43});
  StartBattle();
  g_selectBar.TogglePopup();
  battle_.Take();
  ClickOn(g_selectBar.popup[2]);
  EXPECT_EQ(battle_.Take(), (Strings{"rebuild selection", "select spell 7 43"}));
  EXPECT_EQ(g_selectBar.selectedPopup, 2);
  EXPECT_EQ(g_selectBar.selectedSlot, 0);
  EXPECT_EQ(g_selectBar.slot[0].kind, 43);  // the slot takes the chosen spell's look
  EXPECT_EQ(g_selectBar.slot[0].stateFrames[0], spl_icons::SpellFrame(43));
  EXPECT_EQ(g_selectBar.popup[2].highlight, kPanelSelected);
  EXPECT_TRUE(commands_.messages.empty());  // no script armed: no offer

  battle_.armed = true;
  ClickOn(g_selectBar.popup[0]);
  EXPECT_EQ(g_selectBar.popup[2].highlight, kPanelPlain);
  ASSERT_EQ(commands_.messages.size(), 1u);
  EXPECT_EQ(commands_.messages[0][1], kInterfaceCommand);
  int command = 0, spell = 0, type = 0;
  ReadInterfaceCommandWord(commands_.messages[0][3], command, spell, type);
  EXPECT_EQ(command, 1);
  EXPECT_EQ(spell, 41);
  EXPECT_EQ(type, -1);

  // The slot button again: only the wizard's choice is renewed.
  battle_.Take();
  ClickOn(g_selectBar.slot[0]);
  EXPECT_EQ(battle_.Take(), Strings{"select spell 7 41"});
  g_selectBar.PressSelected();
  ClickOn(g_selectBar.slot[0]);
  EXPECT_EQ(battle_.Take(), (Strings{"rebuild selection", "select spell 7 41"}));
  EXPECT_EQ(g_selectBar.selectedPopup, 0);
}

TEST_F(SelectBars, TheMarkCyclesTwelveFramesUnlessLocked) {
  battle_.SetSpells({41, 42});
  StartBattle();
  g_selectBar.TogglePopup();
  g_selectBar.ClickPopup(1, false);
  std::vector<int> marks;
  for (int i = 0; i < 13; ++i) {
    g_selectBar.Draw();
    marks.push_back(g_selectBar.popup[1].overlayFrames[1] - spl_icons::kMark);
    EXPECT_EQ(g_selectBar.slot[0].overlayFrames[1], g_selectBar.popup[1].overlayFrames[1]);
  }
  const int first = marks[0];
  for (int i = 0; i < 13; ++i) EXPECT_EQ(marks[i], (first + i) % 12);
  g_selectBar.SelectByKind(42);
  const int held = g_selectBar.blink;
  Frames(3);
  EXPECT_EQ(g_selectBar.blink, held);
}

TEST_F(SelectBars, ItemClicksSendCommandsEightAndNine) {
  battle_.SetSpells({41});
  battle_.Carry(4, 7, 2);
  battle_.Carry(5, 16, 1);  // a key
  StartBattle();
  g_selectBar.TogglePopup();
  ClickOn(g_selectBar.popup[1]);
  ClickOn(g_selectBar.popup[1], true);
  ClickOn(g_selectBar.popup[2]);  // a key's left click does nothing
  ClickOn(g_selectBar.popup[2], true);
  ASSERT_EQ(commands_.messages.size(), 3u);
  EXPECT_EQ(commands_.lengths, (std::vector<int>{20, 28, 28}));
  EXPECT_EQ(commands_.messages[0], (std::vector<int32_t>{0, kUseArtifact, 20, kWizard, 4}));
  EXPECT_EQ(commands_.messages[1], (std::vector<int32_t>{0, kDropArtifact, 28, kWizard, 4, 7, 1}));
  EXPECT_EQ(commands_.messages[2], (std::vector<int32_t>{0, kDropArtifact, 28, kWizard, 5, 16, 2}));
  // Byte for byte, little-endian: nothing left unset, and the network's frame check takes
  // them as commands of a client frame.
  const std::vector<uint8_t> use = {0, 0, 0, 0, 8, 0, 0, 0, 20, 0, 0, 0, kWizard, 0, 0, 0, 4, 0, 0, 0};
  EXPECT_EQ(commands_.bytes[0], use);
  const std::vector<uint8_t> drop = {0, 0, 0, 0, 9, 0, 0,  0, 28, 0, 0, 0, kWizard, 0,
                                     0, 0, 5, 0, 0, 0, 16, 0, 0,  0, 2, 0, 0,       0};
  EXPECT_EQ(commands_.bytes[2], drop);
  const NetBytes frame = MakeFrameMessage(12, kFrameOriginClient, commands_.bytes);
  EXPECT_TRUE(CheckFrameMessage(frame.data(), frame.size(), kFrameOriginClient));
  // A right click on a spell sends nothing.
  ClickOn(g_selectBar.popup[0], true);
  EXPECT_EQ(commands_.messages.size(), 3u);
}

TEST_F(SelectBars, WithoutAWizardClicksDoNothing) {
  battle_.hasWizard = false;
  StartBattle();
  g_selectBar.ClickPopup(0, false);
  g_selectBar.ClickSlot(0);
  EXPECT_TRUE(commands_.messages.empty());
  EXPECT_TRUE(battle_.Take().empty());
  EXPECT_FALSE(g_selectBar.shown);
}

TEST_F(SelectBars, TheControlLimitGreysSummoningSpells) {
  battle_.SetSpells({3, 41, 52});  // a summoning, a heal, raise dead (summons too)
  battle_.wizard.controlled = 4;
  battle_.wizard.controlLimit = 5;
  StartBattle();
  g_selectBar.TogglePopup();
  g_selectBar.ClickPopup(0, false);
  battle_.Take();
  g_selectBar.ClearCreatureSelection();
  EXPECT_EQ(battle_.Take(), Strings{"select spell 7 -1"});
  EXPECT_EQ(g_selectBar.selectedPopup, -1);
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.popup[0].active, 0);
  EXPECT_EQ(g_selectBar.popup[1].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.popup[2].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.slot[0].highlight, kPanelInactive);  // the slot shows spell 3 too
  // A heal chosen now keeps its choice when the limit is left behind.
  g_selectBar.ClickPopup(1, false);
  g_selectBar.ResetButtons();
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.popup[0].active, 1);
  EXPECT_EQ(g_selectBar.popup[1].highlight, kPanelSelected);
  // A heal selected stays when the limit is reached again.
  battle_.Take();
  g_selectBar.ClearCreatureSelection();
  EXPECT_TRUE(battle_.Take().empty());
  EXPECT_EQ(g_selectBar.selectedPopup, 1);
}

TEST_F(SelectBars, TheSpeechLockKeepsOnlyOneSpellUsable) {
  battle_.SetSpells({3, 41, 42});
  battle_.Carry(0, 7, 1);
  battle_.wizard.controlled = 5;
  battle_.wizard.controlLimit = 5;  // at the limit: the summoning stays grey afterwards
  StartBattle();
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelInactive);
  g_selectBar.SelectByKind(42);
  EXPECT_TRUE(g_selectBar.locked);
  EXPECT_TRUE(g_selectBar.popupOpen);  // opened to show the spell
  EXPECT_EQ(g_selectBar.popup[2].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.popup[2].active, 1);
  for (int i : {0, 1, 3}) EXPECT_EQ(g_selectBar.popup[i].highlight, kPanelInactive) << i;
  EXPECT_EQ(g_selectBar.slot[0].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.toggle.active, 0);
  g_selectBar.SelectByKind(41);  // locked already: nothing
  EXPECT_EQ(g_selectBar.popup[1].highlight, kPanelInactive);

  g_selectBar.RefreshAvailability();
  EXPECT_FALSE(g_selectBar.locked);
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelInactive);  // at the control limit
  EXPECT_EQ(g_selectBar.popup[1].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.popup[1].active, 1);
  EXPECT_EQ(g_selectBar.popup[3].highlight, kPanelPlain);  // the item works again too
  EXPECT_EQ(g_selectBar.toggle.active, 1);
}

TEST_F(SelectBars, ManaMovesEverySpellsFill) {
  battle_.SetSpells({41, 58, 60});  // costs 15, 40, 5
  battle_.wizard.mana = 10 * 256;
  StartBattle();
  const auto fill = [](int i) { return g_selectBar.popup[i].overlayFrames[0] - spl_icons::kManaFill; };
  EXPECT_EQ(fill(0), 10 * 31 / g_spellDefs[41].ManaCost);
  EXPECT_EQ(fill(2), 31);
  g_selectBar.UpdateButtons(g_spellDefs[58].ManaCost);
  EXPECT_EQ(fill(0), 31);
  EXPECT_EQ(fill(1), 31);
  EXPECT_EQ(g_selectBar.slot[0].overlayFrames[0] - spl_icons::kManaFill, 31);
  g_selectBar.UpdateButtons(0);
  EXPECT_EQ(fill(1), 0);
}

TEST_F(SelectBars, HideAndShowAllAndTheSelectedRects) {
  battle_.SetSpells({41, 42});
  StartBattle();
  platform::Rect popupRect{}, slotRect{};
  EXPECT_FALSE(g_selectBar.GetSelectedRects(popupRect, slotRect));
  g_selectBar.TogglePopup();
  g_selectBar.ClickPopup(1, false);
  ASSERT_TRUE(g_selectBar.GetSelectedRects(popupRect, slotRect));
  EXPECT_EQ(popupRect.left, g_selectBar.popup[1].rect.left);
  EXPECT_EQ(slotRect.left, g_selectBar.slot[0].rect.left);
  g_selectBar.HideAll();
  EXPECT_EQ(g_selectBar.popup[0].active, 0);
  EXPECT_EQ(g_selectBar.slot[0].active, 0);
  EXPECT_EQ(g_selectBar.toggle.active, 0);
  g_selectBar.ShowAll();
  EXPECT_EQ(g_selectBar.popup[0].active, 1);
  EXPECT_EQ(g_selectBar.slot[0].active, 1);
  EXPECT_EQ(g_selectBar.toggle.active, 1);
}

// F12 hides the bar with the face panel it carries, and a second F12 brings both back.
TEST_F(SelectBars, TheKeyThatHidesTheBarAndFaceShowsThemAgain) {
  battle_.SetSpells({41});
  StartBattle();
  IBattleKeyTargets keys;
  ASSERT_TRUE(keys.SelectBarShown());
  for (bool show : {false, true, false, true}) {
    keys.ShowSelectBarAndFace(show);
    EXPECT_EQ(keys.SelectBarShown(), show);
    EXPECT_EQ(g_selectBar.shown, show) << "the battle draws the bar while it is shown";
    EXPECT_EQ(g_selectBar.slot[0].active, show ? 1 : 0);
    EXPECT_EQ(g_wizardFacePanel.flag, show ? 1 : 0);
  }
}

TEST_F(SelectBars, AnUpperRowButtonLeavesTheRowBelowWhole) {
  // Button 12 starts the second row, half a button in: its reach covers the tops of buttons
  // 0 and 1 of the row below.
  battle_.SetSpells(Range(20, 14));
  StartBattle();
  g_selectBar.TogglePopup();
  const std::vector<uint16_t> before = graphics_test::Pixels(g_selectBar.popupSurface);
  auto rowBelowWhole = [&] {
    const int width = g_selectBar.popupSurface.width;
    const std::vector<uint16_t> now = graphics_test::Pixels(g_selectBar.popupSurface);
    for (int i : {0, 1}) {
      const platform::Rect r = g_selectBar.popup[i].SurfaceRect();
      for (int y = r.top; y < r.top + 6; ++y)
        for (int x = r.left; x < r.right; ++x)
          if (now[y * width + x] != before[y * width + x]) return testing::AssertionFailure() << x << ", " << y;
    }
    return testing::AssertionSuccess();
  };
  g_selectBar.ClickPopup(12, false);  // selected: the mark blinks round it every frame
  Frames(3);
  EXPECT_TRUE(rowBelowWhole());
  g_selectBar.UpdateButtons(0);  // every fill changes
  EXPECT_TRUE(rowBelowWhole());
  g_selectBar.PressSelected();
  EXPECT_TRUE(rowBelowWhole());
  EXPECT_EQ(graphics_test::Pixels(g_selectBar.popupSurface), before);
}

TEST_F(SelectBars, ARestoredDisplayIsPaintedAgain) {
  battle_.SetSpells({41, 42});
  battle_.wizard.health = 100;
  battle_.wizard.maxHealth = 100;
  battle_.wizard.mana = 50 * 256;
  battle_.wizard.maxMana = 100 * 256;
  StartBattle();
  g_selectBar.TogglePopup();
  const std::vector<uint16_t> bar = graphics_test::Pixels(g_selectBar.barSurface);
  const std::vector<uint16_t> strip = graphics_test::Pixels(g_selectBar.popupSurface);
  // Lost surfaces come back empty and out of place; the display calls their restorers.
  for (CSurface* s : {&g_selectBar.barSurface, &g_selectBar.popupSurface, &g_wizardFacePanel.portrait}) {
    s->Fill(0);
    s->x = s->y = 0;
  }
  for (CSurface* s : {&g_wizardFacePanel.portrait, &g_selectBar.popupSurface, &g_selectBar.barSurface}) {
    ASSERT_NE(s->restorer, nullptr);
    s->restorer->RestoreSurface(0);
  }
  EXPECT_EQ(graphics_test::Pixels(g_selectBar.barSurface), bar);  // buttons, toggle, portrait, mana bar
  EXPECT_EQ(graphics_test::Pixels(g_selectBar.popupSurface), strip);
  EXPECT_EQ(g_selectBar.barSurface.x, 596);
  EXPECT_EQ(g_selectBar.barSurface.y, 460);
  EXPECT_EQ(g_selectBar.popupSurface.y, 460);
}

TEST_F(SelectBars, InTheReducedViewTheBlockStandsOnBorderArt) {
  DisplayPrefs prefs(1, 1);
  battle_.SetSpells({41});
  StartBattle();
  // The border art is opaque stone, where the keyed view would be blue.
  const uint16_t corner = graphics_test::PixelAt(g_selectBar.popupSurface, 300, 30);
  EXPECT_NE(corner, kPanelKeyColour);
  EXPECT_NE(corner, 0);
  EXPECT_EQ(g_selectBar.toggle.active, 0);  // the toggle is hidden
  g_prefs.windowSize = 0;
  g_selectBar.ApplyDisplayMode();
  EXPECT_EQ(graphics_test::PixelAt(g_selectBar.popupSurface, 300, 30), kPanelKeyColour);
  EXPECT_EQ(g_selectBar.toggle.active, 1);
}

}  // namespace

namespace {

TEST_F(SelectBars, MissingIconsEndTheProgram) {
  testing_support::TempDir empty(true);
  testing_support::ExitTrap trap;
  g_selectBar.iconSprite.Free();
  EXPECT_EQ(testing_support::ExitCodeOf([] { g_selectBar.Init(); }), 1);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Could not load SplIcons.spr");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "INITIALISATION ERROR");
}

}  // namespace
