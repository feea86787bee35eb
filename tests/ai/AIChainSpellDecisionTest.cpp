// The chain: how far it runs and what it values, on hand-made rows of creatures.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "AISpellScene.h"
#include "ai/AIChainSpellDecision.h"
#include "creatures/SpellDefinition.h"

namespace {

using ai_test::SpellScene;

class ChainSpell : public SpellScene {
 protected:
  void SetUp() override {
    SpellScene::SetUp();
    Knows({CAIChainDecision::kSpell});
    spell().Range = 12;
    spell().Damage = 40;
    spell().SpellStrength = 10;  // four links
  }
  static CSpellDefinition& spell() { return g_spellDefs[CAIChainDecision::kSpell]; }
  // Enemies in a row from (x, y), one a cell.
  std::vector<CCreature*> Row(int x, int y, int n) {
    std::vector<CCreature*> row;
    for (int i = 0; i < n; ++i) row.push_back(&Enemy(x + i, y));
    return row;
  }
};

TEST_F(ChainSpell, TheChainNeverStrikesACreatureTwiceNorTheCaster) {
  const std::vector<CCreature*> row = Row(12, 10, 2);  // two enemies beside the caster
  const CAIChainDecision::Chain chain = CAIChainDecision::Follow(*wizard, *row[0]);
  // Four jumps but only two creatures besides the caster: the chain stops there.
  ASSERT_EQ(chain.links.size(), 2u);
  EXPECT_EQ(std::set<int>(chain.links.begin(), chain.links.end()).size(), 2u);
  EXPECT_EQ(std::count(chain.links.begin(), chain.links.end(), wizard->index), 0);
  EXPECT_GT(chain.sum, 0);
}

TEST_F(ChainSpell, AFriendOnTheChainCountsAgainstIt) {
  CCreature& enemy = Enemy(12, 10);
  CCreature& own = Friend(13, 10);
  const CAIChainDecision::Chain chain = CAIChainDecision::Follow(*wizard, enemy);
  ASSERT_EQ(chain.links.size(), 2u);
  EXPECT_EQ(chain.links[1], own.index);
  // 40 on the enemy; then 30 against on the friend, or four times its health when that
  // would kill it.
  const int against = 30 < own.health ? 30 : 4 * own.health;
  EXPECT_EQ(chain.sum, std::min(40, 2 * enemy.health) - against);
}

TEST_F(ChainSpell, SpellValuesThatGiveNoJumpValueNothing) {
  Row(12, 10, 3);
  struct Case {
    int damage, strength;
  } cases[] = {{10, 40}, {40, 0}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.strength);
    spell().Damage = c.damage;
    spell().SpellStrength = c.strength;
    CAIChainDecision d;
    EXPECT_TRUE(ScoreAll(d).empty());
  }
}

TEST_F(ChainSpell, AChainStopsAfterNineteenLinksWhateverItsJumps) {
  spell().Damage = 255;
  spell().SpellStrength = 1;
  std::vector<CCreature*> row = Row(12, 10, 15);
  for (CCreature* c : Row(12, 11, 15)) row.push_back(c);
  const CAIChainDecision::Chain chain = CAIChainDecision::Follow(*wizard, *row[0]);
  EXPECT_EQ(chain.links.size(), 19u);
  CAIChainDecision d;
  const auto scored = ScoreAll(d);
  EXPECT_FALSE(scored.empty());
  d.KeepBest();
  EXPECT_GE(d.Execute(), 255 * 5);  // five ticks a jump
}

}  // namespace
