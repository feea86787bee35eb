#include <gtest/gtest.h>

#include <cstring>

#include "core/StringTable.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

TEST(StringTable, ForgedTableEndsAtTheGapAndCutsComments) {
  TempDir dir(true);
  CStringTable table;
  // A file name relative to the current directory: reach the forged one from the temp folder.
  ASSERT_EQ(table.Load(("../../data/samples/strings.cfg")), 1);
  ASSERT_EQ(table.Count(), 4);
  EXPECT_STREQ(table.Get(0), "Realms of Vrask");
  EXPECT_STREQ(table.Get(1), "  Quoted text  ");
  EXPECT_STREQ(table.Get(2), "Kept blank ");  // the blank before ';' stays
  EXPECT_STREQ(table.Get(3), "Last text");
  EXPECT_STREQ(table.Get(4), "Invaild Index Passed");  // index equal to the count
  EXPECT_STREQ(table.Get(-1), "Invaild Index Passed");
  // The block's header.
  const uint8_t* block = static_cast<const uint8_t*>(table.block);
  EXPECT_EQ(std::memcmp(block, "STR", 4), 0);
  EXPECT_EQ(table.offsets[0], 0);
  EXPECT_EQ(table.offsets[4], 16 + 16 + 12 + 10);
}

TEST(StringTable, FileWithoutTheFirstKeyIsEmpty) {
  TempDir dir(true);
  dir.Write("s.cfg", "[STRINGS]\nSTR_01=one\n");
  CStringTable table;
  ASSERT_EQ(table.Load("s.cfg"), 1);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_STREQ(table.Get(0), "Invaild Index Passed");
  CStringTable none;
  EXPECT_STREQ(none.Get(0), "Invaild Index Passed");
}

TEST(StringTable, NumbersPastNinetyNineKeepCounting) {
  TempDir dir(true);
  std::string text = "[STRINGS]\n";
  for (int i = 0; i <= 100; ++i) text += (i < 10 ? "STR_0" : "STR_") + std::to_string(i) + "=t" + std::to_string(i) + "\n";
  dir.Write("s.cfg", text);
  CStringTable table;
  ASSERT_EQ(table.Load("s.cfg"), 1);
  EXPECT_EQ(table.Count(), 101);
  EXPECT_STREQ(table.Get(100), "t100");
}

TEST(StringTable, AllocatedSlotsAreFilledByTheirOwner) {
  CStringTable table;
  ASSERT_EQ(table.Allocate(3), 1);
  EXPECT_EQ(table.Count(), 3);
  EXPECT_STREQ(table.Get(2), "");
  std::strcpy(table.GetSlot(1), "tooltip");
  EXPECT_STREQ(table.Get(1), "tooltip");
  EXPECT_EQ(table.GetSlot(3), nullptr);
  EXPECT_EQ(table.Get(1) - table.Get(0), 256);
}
