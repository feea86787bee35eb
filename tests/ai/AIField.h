#pragma once
// The field the computer player's measure and certainty tests stand creatures on: the forged
// spells and creature types on a flat grass map (the creature tests' field), an empty pool and
// army table, armies made hostile to each other, and wizards recorded as their armies'.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "ai/AIDecisionData.h"
#include "ai/AIFlaggedCells.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "creatures/WizardTable.h"
#include "platform/Files.h"
#include "support/CreatureField.h"
#include "support/TestSupport.h"

namespace ai_test {

class AIField : public ::testing::Test {
 protected:
  void SetUp() override {
    here_ = platform::CurrentDirectory();
    ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));  // read only
    ASSERT_NO_FATAL_FAILURE(testing_support::MakeCreatureField());
    g_armyTable.ResetAll();
    g_creatureArray.ReleaseAll();
    g_wizardTable.Clear();
    ResetGlobalOptions();
    ClearAIDecisionData();
    ClearGraves();
    g_aiRandom.Seed(1234);
  }
  void TearDown() override {
    g_creatureArray.ReleaseAll();
    g_armyTable.ResetAll();
    g_wizardTable.Clear();
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    testing_support::ClearCreatureField();
    ResetGlobalOptions();
    ClearAIDecisionData();
    ClearGraves();
    platform::ChangeDirectory(here_);
  }
  // An army in use, hostile to every other.
  void UseArmy(int army) {
    CArmy& record = g_armyTable.armies[army];
    record.inUse = 1;
    record.SetRelationToAll(0);
  }
  CCreature& Place(int type, int army, int x, int y, int level = 0) {
    return *g_creatureArray.At(testing_support::PlaceCreature(type, army, x, y, level));
  }
  // The army's wizard on the map, with a wizard record of its own.
  CCreature& PlaceWizard(int army, int x, int y) {
    UseArmy(army);
    CCreature& wizard = Place(0, army, x, y);
    g_armyTable.armies[army].wizardCreature = wizard.index;
    g_armyTable.armies[army].wizardRecord = army;
    g_wizardTable.At(army)->inUse = 1;
    return wizard;
  }
  // The table of grave cells is filled per map: a test that fills it must leave none of its
  // graves to the next test's map.
  static void ClearGraves() { std::fill(std::begin(g_aiFlaggedCells), std::end(g_aiFlaggedCells), CAIFlaggedCell{}); }
  CWizard& WizardRecord(int army) { return *g_wizardTable.At(army); }
  void SetPair(int id, float reference, float range) {
    g_aiMeasureReference[id] = reference;
    g_aiMeasureRange[id] = range;
  }

 private:
  std::string here_;
};

// The field with a node list and a builder for the groups a test makes; the nodes are freed
// at the end.
class AIGroups : public AIField {
 protected:
  void TearDown() override {
    for (CAIGroupNode* node : nodes) delete node;
    nodes.clear();
    CAIGroupBuilder::clusterCache = true;
    AIField::TearDown();
  }
  // A new inner node with a leaf for each creature, in order.
  CAIGroupNode* Group(const std::vector<CCreature*>& creatures) {
    CAIGroupNode* group = builder.NewGroupNode();
    for (CCreature* c : creatures) CAIGroupBuilder::Attach(group, builder.NewLeafNode(c));
    return group;
  }

  std::vector<CAIGroupNode*> nodes;
  CAIGroupBuilder builder{nodes};
};

}  // namespace ai_test
