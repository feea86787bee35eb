// The grimoire screen on the forged book and on small books written for a case: where page
// turning goes and stops, knowledge levels, the tabs on each side, the turn frame by frame,
// missing layout keys and art, Escape, the realm view's button, and pictures of the book.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "FrontEndTestSupport.h"
#include "MagicFakes.h"
#include "battle/GrimoireText.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "frontend/Grimoire.h"
#include "frontend/RealmView.h"
#include "frontend/SpellBox.h"

using namespace frontend_test;

namespace {

class GrimoireScreen : public FrontEnd {
 protected:
  void SetUp() override {
    FrontEnd::SetUp();
    g_wizardTable.Clear();
    g_seeAllGrimoire = 0;
  }
  void TearDown() override {
    g_seeAllGrimoire = 0;
    g_wizardTable.Clear();
    FrontEnd::TearDown();
  }
  // Replaces the forged text with one of the test's own.
  void WriteText(const std::string& text) {
    FILE* file = platform::OpenFile("Interface\\Grimoire\\grimoire.txt", "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  void OpenBook() {
    Open(g_grimoire);
    ASSERT_EQ(g_currentScreen, g_grimoire);
    ASSERT_TRUE(g_grimoire->Loaded());
  }
  // Frames until the page turn has ended.
  void FinishTurn() {
    for (int i = 0; i < 40 && (g_grimoire->forwardProgress || g_grimoire->backwardProgress); ++i) Frames(1);
  }
};

TEST_F(GrimoireScreen, TheForgedBookOpensAtItsFirstContentsPage) {
  testing_support::BoxRecorder boxes;
  OpenBook();
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(g_grimoire->chapter, 0);
  EXPECT_EQ(g_grimoire->section, 0);
  EXPECT_EQ(g_grimoire->page, 1);
  EXPECT_GE(g_grimoire->genericLeftCount, 3);
  EXPECT_GE(g_grimoire->genericRightCount, 3);
  EXPECT_EQ(g_grimoire->EntryCount(), 3);  // the multiplayer sections at level 0
  EXPECT_EQ(g_grimoire->BackButton()->state, kStateDisabled);
  EXPECT_NE(g_grimoire->ForwardButton()->state, kStateDisabled);
  Frames(1);
  SaveFrame("grimoire_contents_800.png");
}

TEST_F(GrimoireScreen, AThreeSpreadSectionEndsAtPagesFiveAndSix) {
  WriteText("~C0~S00~L0c~S01-\"Long\"~L0p1~NPp2~NPp3~NPp4~NPp5~NPp6");
  OpenBook();
  g_grimoire->GoTo(0, 1, false);
  FinishTurn();
  EXPECT_EQ(g_grimoire->page, 1);
  EXPECT_TRUE(g_grimoire->moreText);
  EXPECT_EQ(g_grimoire->ForwardButton()->stateFrames[kPanelNormal], 3);  // turning within the section
  EXPECT_EQ(g_grimoire->BackButton()->stateFrames[kPanelNormal], 0);
  g_grimoire->NextPage();
  FinishTurn();
  g_grimoire->NextPage();
  FinishTurn();
  EXPECT_EQ(g_grimoire->page, 5);
  EXPECT_FALSE(g_grimoire->moreText);
  EXPECT_EQ(g_grimoire->ForwardButton()->stateFrames[kPanelNormal], 2);
  EXPECT_EQ(g_grimoire->BackButton()->stateFrames[kPanelNormal], 1);
  // Onward is the next chapter's contents, and back from there this section's last spread.
  g_grimoire->NextPage();
  FinishTurn();
  EXPECT_EQ(g_grimoire->chapter, 1);
  EXPECT_EQ(g_grimoire->page, 1);
  g_grimoire->PreviousPage();
  FinishTurn();
  EXPECT_EQ(g_grimoire->chapter, 0);
  EXPECT_EQ(g_grimoire->section, 1);
  EXPECT_EQ(g_grimoire->page, 5);
  EXPECT_FALSE(g_grimoire->moreText);
  // Back from page 5: pages 1-4 are laid out again, and the section goes on after them.
  g_grimoire->PreviousPage();
  EXPECT_EQ(g_grimoire->page, 3);
  EXPECT_TRUE(g_grimoire->moreText);
  EXPECT_GT(g_grimoire->backwardProgress, 0);
  FinishTurn();
  // Back from page 1: the section before it, laid out to its end.
  g_grimoire->PreviousPage();
  FinishTurn();
  g_grimoire->PreviousPage();
  FinishTurn();
  EXPECT_EQ(g_grimoire->section, 0);
  EXPECT_EQ(g_grimoire->page, 1);
  EXPECT_EQ(g_grimoire->BackButton()->state, kStateDisabled);
}

TEST_F(GrimoireScreen, PageTurnsSkipWhatTheWizardCannotRead) {
  // Chapter 1 shows only from level 2 on, and chapter 0's second section too.
  WriteText(
      "~C0~S01-\"One\"~L0a~S02-\"Two\"~L2b"
      "~C1~S00~L2hidden contents"
      "~C2~S01-\"Far\"~L0c");
  OpenBook();
  g_grimoire->GoTo(0, 1, false);
  FinishTurn();
  g_grimoire->NextPage();
  FinishTurn();
  EXPECT_EQ(g_grimoire->chapter, 2);
  EXPECT_EQ(g_grimoire->section, 0);
  // The tab of chapter 1 does nothing, that of chapter 2 goes to its contents.
  g_grimoire->OnButton(100);
  EXPECT_EQ(g_grimoire->chapter, 2);
  g_grimoire->OnButton(0);
  FinishTurn();
  EXPECT_EQ(g_grimoire->chapter, 0);
  EXPECT_EQ(g_grimoire->section, 0);

  // The wizard who has seen it all reads every level.
  g_seeAllGrimoire = 1;
  const CGrimoireSection* two = g_grimoire->Text()->FindSection(0, 2);
  EXPECT_STREQ(g_grimoire->VisibleText(0, two), "b");
  g_grimoire->GoTo(0, 1, false);
  FinishTurn();
  g_grimoire->NextPage();
  FinishTurn();
  EXPECT_EQ(g_grimoire->section, 2);
}

TEST_F(GrimoireScreen, SeeAllShowsTheHighestLevel) {
  WriteText("~C4~S03-\"Wolf\"~L0small~L1more~L4all");
  OpenBook();
  const CGrimoireSection* wolf = g_grimoire->Text()->FindSection(4, 3);
  EXPECT_STREQ(g_grimoire->VisibleText(4, wolf), "small");
  CWizard& player = g_wizardTable.records[0];
  player.inUse = 1;
  player.NoteSeen(4, 3);
  EXPECT_STREQ(g_grimoire->VisibleText(4, wolf), "more");
  g_seeAllGrimoire = 1;
  EXPECT_STREQ(g_grimoire->VisibleText(4, wolf), "all");
}

TEST_F(GrimoireScreen, GoingToTheSectionShownDoesNothingUnlessForced) {
  OpenBook();
  g_grimoire->GoTo(1, 2, false);
  FinishTurn();
  g_grimoire->GoTo(1, 2, false);
  EXPECT_EQ(g_grimoire->forwardProgress + g_grimoire->backwardProgress, 0);
  // Forced, the spread is drawn again.
  g_grimoire->GoTo(1, 2, true);
  EXPECT_EQ(g_grimoire->section, 2);
  EXPECT_EQ(g_grimoire->page, 1);
}

TEST_F(GrimoireScreen, TabsStickOutOnTheSideOfTheirChapter) {
  OpenBook();
  for (int chapter : {0, 3, 6}) {
    SCOPED_TRACE(chapter);
    g_grimoire->GoTo(chapter, 0, false);
    FinishTurn();
    ASSERT_EQ(g_grimoire->chapter, chapter);
    for (int n = 0; n < kGrimoireTabs; ++n) {
      const bool passed = n <= chapter;
      EXPECT_EQ(g_grimoire->Tab(n, true)->state != kStateDisabled, passed) << n;
      EXPECT_EQ(g_grimoire->Tab(n, false)->state != kStateDisabled, !passed) << n;
    }
  }
}

TEST_F(GrimoireScreen, TheTurnSpeedsUpThenSlowsDown) {
  OpenBook();
  g_grimoire->NextPage();
  ASSERT_EQ(g_grimoire->forwardProgress, 1);
  const int progress[] = {3, 7, 13, 21, 31, 43, 57, 69, 79, 87, 93, 97, 99};
  const int speed[] = {2, 4, 6, 8, 10, 12, 14, 12, 10, 8, 6, 4, 2};
  for (int i = 0; i < 13; ++i) {
    g_grimoire->AdvanceTurn();
    EXPECT_EQ(g_grimoire->forwardProgress, progress[i]) << i;
    EXPECT_EQ(g_grimoire->turnSpeed, speed[i]) << i;
  }
  CSurface* turned = g_grimoire->TurnPage(0);
  g_grimoire->AdvanceTurn();
  EXPECT_EQ(g_grimoire->forwardProgress, 0);
  EXPECT_EQ(g_grimoire->ShownPage(0), turned);
}

TEST_F(GrimoireScreen, AMissingLayoutKeyIsNamedAndTakesZero) {
  platform::DeleteProfileKey("CLOSE_GRIMOIRE", "800x600_X", "Interface\\Grimoire\\Grimoire.cfg");
  platform::FlushProfileCache();
  testing_support::BoxRecorder boxes;
  OpenBook();
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "Error");
  EXPECT_EQ(boxes.Boxes()[0].text, "800x600_X Missing from [CLOSE_GRIMOIRE] in Interface\\Grimoire\\Grimoire.cfg");
  EXPECT_EQ(g_grimoire->CloseButton()->rect.left, 0);
}

TEST_F(GrimoireScreen, MissingArtClosesTheBookAtOnce) {
  for (const char* file : {"800x600/BACKDROP.BMP", "800x600/GenericR01.BMP", "Generic/PageTurns.spr"}) {
    SCOPED_TRACE(file);
    const std::string path = std::string("Interface/Grimoire/") + file;
    ASSERT_TRUE(platform::RenameFile(path, path + ".gone"));
    testing_support::BoxRecorder boxes;
    Open(g_grimoire);
    EXPECT_EQ(g_currentScreen, &bottom_);
    ASSERT_TRUE(boxes.Saw("Grimoire"));
    EXPECT_EQ(boxes.Boxes().back().text, "The Grimoire could not be loaded");
    while (g_screenCount > 0) PopScreen();
    ASSERT_TRUE(platform::RenameFile(path + ".gone", path));
  }
}

TEST_F(GrimoireScreen, EscapeAndTheSealCloseTheBook) {
  OpenBook();
  Key(platform::VK_ESCAPE);
  EXPECT_TRUE(g_grimoire->closing);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  EXPECT_EQ(bottom_.resumed, 1);

  OpenBook();
  Frames(1);
  const platform::Rect seal = g_grimoire->CloseButton()->rect;
  ClickAt((seal.left + seal.right) / 2, (seal.top + seal.bottom) / 2);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}

TEST_F(GrimoireScreen, AContentsEntryAndTheOpenRequestGoToTheirSection) {
  OpenBook();
  OpenGrimoire(1, 3);  // as an opener does, while the book is up
  Frames(1);
  FinishTurn();
  EXPECT_EQ(g_grimoire->chapter, 1);
  EXPECT_EQ(g_grimoire->section, 3);
  g_grimoire->GoTo(1, 0, false);
  FinishTurn();
  ASSERT_GE(g_grimoire->EntryCount(), 1);
  CPanelButton* entry = g_grimoire->Entry(0);
  EXPECT_EQ(entry->id, 101);
  Frames(1);
  ClickAt((entry->rect.left + entry->rect.right) / 2, (entry->rect.top + entry->rect.bottom) / 2);
  FinishTurn();
  EXPECT_EQ(g_grimoire->section, 1);
}

TEST_F(GrimoireScreen, PicturesOfTheBook) {
  g_seeAllGrimoire = 1;
  // The bars need the forged creature types and spells, put back as they were at the end.
  auto spells = std::make_unique<CSpellDefinition[]>(kSpellCount);
  auto types = std::make_unique<CCreatureType[]>(kCreatureTypes);
  std::copy(g_spellDefs, g_spellDefs + kSpellCount, spells.get());
  std::copy(g_creatureTypes, g_creatureTypes + kCreatureTypes, types.get());
  const CTypeMaxima maxima = g_typeMaxima;
  const int cost = g_maxSpellCost, range = g_maxSpellRange;
  ASSERT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
  LoadCreatureTypes();
  for (bool high : {true, false}) {
    if (!high) {
      CloseDisplay();
      OpenDisplay(false);
    }
    const std::string res = high ? "800" : "640";
    OpenBook();
    g_grimoire->GoTo(1, 0, false);
    FinishTurn();
    Frames(1);
    SaveFrame("grimoire_moorland_contents_" + res + ".png");
    g_grimoire->GoTo(4, 3, false);
    FinishTurn();
    Frames(1);
    SaveFrame("grimoire_creature_" + res + ".png");
    g_grimoire->GoTo(6, 2, false);
    FinishTurn();
    Frames(1);
    SaveFrame("grimoire_picture_" + res + ".png");
    g_grimoire->NextPage();
    for (int i = 0; i < 6; ++i) Frames(1);
    SaveFrame("grimoire_turn_" + res + ".png");
    FinishTurn();
    while (g_screenCount > 0) PopScreen();
  }
  std::copy(spells.get(), spells.get() + kSpellCount, g_spellDefs);
  std::copy(types.get(), types.get() + kCreatureTypes, g_creatureTypes);
  g_typeMaxima = maxima;
  g_maxSpellCost = cost;
  g_maxSpellRange = range;
}

TEST_F(GrimoireScreen, TheRealmViewsButtonOpensTheBookAtItsRealm) {
  StartCampaign(*g_realmView, "Moorland");
  g_realmView->realmState.active[1] = 0;
  g_realmView->realmState.regionOwners[0] = 0;
  g_realmTutorialStep = -1;
  Open(g_realmView);
  Frames(2);
  ASSERT_EQ(g_currentScreen, g_realmView);
  ClickAt(720, 28);  // the grimoire's button, second from the right
  for (int i = 0; i < 20 && g_currentScreen != g_grimoire; ++i) Frames(1);
  ASSERT_EQ(g_currentScreen, g_grimoire);
  Frames(1);
  FinishTurn();
  EXPECT_EQ(g_grimoire->chapter, 1);
  EXPECT_EQ(g_grimoire->section, 0);
  Key(platform::VK_ESCAPE);
  EXPECT_EQ(FramesUntilChange(), g_realmView);
}

TEST_F(GrimoireScreen, TheSpellBoxsButtonOpensTheBookAtTheSpells) {
  MagicWizards wizards;
  FrontEndWizardsScope wizardScope{wizards};
  NumberedItems magic;
  FrontEndMagicScope magicScope{magic};
  g_spellBox->wizardRecord = 0;
  g_spellBox->timedMode = 0;
  Open(g_spellBox);
  Frames(1);
  g_spellBox->grimoireRequested = 1;
  Frames(1);
  ASSERT_EQ(g_currentScreen, g_grimoire);
  Frames(1);
  FinishTurn();
  EXPECT_EQ(g_grimoire->chapter, kGrimoireSpellChapter);
  EXPECT_EQ(g_grimoire->section, 0);
  Key(platform::VK_ESCAPE);
  EXPECT_EQ(FramesUntilChange(), g_spellBox);
  while (g_screenCount > 0) PopScreen();  // while the fakes stand
}

}  // namespace
