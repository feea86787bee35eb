// Number lists of configuration values, as every layout and cursor reader splits them.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Text.h"

TEST(NumberList, ItemsAreCutAtEqualsAndKeepTheirPlaces) {
  struct Case {
    const char* text;
    std::vector<int> numbers;
  };
  const Case cases[] = {
      {"10,20,30,40", {10, 20, 30, 40}},
      {"12=junk,30=x", {12, 30}},
      {"5,,7", {5, 0, 7}},
      {"-3, 4", {-3, 4}},
      {"", {0}},
      {"abc,9,", {0, 9, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::NumberList(c.text), c.numbers) << c.text;
}
