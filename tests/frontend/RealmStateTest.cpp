// The campaign's realm record: its start file, its saved-game block, and what a bad block
// does (nothing).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "frontend/RealmState.h"
#include "support/TestSupport.h"

namespace {

std::vector<uint8_t> Bytes(const CRealmState& state) {
  bytes::Writer out;
  state.Write(out);
  return out.Data();
}

// A record of three wizards in a realm of seven regions, walking and standing.
CRealmState SampleState() {
  CRealmState s;
  std::snprintf(s.currentRealmName, sizeof s.currentRealmName, "Moorland");
  std::snprintf(s.nextRealm, sizeof s.nextRealm, "realms\\isles\\isles.cfg");
  s.wizardCount = 3;
  s.playerWizard = 1;
  s.lastRegion = 7;
  for (int w = 0; w < 3; ++w) {
    std::snprintf(s.wizardNames[w], sizeof s.wizardNames[w], "Wizard%d", w);
    s.active[w] = w != 2;
    s.icons[w] = w;
    s.flags[w] = 10 + w;
    s.locations[w] = w + 1;
    s.destinations[w] = 7 - w;
    s.movement[w] = CRealmMovement{w, w - 1, 4 * w, 100 + w, 200 + w};
  }
  for (int r = 0; r < kRealmRegions; ++r) s.regionOwners[r] = r % 3;
  return s;
}

class RealmStateFile : public ::testing::Test {
 protected:
  std::string Write(const std::string& text) {
    const std::string path = dir_.File("realmview.cfg");
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
  }
  testing_support::TempDir dir_;
};

TEST_F(RealmStateFile, LoadBoundsWhatTheFileSays) {
  struct Case {
    const char* name;
    std::string text;
    std::function<void(CRealmState&)> before;
    std::function<void(const CRealmState&)> check;
  };
  const std::string three = "[GENERAL]\nwizardCount=3\nregionCount=7\n";
  const Case cases[] = {
      {"the player above the count is the last wizard", three + "playerWizard1=9\n", nullptr,
       [](const CRealmState& s) { EXPECT_EQ(s.playerWizard, 2); }},
      {"no wizards leave no player", "[GENERAL]\nwizardCount=0\nplayerWizard1=0\n", nullptr,
       [](const CRealmState& s) {
         EXPECT_EQ(s.wizardCount, 0);
         EXPECT_EQ(s.playerWizard, -1);
       }},
      {"a last region below -1 is none", three + "lastRegion=-7\n", nullptr,
       [](const CRealmState& s) { EXPECT_EQ(s.lastRegion, -1); }},
      {"a last region at or past the count is the count", three + "lastRegion=12\n", nullptr,
       [](const CRealmState& s) { EXPECT_EQ(s.lastRegion, 7); }},
      {"no last region key is none", three, [](CRealmState& s) { s.lastRegion = 4; },
       [](const CRealmState& s) { EXPECT_EQ(s.lastRegion, -1); }},
      {"a missing old region is kept, the rest of the walk reset",
       three + "[WIZARD_01]\nwizardLocation=4\nwizardFlag=-3\n",
       [](CRealmState& s) {
         s.movement[1] = CRealmMovement{5, 2, 9, 10, 11};
       },
       [](const CRealmState& s) {
         EXPECT_EQ(s.movement[1].oldRegion, 5);
         EXPECT_EQ(s.movement[1].pathSlot, 0);
         EXPECT_EQ(s.movement[1].countdown, 0);
         EXPECT_EQ(s.movement[1].x, -1);
         EXPECT_EQ(s.movement[1].y, -1);
         EXPECT_EQ(s.locations[1], 4);
         EXPECT_EQ(s.destinations[1], 4);
         EXPECT_EQ(s.flags[1], 0);
         EXPECT_EQ(s.active[1], 1);
         EXPECT_STREQ(s.wizardNames[1], "<_wizard_name_>");
       }},
      {"region r's owner sits at r - 1, owner 0 is wizard 0",
       three + "[REGION_INFO]\nregionOwner_00=0\nregionOwner_02=2\nregionOwner_06=-4\nregionOwner_07=1\n",
       [](CRealmState& s) { s.regionOwners[7] = 2; },
       [](const CRealmState& s) {
         EXPECT_EQ(s.regionOwners[0], 0);
         EXPECT_EQ(s.regionOwners[2], 2);
         EXPECT_EQ(s.regionOwners[6], 0);
         EXPECT_EQ(s.regionOwners[7], 2);  // past the region count: not read
       }},
      {"200 wizards are 80", "[GENERAL]\nwizardCount=200\nregionCount=50\nlastRegion=40\n", nullptr,
       [](const CRealmState& s) {
         EXPECT_EQ(s.wizardCount, 80);
         EXPECT_EQ(s.lastRegion, 20);
       }},
      {"a region past 20 is no region", three + "[WIZARD_00]\nwizardLocation=21\nwizardMovement_oldRegion=99\n",
       nullptr,
       [](const CRealmState& s) {
         EXPECT_EQ(s.locations[0], 0);
         EXPECT_EQ(s.movement[0].oldRegion, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRealmState state;
    if (c.before) c.before(state);
    state.LoadFile(Write(c.text).c_str());
    c.check(state);
  }
}

TEST_F(RealmStateFile, AMissingFileChangesNothingButTheLastRegion) {
  CRealmState state = SampleState();
  std::vector<uint8_t> before = Bytes(state);
  state.LoadFile(dir_.File("none.cfg").c_str());
  EXPECT_EQ(state.lastRegion, -1);
  state.lastRegion = 7;
  EXPECT_EQ(Bytes(state), before);
}

TEST(RealmState, CountsActiveWizardsInARegion) {
  CRealmState s = SampleState();
  s.locations[0] = s.locations[1] = s.locations[2] = 3;
  EXPECT_EQ(s.CountWizardsInRegion(3), 2);  // wizard 2 is defeated
  s.wizardCount = 1;
  EXPECT_EQ(s.CountWizardsInRegion(3), 1);
  EXPECT_EQ(s.CountWizardsInRegion(4), 0);
}

TEST(RealmState, ItsSavedBlockRoundTripsByteForByte) {
  const CRealmState original = SampleState();
  const std::vector<uint8_t> bytes = Bytes(original);
  ASSERT_EQ(bytes.size(), static_cast<size_t>(kRealmStateBytes));
  // Field offsets of the file format.
  EXPECT_EQ(bytes::LoadI32(bytes.data() + 256), 1);
  EXPECT_EQ(bytes::LoadI32(bytes.data() + 260), 3);
  EXPECT_EQ(bytes::LoadI32(bytes.data() + 264), 7);
  EXPECT_EQ(bytes::LoadI32(bytes.data() + 524 + 20 + 8), 4);  // wizard 1's countdown
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 2124 + 16), "Wizard1");
  EXPECT_EQ(bytes::LoadI32(bytes.data() + 4044 + 8), 3);  // wizard 2's location
  EXPECT_EQ(bytes::LoadI32(bytes.data() + 5004 + 4), 1);  // region 2's owner

  FILE* file = std::tmpfile();
  ASSERT_EQ(original.WriteSave(file), kRealmStateBytes);
  std::rewind(file);
  CRealmState read;
  ASSERT_EQ(read.ReadSave(file), kRealmStateBytes);
  std::fclose(file);
  EXPECT_EQ(Bytes(read), bytes);
}

TEST(RealmState, AnUnsoundBlockIsRefusedAndChangesNothing) {
  struct Case {
    const char* name;
    size_t offset;
    int32_t value;
  };
  const Case cases[] = {
      {"81 wizards", 260, 81},
      {"a negative count", 260, -1},
      {"the player past the count", 256, 3},
      {"no player among wizards", 256, -1},
      {"a last region past 20", 264, 21},
      {"a last region below -1", 264, -2},
      {"an old region past 20", 524, 21},
      {"a path slot of 8", 524 + 4, 8},
      {"a path slot of -2", 524 + 4, -2},
      {"a negative countdown", 524 + 8, -1},
      {"an x off the map", 524 + 12, 800},
      {"an active flag of 2", 3404, 2},
      {"an icon past the sequences", 3724, 5000},
      {"a location past 20", 4044, 21},
      {"a negative destination", 4364 + 4, -1},
      {"an owner past the wizards", 5004, 80},
      {"a negative owner", 5004 + 4 * 19, -1},
  };
  const std::vector<uint8_t> good = Bytes(SampleState());
  auto refused = [&](const std::vector<uint8_t>& bytes) {
    CRealmState state = SampleState();
    state.lastRegion = 2;  // tells it apart from the block
    const std::vector<uint8_t> before = Bytes(state);
    FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    const int result = state.ReadSave(file);
    std::fclose(file);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Bytes(state), before);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = good;
    bytes::StoreU32(bytes.data() + c.offset, static_cast<uint32_t>(c.value));
    refused(bytes);
  }
  for (size_t text : {size_t{0}, size_t{268}, size_t{2124 + 16 * 79}}) {
    SCOPED_TRACE(text);
    std::vector<uint8_t> bytes = good;
    const size_t size = text >= 2124 ? kRealmWizardNameSize : kRealmNameSize;
    std::memset(bytes.data() + text, 'A', size);
    refused(bytes);
  }
  SCOPED_TRACE("a short block");
  refused(std::vector<uint8_t>(good.begin(), good.end() - 1));
}

}  // namespace
