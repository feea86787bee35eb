// The map selection: the regions of the multiplayer realm, chosen by a click and taken by a
// second click or Accept, and told to the screen that called it.
#include <gtest/gtest.h>

#include "FrontEndTestSupport.h"
#include "frontend/MapSelection.h"
#include "frontend/ScreenTable.h"
#include "ui/ListBox.h"

using namespace frontend_test;
using forge::WidgetKind;

namespace {

// The set-up screen that called: what it was told.
struct Caller : IMapSelectionCaller {
  void ShowMapName(const char* name) override { shown.push_back(name); }
  void SendGameSettings(const CGameSettings& settings) override { sent.push_back(settings.regionIndex); }
  std::vector<std::string> shown;
  std::vector<int> sent;
};

class MapSelection : public FrontEnd {
 protected:
  void WriteRealm(const std::string& text) {
    platform::WriteWholeFile("realms/multiplayer/Multiplayer.cfg", text.data(), text.size());
    platform::FlushProfileCache();
  }
  void OpenFor(int callerId) {
    g_mapSelection->SetCaller(callerId, &caller_);
    Open(g_mapSelection);
  }
  CListBox* List() { return g_mapSelection->List(0); }
  // A click on line n of the list.
  void ClickItem(int n) {
    CListBox* list = List();
    ClickAt(list->rect.left + 20, list->rect.top + n * (list->LineHeight() + 2) + list->LineHeight() / 2);
  }
  void Accept() { ClickWidget(layout_, WidgetKind::kTextButton, 1); }

  const forge::ScreenLayout layout_ = forge::MapSelectionLayout();
  Caller caller_;
};

}  // namespace

TEST_F(MapSelection, FiveRegionsAreListedAndAcceptingTheThirdChoosesRegionThree) {
  OpenFor(kScreenSinglePlayerBattle);
  ASSERT_EQ(List()->ItemCount(), 5);
  EXPECT_EQ(List()->items[2].text, "The Great Moor");
  EXPECT_EQ(List()->cursor, 0);  // the first is chosen at the start
  ClickItem(2);
  Frames(1);
  SaveFrame("map_selection.png");
  // The chosen line stands out from the others: its band is clearly brighter.
  auto lineBrightness = [&](int line) {
    const CListBox& list = *List();
    const int strip = list.LineHeight() + 2, top = list.rect.top + (line - list.topIndex) * strip;
    const std::vector<uint16_t> pixels = graphics_test::Pixels(g_backBuffer);
    double sum = 0;
    int n = 0;
    for (int y = top + 1; y < top + strip - 1; ++y)
      for (int x = list.rect.left + 2; x < list.rect.right - 20; ++x, ++n) {
        const uint16_t p = pixels[static_cast<size_t>(y) * g_backBuffer.width + x];
        sum += ((p >> 11) << 3) + (((p >> 5) & 63) << 2) + ((p & 31) << 3);
      }
    return sum / (3.0 * n);
  };
  EXPECT_GT(lineBrightness(2) - lineBrightness(3), 20.0);
  EXPECT_GT(lineBrightness(2) - lineBrightness(1), 20.0);
  Accept();
  EXPECT_EQ(g_gameSettings.regionIndex, 3);
  EXPECT_EQ(caller_.shown, std::vector<std::string>{"The Great Moor"});
  EXPECT_TRUE(caller_.sent.empty());  // the single-player set-up has no one to tell
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}

TEST_F(MapSelection, AMultiplayerHostAlsoSendsTheNewSettings) {
  OpenFor(kScreenLobby);
  ClickItem(4);
  Accept();
  EXPECT_EQ(g_gameSettings.regionIndex, 5);
  EXPECT_EQ(caller_.shown, std::vector<std::string>{"Lakeside"});
  EXPECT_EQ(caller_.sent, std::vector<int>{5});
}

TEST_F(MapSelection, AGapEndsTheList) {
  WriteRealm("[REGION1]\nname=North\n[REGION2]\nname=South\n[REGION4]\nname=East\n");
  OpenFor(kScreenSinglePlayerBattle);
  EXPECT_EQ(List()->ItemCount(), 2);
}

TEST_F(MapSelection, OfTwoRegionsWithOneNameTheFirstIsTaken) {
  WriteRealm("[REGION1]\nname=Twin\n[REGION2]\nname=Other\n[REGION3]\nname=Twin\n");
  OpenFor(kScreenSinglePlayerBattle);
  ClickItem(2);
  Accept();
  EXPECT_EQ(g_gameSettings.regionIndex, 1);
  EXPECT_EQ(caller_.shown, std::vector<std::string>{"Twin"});
}

TEST_F(MapSelection, AnEmptyListOnlyCloses) {
  WriteRealm("[REGION1]\nPath=maps\\moorland\n");
  g_gameSettings.regionIndex = 4;
  OpenFor(kScreenSinglePlayerBattle);
  EXPECT_EQ(List()->ItemCount(), 0);
  Accept();
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  EXPECT_EQ(g_gameSettings.regionIndex, 4);
  EXPECT_TRUE(caller_.shown.empty());
}

TEST_F(MapSelection, OneClickChoosesAndASecondClickOnTheSameRegionTakesIt) {
  g_gameSettings.regionIndex = 1;
  OpenFor(kScreenSinglePlayerBattle);
  ClickItem(1);
  Frames(3);
  EXPECT_EQ(g_currentScreen, g_mapSelection);
  EXPECT_EQ(g_mapSelection->fading, 0);
  EXPECT_EQ(g_mapSelection->lastClicked, "Castle Reach");
  ClickItem(3);  // another region: chosen, not taken
  EXPECT_EQ(g_mapSelection->fading, 0);
  EXPECT_EQ(g_gameSettings.regionIndex, 1);
  ClickItem(3);
  EXPECT_EQ(g_gameSettings.regionIndex, 4);
  EXPECT_EQ(caller_.shown, std::vector<std::string>{"Cliffs of Ash"});
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}

TEST_F(MapSelection, CancelChangesNothing) {
  g_gameSettings.regionIndex = 2;
  OpenFor(kScreenSinglePlayerBattle);
  ClickItem(4);
  ClickWidget(layout_, WidgetKind::kTextButton, 2);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  EXPECT_EQ(g_gameSettings.regionIndex, 2);
  EXPECT_TRUE(caller_.shown.empty());
}
