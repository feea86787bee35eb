#include <gtest/gtest.h>

#include <cstring>

#include "core/CfgReader.h"
#include "support/TestSupport.h"

using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

class CfgReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("cfg/map.cfg",
               "[Region1]\n"
               "Name=Moorland\n"
               "Size=(10, 20 30)\n"
               "Offsets=[1=a;-2]{3.5}\n"
               "Count=12 apples\n");
    reader_.SetFile("cfg\\map.cfg");
    reader_.SetSection("Region1");
  }
  TempDir dir_{true};
  CCfgReader reader_;
  BoxRecorder boxes_;
};

TEST_F(CfgReaderTest, RelativeFileJoinsTheCurrentDirectory) {
  EXPECT_EQ(std::string(reader_.filePath), dir_.Path() + "\\cfg\\map.cfg");
  CCfgReader leading;
  leading.SetFile("\\cfg\\map.cfg");
  EXPECT_STREQ(leading.filePath, reader_.filePath);
  CCfgReader drive;
  drive.SetFile("D:\\game\\map.cfg");
  EXPECT_STREQ(drive.filePath, "D:\\game\\map.cfg");
}

TEST_F(CfgReaderTest, StringsAndIntegers) {
  char text[64];
  reader_.SetKey("Name");
  reader_.GetString(text, sizeof text);
  EXPECT_STREQ(text, "Moorland");
  int value = -1;
  reader_.SetKey("Count");
  EXPECT_EQ(reader_.GetInt(&value), 1);
  EXPECT_EQ(value, 12);
  reader_.SetKey("Nothing");
  EXPECT_EQ(reader_.GetInt(&value), 1);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(boxes_.Count(), 0u);  // GetInt never complains
}

TEST_F(CfgReaderTest, MissingStringShowsTheBoxAndLeavesTheSentinel) {
  char text[64];
  reader_.SetKey("Nothing");
  reader_.GetString(text, sizeof text);
  EXPECT_STREQ(text, "Check agains me.");
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "CfgRead Error");
  EXPECT_EQ(boxes_.Boxes()[0].text, "Could not find Key: Nothing in config file: " + std::string(reader_.filePath));
}

TEST_F(CfgReaderTest, ListsStepThroughTheirItems) {
  int value = -1;
  reader_.SetKey("Size");
  std::vector<int> items;
  while (reader_.NextInt(&value)) items.push_back(value);
  EXPECT_EQ(items, (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(value, 0);
  EXPECT_EQ(reader_.NextInt(&value), 0);  // stays at the end

  std::strcpy(reader_.delimiters, "()[]{},;_");
  reader_.SetKey("Offsets");
  double real = 0;
  ASSERT_EQ(reader_.NextDouble(&real), 1);
  EXPECT_EQ(real, 1.0);  // cut at '='
  ASSERT_EQ(reader_.NextDouble(&real), 1);
  EXPECT_EQ(real, -2.0);
  ASSERT_EQ(reader_.NextDouble(&real), 1);
  EXPECT_EQ(real, 3.5);
  EXPECT_EQ(reader_.NextDouble(&real), 0);
}

TEST_F(CfgReaderTest, MissingListShowsOneBoxThenTheSentinelWords) {
  reader_.SetKey("Nothing");
  int value = -1, items = 0;
  while (reader_.NextInt(&value)) {
    EXPECT_EQ(value, 0);
    ++items;
  }
  EXPECT_EQ(items, 3);  // "Check", "agains", "me."
  EXPECT_EQ(boxes_.Count(), 1u);
}

TEST_F(CfgReaderTest, TwoReadersKeepTheirOwnListPositions) {
  CCfgReader other;
  other.SetFile("cfg\\map.cfg");
  other.SetSection("Region1");
  other.SetKey("Size");
  reader_.SetKey("Size");
  int a = 0, b = 0;
  reader_.NextInt(&a);
  other.NextInt(&b);
  EXPECT_EQ(a, 10);
  EXPECT_EQ(b, 10);
  reader_.NextInt(&a);
  EXPECT_EQ(a, 20);
  other.NextInt(&b);
  EXPECT_EQ(b, 20);
}

TEST_F(CfgReaderTest, LongNamesAreCutNeverOverflow) {
  std::string longName(600, 'k');
  reader_.SetKey(longName.c_str());
  EXPECT_EQ(std::strlen(reader_.key), 255u);
  char text[64];
  reader_.GetString(text, sizeof text);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text.size(), 255u);
}

}  // namespace
