// The creature type reader's clamps, lists and word rules, the forged files read back, and
// the type-level rules that read the table (ratings, markers, wizard numbers).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "forge/CreatureTable.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

// The two files in a fresh folder; case i is section CREATURE_i.
class CreatureFiles : public ::testing::Test {
 protected:
  void Read(const std::vector<std::string>& cases, const std::string& hth = "") {
    std::string text;
    for (size_t i = 0; i < cases.size(); ++i) text += "[CREATURE_" + std::to_string(i) + "]\n" + cases[i] + "\n";
    dir_.Write("cfg/creature.cfg", text);
    dir_.Write("cfg/hth.cfg", hth);
    ASSERT_EQ(ReadCreatureConfig("cfg\\creature.cfg", "cfg\\hth.cfg", g_creatureTypes), 1);
  }
  void TearDown() override {
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    for (CSpellDefinition& spell : g_spellDefs) spell.Alignment = 0;
  }
  testing_support::TempDir dir_{true};
};

struct StatCase {
  const char* keys;
  int32_t CCreatureType::*field;
  int32_t expected;
};

TEST_F(CreatureFiles, NumbersAreClampedAndFlagsNeedTrue) {
  const StatCase cases[] = {
      {"TileSizeXY=0", &CCreatureType::TileSizeXY, 1},
      {"TileSizeXY=1", &CCreatureType::TileSizeXY, 1},
      {"TileSizeXY=3", &CCreatureType::TileSizeXY, 2},
      {"TileHeight=0", &CCreatureType::TileHeight, 1},
      {"TileHeight=9", &CCreatureType::TileHeight, 5},
      {"Health=0", &CCreatureType::Health, 1},
      {"Health=600", &CCreatureType::Health, 500},
      {"Intelligence=-5", &CCreatureType::Intelligence, 1},
      {"FireRange=2001", &CCreatureType::FireRange, 2000},
      {"ViewRange=-5", &CCreatureType::ViewRange, 0},
      {"Acceleration=-3", &CCreatureType::Acceleration, 0},
      {"SwimmingAbility=-7", &CCreatureType::SwimmingAbility, -7},
      {"CanFly=true", &CCreatureType::CanFly, 1},
      {"CanFly=FALSE", &CCreatureType::CanFly, 0},
      {"IsUndead=yes", &CCreatureType::IsUndead, 0},
      {"BurnDamage=1001", &CCreatureType::BurnDamage, 1000},
      {"WanderDist=-1", &CCreatureType::WanderDist, 0},
      {"Bravery=12 brave", &CCreatureType::Bravery, 12},
      {"TileSizeXY=2\nTileHeight=3", &CCreatureType::centreOffset, 32},
      {"TileSizeXY=1\nTileHeight=3", &CCreatureType::centreHeight, 24},
  };
  std::vector<std::string> keys;
  for (const StatCase& c : cases) keys.push_back(c.keys);
  Read(keys);
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(g_creatureTypes[i].*cases[i].field, cases[i].expected) << keys[i];
    EXPECT_EQ(g_creatureTypes[i].typeNumber, static_cast<int>(i));
  }
  EXPECT_EQ(g_creatureTypes[27].Health, 0);  // a missing section keeps the defaults
}

TEST_F(CreatureFiles, WordListsSetTheirBits) {
  Read({"ArtifactUse=pickup, Collect ; takes what it finds", "ArtifactUse=PICKUP, COLLECT, NONE",
        "ArtifactUse=EAT=yes,  OpenChest, FLY", "AI_CreatureCategory=scout, DEFENDER", "AI_CreatureCategory=KNIGHT",
        "ArtifactUse=pickup ,collect"});
  EXPECT_EQ(g_creatureTypes[0].artifactUse, 5);
  EXPECT_EQ(g_creatureTypes[1].artifactUse, 0);
  EXPECT_EQ(g_creatureTypes[2].artifactUse, 10);
  EXPECT_EQ(g_creatureTypes[3].aiCategory, ai_category::kScout | ai_category::kDefender);
  EXPECT_EQ(g_creatureTypes[4].aiCategory, 0);
  EXPECT_EQ(g_creatureTypes[5].artifactUse, artifact_use::kCollect);  // "pickup " is no word
}

TEST_F(CreatureFiles, ListsFillWhatTheyGiveAndNeverMore) {
  Read({"MarkerHoriz=1,2,3,4,5,6,7,8,9,10\nMarkerDiag=5=a, 6", "LRCOffsets=1,2,3\nBloodColour=10,20",
        "LRCOffsets=" + std::string(200, '9') + ",-4"});
  const CCreatureType& a = g_creatureTypes[0];
  EXPECT_EQ(a.MarkerHoriz[3][1], 8);
  EXPECT_EQ(a.MarkerDiag[0][0], 5);
  EXPECT_EQ(a.MarkerDiag[0][1], 6);
  EXPECT_EQ(a.MarkerDiag[1][0], 0);
  EXPECT_EQ(a.MarkerVert[0][0], 0);
  EXPECT_EQ(a.BloodColour[0], 255);  // missing key: the default blood
  EXPECT_EQ(a.BloodColour[3], 64);

  const CCreatureType& b = g_creatureTypes[1];
  EXPECT_EQ(b.LRCOffsets[0][2], 3);
  EXPECT_EQ(b.LRCOffsets[1][0], 0);
  EXPECT_EQ(b.BloodColour[0], 10);
  EXPECT_EQ(b.BloodColour[1], 20);
  EXPECT_EQ(b.BloodColour[2], 0);  // the rest of the default stays
  EXPECT_EQ(b.BloodColour[3], 64);
  EXPECT_EQ(g_creatureTypes[2].LRCOffsets[0][0], 1024);  // held where every sum with it fits
  EXPECT_EQ(g_creatureTypes[2].LRCOffsets[0][1], -4);
}

// Numbers a hostile or damaged file may hold: each is held where every later sum with it fits.
TEST_F(CreatureFiles, HostileNumbersAreHeldWhereTheirUseFits) {
  struct HostileCase {
    const char* keys;
    const int32_t* (*field)(const CCreatureType&);
    int32_t expected;
  };
  const HostileCase cases[] = {
      {"LRCOffsets=99999999999,1,1", [](const CCreatureType& t) { return &t.LRCOffsets[0][0]; }, 1024},
      {"LRCOffsets=1,-2147483648,1", [](const CCreatureType& t) { return &t.LRCOffsets[0][1]; }, -1024},
      {"LRCOffsets=1,1,nan,inf", [](const CCreatureType& t) { return &t.LRCOffsets[0][2]; }, 0},
      {"LRCOffsets=1,1,1,inf", [](const CCreatureType& t) { return &t.LRCOffsets[1][0]; }, 0},
      {"MarkerHoriz=2147483647", [](const CCreatureType& t) { return &t.MarkerHoriz[0][0]; }, 1024},
      {"MarkerDiag=0,-99999999999", [](const CCreatureType& t) { return &t.MarkerDiag[0][1]; }, -1024},
      {"BloodColour=nan,inf,-1,99999999999", [](const CCreatureType& t) { return &t.BloodColour[0]; }, 0},
      {"BloodColour=nan,inf,-1,99999999999", [](const CCreatureType& t) { return &t.BloodColour[1]; }, 0},
      {"BloodColour=nan,inf,-1,99999999999", [](const CCreatureType& t) { return &t.BloodColour[2]; }, 0},
      {"BloodColour=nan,inf,-1,99999999999", [](const CCreatureType& t) { return &t.BloodColour[3]; }, 255},
      {"BloodColour=2147483647", [](const CCreatureType& t) { return &t.BloodColour[0]; }, 255},
      {"FlyingHeight=2147483647", [](const CCreatureType& t) { return &t.FlyingHeight; }, 1000},
      {"WanderDist=99999999999", [](const CCreatureType& t) { return &t.WanderDist; }, 1000000},
      {"WanderDelay=2147483647", [](const CCreatureType& t) { return &t.WanderDelay; }, 1000000},
      {"LordExperienceLevel=2147483647", [](const CCreatureType& t) { return &t.LordExperienceLevel; }, 1000000},
      {"KingExperienceLevel=inf", [](const CCreatureType& t) { return &t.KingExperienceLevel; }, 0},
      {"Health=-2147483648", [](const CCreatureType& t) { return &t.Health; }, 1},
  };
  std::vector<std::string> keys;
  for (const HostileCase& c : cases) keys.push_back(c.keys);
  Read(keys);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(*cases[i].field(g_creatureTypes[i]), cases[i].expected) << keys[i];
}

TEST_F(CreatureFiles, MatrixRowsFillInOrderAndAreClamped) {
  Read({},
       "[HTH_Matrix]\nCreat_00=1,2,3,4,5,6,7,8,9,10\nCreat_05=5 6,7=x\t8\n"
       "[LRC_Matrix]\nCreat_00=3000\nCreat_08=2400\nCreat_20=2500\nCreat_03=900\n"
       "[FearHate_Matrix]\nCreat_00=-2000,-5\n[ResponsetoLRC_Matrix]\nCreat_01=" +
           std::string(40, '1') + "\n[Stun_Matrix]\nCreat_02=" + std::string("7,").append(60, ','));
  EXPECT_EQ(g_creatureTypes[0].HTH_Matrix[9], 10);
  EXPECT_EQ(g_creatureTypes[0].HTH_Matrix[10], 0);
  const int32_t* row5 = g_creatureTypes[5].HTH_Matrix;
  EXPECT_EQ(row5[0] * 1000 + row5[1] * 100 + row5[2] * 10 + row5[3], 5678);
  EXPECT_EQ(g_creatureTypes[0].LRC_Matrix[0], 2500);
  EXPECT_EQ(g_creatureTypes[0].FearHate_Matrix[0], -1000);
  EXPECT_EQ(g_creatureTypes[0].FearHate_Matrix[1], -5);
  EXPECT_EQ(g_creatureTypes[1].ResponsetoLRC_Matrix[0], 1000);
  EXPECT_EQ(g_creatureTypes[2].Stun_Matrix[0], 7);
  EXPECT_EQ(g_typeMaxima.hth, 10);
  EXPECT_EQ(g_typeMaxima.lrc, 2500);  // type 0's clamped 3000; 8 and 20 do not count
}

TEST_F(CreatureFiles, MaximaAndTheTableStartAfreshWithEachRead) {
  Read({"Health=400\nGroundSpeed=900", "Health=50\nFlyingSpeed=20"}, "[LRC_Matrix]\nCreat_08=2400\n");
  EXPECT_EQ(g_typeMaxima.Health, 400);
  EXPECT_EQ(g_typeMaxima.GroundSpeed, 900);
  EXPECT_EQ(g_typeMaxima.FlyingSpeed, 20);
  EXPECT_EQ(g_typeMaxima.lrc, 0);
  Read({"Health=30"});
  EXPECT_EQ(g_typeMaxima.Health, 30);
  EXPECT_EQ(g_typeMaxima.GroundSpeed, 0);
  EXPECT_EQ(g_creatureTypes[1].Health, 0);
}

TEST_F(CreatureFiles, TypesTakeTheirSpellsAlignmentAndTheirRangedAttack) {
  g_spellDefs[9].Alignment = kAlignVrask;
  g_spellDefs[20].Alignment = kAlignLaw;
  Read({});
  EXPECT_EQ(g_creatureTypes[9].alignment, kAlignVrask);
  const int spells[kCreatureTypes] = {-1, 94, 95, 93, -1, -1, -1,  -1, 97, 96,  94, -1, -1, -1,
                                      -1, -1, -1, -1, 99, -1, 101, -1, -1, 102, -1, -1, -1, -1};
  for (int t = 0; t < kCreatureTypes; ++t) EXPECT_EQ(g_creatureTypes[t].rangedAttackSpell, spells[t]) << t;
}

TEST_F(CreatureFiles, AMissingFileIsAFailureAndTheFatalBox) {
  dir_.Write("cfg/hth.cfg", "");
  EXPECT_EQ(ReadCreatureConfig("cfg\\creature.cfg", "cfg\\hth.cfg", g_creatureTypes), 0);
  testing_support::BoxRecorder boxes;
  testing_support::ExitTrap trap;
  EXPECT_EQ(testing_support::ExitCodeOf(LoadCreatureTypes), 1);
  ASSERT_TRUE(boxes.Saw("FILE LOAD ERROR"));
  EXPECT_NE(boxes.Boxes().back().text.find("cfg\\creature.cfg"), std::string::npos);

  dir_.Write("cfg/creature.cfg", "[CREATURE_0]\nHealth=5\n");
  platform::RemoveFile(dir_.File("cfg/hth.cfg"));
  EXPECT_EQ(testing_support::ExitCodeOf(LoadCreatureTypes), 1);
  EXPECT_NE(boxes.Boxes().back().text.find("cfg\\hth.cfg"), std::string::npos);
  EXPECT_EQ(g_creatureTypes[0].Health, 0);  // nothing read
}

// The forged files read back: every value the forge's table gives.
TEST(ForgedCreatureFiles, ReadBackEqualToTheTable) {
  const std::string here = platform::CurrentDirectory();
  ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));  // read only
  const int spells = LoadSpells("cfg\\spells.cfg", g_spellDefs);
  const int types = ReadCreatureConfig("cfg\\creature.cfg", "cfg\\hth.cfg", g_creatureTypes);
  platform::ChangeDirectory(here);
  ASSERT_EQ(spells, 1);
  ASSERT_EQ(types, 1);
  const forge::HthMatrices matrices = forge::MakeHthMatrices();
  for (int t = 0; t < kCreatureTypes; ++t) {
    const forge::CreatureRow& row = forge::CreatureTable()[static_cast<size_t>(t)];
    const CCreatureType& type = g_creatureTypes[t];
    SCOPED_TRACE(t);
    EXPECT_EQ(type.alignment, row.alignment);
    EXPECT_EQ(type.TileSizeXY, row.TileSizeXY);
    EXPECT_EQ(type.TileHeight, row.TileHeight);
    EXPECT_EQ(type.CanFly, row.CanFly);
    EXPECT_EQ(type.FlyingHeight, row.FlyingHeight);
    EXPECT_EQ(type.Acceleration, row.Acceleration);
    EXPECT_EQ(type.Intelligence, row.Intelligence);
    EXPECT_EQ(type.Health, row.Health);
    EXPECT_EQ(type.Stamina, row.Stamina);
    EXPECT_EQ(type.Defense, row.Defense);
    EXPECT_EQ(type.MagicResist, row.MagicResist);
    EXPECT_EQ(type.ImmuneSystem, row.ImmuneSystem);
    EXPECT_EQ(type.FireRate, row.FireRate);
    EXPECT_EQ(type.FireRange, row.FireRange);
    EXPECT_EQ(type.ViewRange, row.ViewRange);
    EXPECT_EQ(type.SwimmingAbility, row.SwimmingAbility);
    EXPECT_EQ(type.IsPhysical, row.IsPhysical);
    EXPECT_EQ(type.IsUndead, row.IsUndead);
    EXPECT_EQ(type.WanderDist, row.WanderDist);
    EXPECT_EQ(type.WanderDelay, row.WanderDelay);
    EXPECT_EQ(type.LordExperienceLevel, row.LordExperienceLevel);
    EXPECT_EQ(type.KingExperienceLevel, row.KingExperienceLevel);
    EXPECT_EQ(type.BurnTime, row.BurnTime);
    EXPECT_EQ(type.BurnDamage, row.BurnDamage);
    EXPECT_EQ(type.Weight, row.Weight);
    EXPECT_EQ(type.GroundSpeed, row.GroundSpeed);
    EXPECT_EQ(type.FlyingSpeed, row.FlyingSpeed);
    EXPECT_EQ(type.Bravery, row.Bravery);
    EXPECT_EQ((type.rangedAttackSpell != kNoRangedAttack), row.FireRange > 0);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(type.BloodColour[i], row.BloodColour[static_cast<size_t>(i)]);
      EXPECT_EQ(type.MarkerHoriz[i][0], row.MarkerHoriz[static_cast<size_t>(i)].x);
      EXPECT_EQ(type.MarkerVert[i][1], row.MarkerVert[static_cast<size_t>(i)].y);
      EXPECT_EQ(type.MarkerDiag[i][1], row.MarkerDiag[static_cast<size_t>(i)].y);
    }
    for (int f = 0; f < 8; ++f)
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ(type.LRCOffsets[f][c], row.LRCOffsets[static_cast<size_t>(f)][static_cast<size_t>(c)]);
    for (int target = 0; target < kCreatureTypes; ++target) {
      const size_t a = static_cast<size_t>(t), b = static_cast<size_t>(target);
      EXPECT_EQ(type.HTH_Matrix[target], matrices.HTH[a][b]);
      EXPECT_EQ(type.Stun_Matrix[target], matrices.Stun[a][b]);
      EXPECT_EQ(type.LRC_Matrix[target], matrices.LRC[a][b]);
      EXPECT_EQ(type.Taunt_Matrix[target], matrices.Taunt[a][b]);
      EXPECT_EQ(type.Assist_Matrix[target], matrices.Assist[a][b]);
      EXPECT_EQ(type.FearHate_Matrix[target], matrices.FearHate[a][b]);
      EXPECT_EQ(type.Evasion_Matrix[target], matrices.Evasion[a][b]);
      EXPECT_EQ(type.ResponsetoLRC_Matrix[target], matrices.ResponsetoLRC[a][b]);
    }
  }
  EXPECT_EQ(g_creatureTypes[1].artifactUse, artifact_use::kCollect | artifact_use::kPickUp | artifact_use::kOpenChest);
  EXPECT_EQ(g_creatureTypes[3].aiCategory, ai_category::kScout | ai_category::kAttacker);
  EXPECT_EQ(g_typeMaxima.Health, 450);
  for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
  LoadSpells("cfg\\none.cfg", g_spellDefs);
}

// --- rules over the table ---------------------------------------------------------------------

class TypeRules : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int t = 0; t < kCreatureTypes; ++t) {
      g_creatureTypes[t] = CCreatureType{};
      g_creatureTypes[t].typeNumber = t;
      for (int target = 0; target < kCreatureTypes; ++target) {
        g_creatureTypes[t].HTH_Matrix[target] = 30;
        g_creatureTypes[t].LRC_Matrix[target] = 31;
      }
    }
    g_creatureTypes[11].IsUndead = 1;
    g_creatureTypes[14].IsUndead = 1;
  }
  void TearDown() override {
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
  }
};

TEST_F(TypeRules, RatingsAgainstTheUndeadAreAThirdUnlessUndeadThemselves) {
  EXPECT_EQ(g_creatureTypes[5].GetHthRating(1), 30);
  EXPECT_EQ(g_creatureTypes[5].GetHthRating(11), 10);
  EXPECT_EQ(g_creatureTypes[14].GetHthRating(11), 30);
  EXPECT_EQ(g_creatureTypes[3].GetLrcRating(14), 10);
  EXPECT_EQ(g_creatureTypes[3].GetLrcRating(2), 31);
  EXPECT_EQ(g_creatureTypes[5].GetHthRating(28), 0);  // no such type
  EXPECT_EQ(g_creatureTypes[5].GetHthRating(-1), 0);
}

TEST_F(TypeRules, TheHoldersLongRangeRatingIsTen) {
  for (int holder : {8, 20})
    for (int target : {0, 5, 11, 27}) EXPECT_EQ(g_creatureTypes[holder].GetLrcRating(target), 10);
}

TEST_F(TypeRules, ThreatClasses) {
  const int expected[kCreatureTypes] = {0, 2, 1, 2, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int t = 0; t < kCreatureTypes; ++t) EXPECT_EQ(g_creatureTypes[t].GetThreatClass(), expected[t]) << t;
}

TEST_F(TypeRules, MarkerOffsetsFollowFacingAndRotation) {
  CCreatureType& type = g_creatureTypes[2];
  for (int pair = 0; pair < 4; ++pair) {
    type.MarkerHoriz[pair][0] = 100 + pair;
    type.MarkerVert[pair][0] = 200 + pair;
    type.MarkerDiag[pair][0] = 300 + pair;
    type.MarkerDiag[pair][1] = -pair;
  }
  // Rows: facing 0-7; columns: rotation 0-3; the set (1 horizontal, 2 vertical, 3 diagonal).
  const int sets[8][4] = {{3, 3, 3, 3}, {1, 2, 1, 2}, {3, 3, 3, 3}, {2, 1, 2, 1},
                          {3, 3, 3, 3}, {1, 2, 1, 2}, {3, 3, 3, 3}, {2, 1, 2, 1}};
  for (int facing = 0; facing < 8; ++facing) {
    for (int rotation = 0; rotation < 4; ++rotation) {
      int x = 0, y = 0;
      type.GetMarkerOffset(x, y, facing, 2, rotation);
      EXPECT_EQ(x, sets[facing][rotation] * 100 + 2) << facing << " " << rotation;
    }
  }
  int x = 0, y = 0;
  type.GetMarkerOffset(x, y, 4, 3, 0);
  EXPECT_EQ(y, -3);
}

TEST(WizardTypes, NumbersAndTypesMapBothWays) {
  const int types[4] = {0, 24, 25, 26};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(WizardNumberToType(n), types[n]);
    EXPECT_EQ(TypeToWizardNumber(types[n]), n);
    EXPECT_TRUE(IsWizardType(types[n]));
  }
  for (int other : {-1, 4, 5, 23, 27, 99}) {
    EXPECT_EQ(WizardNumberToType(other), other);
    if (other != 4) EXPECT_EQ(TypeToWizardNumber(other), other);
  }
  EXPECT_EQ(TypeToWizardNumber(1), 1);
  EXPECT_FALSE(IsWizardType(27));
  EXPECT_FALSE(IsWizardType(23));
  EXPECT_STREQ(g_creatureTypeNames[8], "BLACK_DOG");
  EXPECT_STREQ(g_creatureTypeNames[23], "CHAMP_OF_VRASK");
}

}  // namespace
