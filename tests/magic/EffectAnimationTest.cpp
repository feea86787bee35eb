// Which effect-animation entry an effect shows, and how drawing picks its sequence.
#include <gtest/gtest.h>

#include "MagicTestSupport.h"
#include "magic/EffectSpells.h"

namespace magic_test {
namespace {

namespace w = effect_word;

class EffectAnimationTest : public EffectTest {
 protected:
  void TearDown() override {
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
    EffectTest::TearDown();
  }
  int EntryOf(int kind, int spell, int target = -1) {
    CEffect e;
    e.kind = kind;
    e.params[w::kSpell] = spell;
    e.params[w::kTarget] = target;
    return e.GetAniIndex();
  }
};

TEST_F(EffectAnimationTest, EachSpellShowsItsEntry) {
  g_spellDefs[10].Alignment = 0;
  g_spellDefs[11].Alignment = 1;
  g_spellDefs[12].Alignment = 2;
  g_spellDefs[7].Alignment = 2;
  g_spellDefs[60].Alignment = 0;
  g_spellDefs[61].Alignment = 2;
  world.Place(3, 4, 4, 1, 2);
  world.Place(4, 8, 8, 1, 1);
  struct Case {
    int kind, spell, target, entry;
  } cases[] = {
      {1, 10, -1, 15}, {1, 11, -1, 16}, {1, 12, -1, 14},  {1, 7, -1, 17},   {6, 33, -1, 27},  {7, 10, -1, 20},
      {6, 12, -1, 13}, {7, 68, -1, 87}, {1, 33, -1, 43},  {35, 34, -1, 55}, {36, 34, -1, 56}, {45, 34, -1, 57},
      {1, 52, 3, 17},  {1, 52, 4, 14},  {1, 52, -1, 14},  {5, 62, -1, 0},   {1, 62, -1, 59},  {2, 89, -1, 0},
      {1, 89, -1, 59}, {4, 93, -1, 2},  {4, 98, -1, 2},   {4, 95, -1, 4},   {4, 102, -1, 78}, {45, 82, -1, 69},
      {1, 60, -1, 20}, {1, 61, -1, 13}, {1, 200, -1, 20}, {1, -1, -1, 20},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EntryOf(c.kind, c.spell, c.target), c.entry) << "kind " << c.kind << " spell " << c.spell;
}

}  // namespace
}  // namespace magic_test
