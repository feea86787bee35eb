#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Globals.h"
#include "core/Preferences.h"
#include "core/Random.h"

namespace {

std::vector<std::string> g_log;

TEST(GlobalObjects, AreBuiltInTheirOrderAndDestroyedInReverse) {
  g_log.clear();
  // Filled out of order on purpose: the order is the table's, not the filling's.
  SetGlobalObject(
      kGlobalFrontEndRoot, "root", [] { g_log.push_back("+root"); }, [] { g_log.push_back("-root"); });
  SetGlobalObject(
      kGlobalPrimarySurface, "primary", [] { g_log.push_back("+primary"); }, [] { g_log.push_back("-primary"); });
  SetGlobalObject(
      kGlobalBackBuffer, "back", [] { g_log.push_back("+back"); }, [] { g_log.push_back("-back"); });
  g_prefs.isHighRes = 1;
  g_random.Next();
  g_viewRandom.Next();
  ConstructGlobalObjects(false);
  EXPECT_EQ(g_prefs.isHighRes, 0);  // the preferences come first, with their defaults
  EXPECT_EQ(g_random.Next(), CRandom().Next());
  EXPECT_EQ(g_viewRandom.Next(), CRandom().Next());
  EXPECT_EQ(g_log, (std::vector<std::string>{"+primary", "+back", "+root"}));
  EXPECT_EQ(ConstructedGlobalObjectCount(), 6);  // with the core's preferences, generators, realm
  g_log.clear();
  DestroyGlobalObjects();
  // The surfaces go after every screen that could still use them.
  EXPECT_EQ(g_log, (std::vector<std::string>{"-root", "-back", "-primary"}));
  EXPECT_EQ(ConstructedGlobalObjectCount(), 0);
  for (int order : {kGlobalFrontEndRoot, kGlobalPrimarySurface, kGlobalBackBuffer})
    SetGlobalObject(order, nullptr, nullptr, nullptr);
}

}  // namespace
