// Magic items: the spell lists' reader and the weighted deal, on small hand-made files.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "magic/MagicItems.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace {

class MagicItemFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int s = 0; s < kSpellCount; ++s) savedCosts_.push_back(g_spellDefs[s].ManaCost);
    for (int s = 0; s < kSpellCount; ++s) g_spellDefs[s].ManaCost = 10;
    g_spellDefs[50].ManaCost = 90;  // too dear for a limit of 40
    g_magicItems = CMagicItems{};
    g_magicItemsFirstLoad = true;
    g_random.Seed(2024);
  }
  void TearDown() override {
    for (int s = 0; s < kSpellCount; ++s) g_spellDefs[s].ManaCost = savedCosts_[static_cast<size_t>(s)];
    g_magicItems = CMagicItems{};
    g_magicItemsFirstLoad = true;
  }
  // Items 0-24 carry spells 1, 2, 3 unless told otherwise; weights for items 0-20.
  void Write(const std::vector<int>& weights, int dearItem = -1) {
    std::string text;
    for (int item = 0; item < kMagicItemRows; ++item) {
      text += "[ITEM_" + std::to_string(item) +
              "]\nLawSpell=1\nNeutralSpell=2\nVraskSpell=" + (item == dearItem ? "50" : "3") + "\n";
      if (item < static_cast<int>(weights.size())) text += "SelectionWeight=" + std::to_string(weights[item]) + "\n";
    }
    dir_.Write("cfg/MItems.cfg", text);
    platform::FlushProfileCache();
  }
  std::vector<int> Deal(int wanted, int limit = 40) {
    int32_t count = wanted;
    uint8_t items[kDealtMagicItems] = {};
    LoadMagicItems(count, items, limit);
    return std::vector<int>(items, items + count);
  }
  testing_support::TempDir dir_{true};
  std::vector<int32_t> savedCosts_;
};

TEST_F(MagicItemFiles, SpellNumbersOutsideTheTableReadAsNoSpell) {
  dir_.Write("cfg/MItems.cfg",
             "[ITEM_0]\nLawSpell=95\nNeutralSpell=-3\nVraskSpell=91\n[ITEM_24]\nLawSpell=40 ; forty\n");
  platform::FlushProfileCache();
  g_magicItems.spells[24][1] = 7;  // a missing key leaves the field
  EXPECT_EQ(CMagicItems::ReadSpellLists("cfg\\MItems.cfg", g_magicItems), 1);
  EXPECT_EQ(g_magicItems.spells[0][0], 92);
  EXPECT_EQ(g_magicItems.spells[0][1], 92);
  EXPECT_EQ(g_magicItems.spells[0][2], 91);
  EXPECT_EQ(g_magicItems.spells[24][0], 40);
  EXPECT_EQ(g_magicItems.spells[24][1], 7);
  EXPECT_EQ(CMagicItems::ReadSpellLists("cfg\\none.cfg", g_magicItems), 1);
}

TEST_F(MagicItemFiles, CountsAreHeldWithinTheDealtItems) {
  Write(std::vector<int>(21, 5));
  EXPECT_TRUE(Deal(0).empty());
  EXPECT_TRUE(Deal(-4).empty());
  const std::vector<int> all = Deal(25);
  EXPECT_EQ(all.size(), 21u);
  EXPECT_EQ(std::set<int>(all.begin(), all.end()).size(), 21u);
  EXPECT_EQ(*std::max_element(all.begin(), all.end()), 20);  // rows 21-24 are never dealt
}

TEST_F(MagicItemFiles, OnlyWeightedAffordableItemsAreDealt) {
  // Items 3, 8 and 12 weigh something; 8 also needs spell 50, too dear.
  std::vector<int> weights(21, 0);
  weights[3] = weights[8] = weights[12] = weights[15] = 20;
  Write(weights, 8);
  std::set<std::vector<int>> orders;
  for (int deal = 0; deal < 40; ++deal) {
    const std::vector<int> items = Deal(5);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(std::set<int>(items.begin(), items.end()), (std::set<int>{3, 12, 15}));
    orders.insert(items);
  }
  EXPECT_GT(orders.size(), 1u);  // in random order
}

TEST_F(MagicItemFiles, WeightsDecideWhichComesFirst) {
  std::vector<int> weights(21, 0);
  weights[4] = 10;
  weights[9] = 30;
  Write(weights);
  int firstIsLight = 0;
  constexpr int kDeals = 4000;
  for (int deal = 0; deal < kDeals; ++deal) firstIsLight += Deal(2).front() == 4;
  EXPECT_NEAR(firstIsLight, kDeals / 4, 120);
}

TEST_F(MagicItemFiles, WithoutTheFileNothingIsDealt) { EXPECT_TRUE(Deal(5).empty()); }

}  // namespace
