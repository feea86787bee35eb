// The grimoire's page composer: the magenta windows of a page picture, the statistic bars of the
// keywords, the chunk reader's codes, and text flowing through windows and pages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/GrimoirePage.h"
#include "battle/GrimoireText.h"
#include "core/Options.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "forge/Pictures.h"
#include "graphics/PixelFormat.h"
#include "support/TestSupport.h"
#include "ui/SharedArt.h"

using namespace panel_test;

namespace {

std::unique_ptr<CSurface> MakePage(int width, int height) {
  auto page = std::make_unique<CSurface>();
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = width;
  desc.height = height;
  EXPECT_GT(page->Create(&desc), 0);
  page->Fill(PackColour(230, 210, 170));
  return page;
}

void Window(CSurface& page, int x, int y, int width, int height, int r = 255, int g = 0, int b = 255) {
  const platform::Rect rect{x, y, x + width, y + height};
  page.FillRect(&rect, PackColour(r, g, b));
}

class GrimoireComposer : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    {
      InFolder forged(testing_support::ForgedDataDir());
      LoadSharedFontsAndButtons();
    }
    ASSERT_TRUE(g_bodyFont.IsLoaded());
    composer_.font = &g_bodyFont;
  }
  void TearDown() override {
    FreeSharedButtons();
    PanelDisplay::TearDown();
  }

  // Areas of the given rectangles on a fresh page.
  void Page(const std::vector<platform::Rect>& areas) {
    queue_.Clear();
    for (const platform::Rect& r : areas) queue_.Push(r);
    composer_.SetPage(&queue_, page_.get());
  }
  // Everything printed on the page, run after run.
  std::string Printed() const {
    std::string all;
    for (const auto& run : composer_.printed) all += run.text;
    return all;
  }

  std::unique_ptr<CSurface> page_ = MakePage(400, 600);
  CRectQueue queue_;
  CGrimoirePage composer_;
};

TEST_F(GrimoireComposer, KeyWindows) {
  struct Case {
    const char* name;
    int width, height;
    int r, g, b;
    int counted;
  };
  const Case cases[] = {
      {"28 x 40 is too narrow", 28, 40, 255, 0, 255, 0},     {"29 x 13 is the smallest window", 29, 13, 255, 0, 255, 1},
      {"29 x 12 is too low", 29, 12, 255, 0, 255, 0},        {"near magenta is snapped to it", 60, 30, 245, 8, 246, 1},
      {"far from magenta is paper", 60, 30, 150, 0, 150, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto page = MakePage(200, 100);
    Window(*page, 50, 20, c.width, c.height, c.r, c.g, c.b);
    CRectQueue queue;
    EXPECT_EQ(queue.ScanKeyAreas(page.get()), c.counted);
    ASSERT_EQ(queue.Count(), c.counted);
    if (c.counted) {
      const platform::Rect& r = queue.At(0);
      EXPECT_EQ(r.left, 48);
      EXPECT_EQ(r.top, 18);
      EXPECT_EQ(r.right, 52 + c.width);
      EXPECT_EQ(r.bottom, 22 + c.height);
    }
  }
  // 40 windows: all counted, the first 32 kept, in the order the rows meet them.
  auto page = MakePage(400, 600);
  for (int i = 0; i < 40; ++i) Window(*page, 10 + (i % 4) * 90, 10 + (i / 4) * 55, 60, 30);
  CRectQueue queue;
  EXPECT_EQ(queue.ScanKeyAreas(page.get()), 40);
  EXPECT_EQ(queue.Count(), 32);
  EXPECT_EQ(queue.At(5).left, 10 + 90 - 2);
  EXPECT_EQ(queue.At(5).top, 10 + 55 - 2);
  platform::Rect r{};
  ASSERT_TRUE(queue.GetFirst(r));
  int handed = 1;
  while (queue.GetNext(r)) ++handed;
  EXPECT_EQ(handed, 32);
  EXPECT_FALSE(queue.Push(r));
  queue.Clear();
  EXPECT_FALSE(queue.GetFirst(r));
}

TEST(GrimoireStatBars, KeywordsValuesAndMaxima) {
  CCreatureType saved[4];
  for (int i = 0; i < 4; ++i) saved[i] = g_creatureTypes[i];
  const CTypeMaxima savedMaxima = g_typeMaxima;
  const int savedCost = g_maxSpellCost, savedRange = g_maxSpellRange;
  for (int i = 2; i < 4; ++i) {
    g_creatureTypes[i].IsUndead = 0;
    g_creatureTypes[i].HTH_Matrix[3] = 300;
    g_creatureTypes[i].LRC_Matrix[3] = 0;
    g_creatureTypes[i].LRC_Matrix[2] = 120;
  }
  g_creatureTypes[2].Health = 90;
  g_creatureTypes[2].FlyingSpeed = 0;   // a walker
  g_creatureTypes[3].FlyingSpeed = 70;  // a flier
  g_creatureTypes[3].ViewRange = 12;
  g_creatureTypes[3].FireRange = 5;
  g_typeMaxima.hth = 500;
  g_typeMaxima.lrc = 900;
  g_typeMaxima.Health = 400;
  g_typeMaxima.GroundSpeed = 60;
  g_typeMaxima.FlyingSpeed = 80;
  g_typeMaxima.FireRange = 30;
  g_typeMaxima.ViewRange = 20;
  g_maxSpellRange = 40;
  g_maxSpellCost = 250;
  g_spellDefs[7].ManaCost = 25;

  struct Case {
    const char* keyword;
    int n, m;
    bool drawn;
    int value, maximum;
  };
  const Case cases[] = {
      {"HEALTH", 2, 0, true, 90, 400},
      {"HTH", 2, 3, true, 300, 900},
      {"LRC", 3, 2, true, 120, 900},
      {"LRC", 2, 3, false, 0, 0},  // no long-range rating
      {"FLYING_SPEED", 3, 0, true, 70, 80},
      {"FLYING_SPEED", 2, 0, false, 0, 0},  // cannot fly
      {"VIEW_RANGE", 3, 0, true, 12, 30},
      {"FIRE_RANGE", 3, 0, true, 5, 40},
      {"MANA_COST", 7, 0, true, 25, 250},
      {"HEALTH", 999, 0, false, 0, 0},
      {"HEALTH", -1, 0, false, 0, 0},
      {"HTH", 2, 28, false, 0, 0},
      {"MANA_COST", kSpellCount, 0, false, 0, 0},
      {"health", 2, 0, true, 200, 400},  // keywords are upper case: this one is unknown
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keyword) + " " + std::to_string(c.n));
    CGradientBar bar;
    EXPECT_EQ(FillGrimoireStatBar(c.keyword, c.n, c.m, bar), c.drawn);
    if (!c.drawn) continue;
    EXPECT_EQ(bar.value, c.value);
    EXPECT_EQ(bar.maximum, c.maximum);
  }
  for (int i = 0; i < 4; ++i) g_creatureTypes[i] = saved[i];
  g_typeMaxima = savedMaxima;
  g_maxSpellCost = savedCost;
  g_maxSpellRange = savedRange;
}

TEST(GrimoireChunks, TheReaderTakesEachCode) {
  CGrimoirePage composer;
  composer.SetText("Ab~[ ~NP [~D] ]c\n\r~NLd");
  EXPECT_EQ(composer.LineBuffer(), "Abc\n");
  EXPECT_FALSE(composer.PageBreak());
  composer.ReadChunk();
  EXPECT_EQ(composer.LineBuffer(), "Abc\nd");
  EXPECT_TRUE(composer.TextEnded());

  composer.SetText("x~I2,07y");
  EXPECT_TRUE(composer.HasEntry());
  EXPECT_EQ(composer.EntryChapter(), 2);
  EXPECT_EQ(composer.EntrySection(), 7);
  EXPECT_EQ(composer.LineBuffer(), "x");

  composer.SetText("~g\"Wolf.BMP\"~nb~Np");
  EXPECT_EQ(composer.PictureName(), "Wolf.BMP");
  composer.ReadChunk();
  composer.ReadChunk();
  EXPECT_TRUE(composer.AreaBreak());
  EXPECT_TRUE(composer.PageBreak());

  struct Block {
    const char* text;
    bool kept;
    int x, y, width, height;
  };
  const Block blocks[] = {
      {"~D \"Health\" 10x4 120,8 200,0,0 255,255,0 HEALTH 2", true, 10, 4, 120, 8},
      {"~D\"Hand\" 5 90,6 1,2,3 4,5,6 HTH 1,2", true, 5, 0, 90, 6},
      {"~D \"Odd\" 0x0 50,5 0,0,0 9,9,9 NOSUCH 999", true, 0, 0, 50, 5},
      {"~D \"Bad\" 0x0 50,5 0,0,0 9,9,9 HEALTH 999", false},
      {"~D \"Bad\" 0x0 50,5 0,0,0 9,9,9 HEALTH -1", false},
      {"~D \"Bad\" 0x0 50,5 0,0,0 9,9,9 HTH 1,999", false},
      {"~D \"Cut\" 0x0 50", false},
      {"~D \"Unclosed", false},
  };
  for (const Block& b : blocks) {
    SCOPED_TRACE(b.text);
    composer.SetText(b.text);
    ASSERT_EQ(composer.StatBlock() != nullptr, b.kept);
    if (!b.kept) continue;
    EXPECT_EQ(composer.StatBlock()->x, b.x);
    EXPECT_EQ(composer.StatBlock()->y, b.y);
    EXPECT_EQ(composer.StatBlock()->width, b.width);
    EXPECT_EQ(composer.StatBlock()->height, b.height);
  }
  // At 640 x 480 positions and sizes are taken at eight tenths.
  composer.screenWidth = 640;
  composer.SetText(blocks[0].text);
  ASSERT_NE(composer.StatBlock(), nullptr);
  EXPECT_EQ(composer.StatBlock()->width, 96);
  EXPECT_EQ(composer.StatBlock()->x, 8);
}

TEST_F(GrimoireComposer, TheInitialLetterIsPrintedAlone) {
  composer_.SetText("The wolves came down.");
  Page({{10, 10, 390, 300}});
  EXPECT_FALSE(composer_.RenderAll());
  ASSERT_GE(composer_.printed.size(), 2u);
  EXPECT_EQ(composer_.printed[0].text, "T");
  EXPECT_EQ(composer_.printed[1].text, "he wolves came down.");
  EXPECT_EQ(composer_.printed[1].y, composer_.printed[0].y);
  EXPECT_GT(composer_.printed[1].x, composer_.printed[0].x);
}

TEST_F(GrimoireComposer, APageBreakMovesOnThoughThereIsRoom) {
  composer_.SetText("one~NPtwo");
  Page({{10, 10, 390, 300}});
  EXPECT_TRUE(composer_.RenderAll());
  EXPECT_EQ(Printed(), "one");
  Page({{10, 10, 390, 300}});
  EXPECT_FALSE(composer_.RenderAll());
  EXPECT_EQ(Printed(), "two");
}

TEST_F(GrimoireComposer, ASectionOverThreePagesKeepsItsPlace) {
  std::string text;
  for (int i = 0; i < 120; ++i) text += "word" + std::to_string(i) + " ";
  composer_.SetText(text.c_str());
  const int line = g_bodyFont.GetLineHeight();
  std::string all;
  int pages = 0;
  bool more = true;
  while (more && pages < 40) {
    // Two small windows a page; the text runs through both, then on to the next page.
    Page({{10, 10, 200, 10 + 4 * line}, {10, 100, 200, 100 + 3 * line}});
    more = composer_.RenderAll();
    for (const auto& run : composer_.printed) {
      EXPECT_GE(run.y, 10);
      EXPECT_LE(run.y + line, run.y < 100 ? 10 + 4 * line : 100 + 3 * line);
    }
    all += Printed();
    ++pages;
  }
  EXPECT_GE(pages, 3);
  EXPECT_FALSE(more);
  EXPECT_EQ(all, text);  // every word once, in order
}

TEST_F(GrimoireComposer, AnAreaBreakTakesTheNextWindow) {
  composer_.SetText("a~NBb");
  Page({{10, 10, 390, 200}, {10, 300, 390, 500}});
  EXPECT_FALSE(composer_.RenderAll());
  ASSERT_EQ(composer_.printed.size(), 2u);
  EXPECT_EQ(composer_.printed[1].text, "b");
  EXPECT_EQ(composer_.printed[1].y, 300);
}

TEST_F(GrimoireComposer, PicturesOnlyFromTheGrimoireFolders) {
  testing_support::TempDir dir(true);
  forge::IndexedPicture picture(40, 30);
  picture.palette[1][0] = 200;
  std::fill(picture.indices.begin(), picture.indices.end(), 1);
  forge::RgbPicture rgb(50, 20);
  dir.Write("Interface/Grimoire/800x600/Here.bmp", forge::MakeBmp24(rgb));
  dir.Write("Interface/Grimoire/Generic/There.PCX", forge::MakePcx(picture));
  dir.Write("Interface/Grimoire/800x600/Photo.jpg", forge::MakeBmp24(rgb));
  dir.Write("Outside.bmp", forge::MakeBmp24(rgb));
  struct Case {
    const char* text;
    int drawn;
    int width, height;
  };
  const Case cases[] = {
      {"~G\"Here.bmp\"", 1, 50, 20},
      {"~G\"There.PCX\"", 1, 40, 30},
      {"~G\"Photo.jpg\"", 0},
      {"~G\"..\\..\\..\\Outside.bmp\"", 0},
      {"~G\"../Outside.bmp\"", 0},
      {"~G\"None.bmp\"", 0},
      {"~G\"a.b\"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    composer_.SetText(c.text);
    Page({{10, 10, 390, 300}});
    EXPECT_FALSE(composer_.RenderAll());
    ASSERT_EQ(static_cast<int>(composer_.picturesDrawn.size()), c.drawn);
    if (!c.drawn) continue;
    EXPECT_EQ(composer_.picturesDrawn[0].right - composer_.picturesDrawn[0].left, c.width);
    EXPECT_EQ(composer_.picturesDrawn[0].bottom - composer_.picturesDrawn[0].top, c.height);
    EXPECT_EQ(composer_.PenY(), 10 + c.height);
  }
}

TEST_F(GrimoireComposer, BarsAndContentsEntries) {
  const CTypeMaxima savedMaxima = g_typeMaxima;
  const int savedHealth = g_creatureTypes[5].Health, savedFlying = g_creatureTypes[5].FlyingSpeed;
  g_typeMaxima.Health = 100;
  g_creatureTypes[5].Health = 50;
  g_creatureTypes[5].FlyingSpeed = 0;
  composer_.SetText(
      "~D \"Health\" 100x0 150,4 0,0,0 255,0,0 HEALTH 5"
      "~D \"Flight\" 100x0 150,4 0,0,0 255,0,0 FLYING_SPEED 5");
  Page({{10, 10, 390, 300}});
  EXPECT_FALSE(composer_.RenderAll());
  ASSERT_EQ(composer_.barsDrawn.size(), 1u);  // a walker has no flying bar
  const CGradientBar& bar = composer_.barsDrawn[0];
  EXPECT_EQ(bar.x0, 110);
  EXPECT_EQ(bar.y1 - bar.y0, g_bodyFont.GetLineHeight());  // a thin bar is one line high
  EXPECT_EQ(bar.value, 50);
  EXPECT_EQ(Printed(), "Health");
  EXPECT_EQ(composer_.PenY(), bar.y1 + 4);
  g_typeMaxima = savedMaxima;
  g_creatureTypes[5].Health = savedHealth;
  g_creatureTypes[5].FlyingSpeed = savedFlying;

  // Contents entries: only for sections there are, with a text the wizard may read.
  struct Icons : IGrimoirePageIcons {
    void AddPageIcon(int x, int y, int id, int frame, CSurface*) override { added.push_back({x, y, id, frame}); }
    std::vector<std::vector<int>> added;
  } icons;
  g_seeAllGrimoire = 0;
  g_wizardTable.Clear();  // no player: every section is read at level 0
  CGrimoireText db;
  db.chapters[1].MakeSection(2, "Wolf")->texts[0] = "w";
  db.chapters[1].FindSection(2)->icon = 3;
  db.chapters[1].MakeSection(3, "Hidden")->texts[2] = "h";
  db.chapters[1].MakeSection(4, "Plain")->texts[0] = "p";
  auto sprite = MakeFlatSprite({{30, 30, kRed}, {30, 30, kGreen}});
  composer_.database = &db;
  composer_.icons = &icons;
  composer_.iconSprite = sprite.get();
  composer_.SetText("~I1,02\n~I1,03\n~I1,04\n~I1,09\n");
  Page({{10, 10, 390, 300}});
  EXPECT_FALSE(composer_.RenderAll());
  ASSERT_EQ(icons.added.size(), 1u);
  EXPECT_EQ(icons.added[0], (std::vector<int>{10, 10, 102, 0}));  // icon 3 is beyond the two frames
  EXPECT_EQ(Printed(), "WolfXPlain");                             // no icon: an X
  EXPECT_EQ(composer_.printed.back().x, 10 + 42);
  EXPECT_EQ(composer_.PenY(), 10 + 80);
}

}  // namespace
