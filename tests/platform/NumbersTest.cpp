// Numbers read from text: atoi's and atof's reading, never past what an int or a finite
// double holds.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "platform/Numbers.h"

TEST(Numbers, IntegersReadAsAtoiButStopAtTheEndsOfTheRange) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"42", 42},
      {"  -17xyz", -17},
      {"+8", 8},
      {"", 0},
      {"abc", 0},
      {"1e10", 1},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"99999999999999999999999", INT_MAX},
      {"-99999999999999999999999", INT_MIN},
      {"nan", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::TextToInt(c.text), c.value) << c.text;
}

TEST(Numbers, RealsThatAreNotFiniteReadAsZero) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"1.5", 1.5}, {" -2e3 ", -2000.0}, {"1e10", 1e10}, {"x", 0.0},     {"", 0.0},
      {"nan", 0.0}, {"-NAN", 0.0},       {"inf", 0.0},   {"1e999", 0.0}, {"-infinity", 0.0},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::TextToReal(c.text), c.value) << c.text;
}

TEST(Numbers, RealsBecomeIntsWithinTheirRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(platform::RealToInt(2.9), 2);
  EXPECT_EQ(platform::RealToInt(-2.9), -2);
  EXPECT_EQ(platform::RealToInt(1e10), INT_MAX);
  EXPECT_EQ(platform::RealToInt(-1e10), INT_MIN);
  EXPECT_EQ(platform::RealToInt(nan), INT_MIN);
  EXPECT_EQ(platform::RealToInt(nan, 3, 9), 3);
  EXPECT_EQ(platform::RealToInt(1e300, 3, 9), 9);
  EXPECT_EQ(platform::SaturatingAdd(INT_MAX, 4), INT_MAX);
  EXPECT_EQ(platform::SaturatingMultiply(INT_MAX / 2 + 1, 2), INT_MAX);
  EXPECT_EQ(platform::SaturatingMultiply(INT_MIN, 2), INT_MIN);
}
