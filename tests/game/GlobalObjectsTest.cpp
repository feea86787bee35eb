// The program's global objects in their order: every place of the order is built first to
// last and destroyed last to first, so that the screens, panels and shared art are gone
// before the surfaces and the preferences go last; the exit list keeps that order.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/Globals.h"
#include "game/GlobalObjects.h"
#include "support/TestSupport.h"
#include "ui/FrontEndRoot.h"
#include "ui/SharedArt.h"

namespace {

std::vector<int> g_destroyed;
std::vector<std::string> g_names;
bool g_artLoadedAtSurfaces = false;

bool SharedArtLoaded() {
  return g_headingFont.IsLoaded() || g_bodyFont.IsLoaded() || g_smallFont.IsLoaded() || g_yellowFont.IsLoaded() ||
         g_buttonSprite.IsLoaded() || g_borderSprite.IsLoaded();
}

void Record(int order, const char* name) {
  g_destroyed.push_back(order);
  g_names.emplace_back(name ? name : "");
  if (order == 3 || order == 2) g_artLoadedAtSurfaces = g_artLoadedAtSurfaces || SharedArtLoaded();
}

std::vector<int> LastToFirst() {
  std::vector<int> orders;
  for (int order = kGlobalOrderCount - 1; order >= 1; --order) orders.push_back(order);
  return orders;
}

TEST(GlobalObjects, AreDestroyedLastFirstWithTheArtBeforeTheSurfacesAndThePreferencesLast) {
  testing_support::ForgedDataCopy data;
  FillGlobalObjects();
  ConstructGlobalObjects(false);
  EXPECT_EQ(ConstructedGlobalObjectCount(), kGlobalOrderCount - 1);  // every place, built or not yet
  EXPECT_EQ(g_headingFont.spacing, 1);
  ASSERT_NE(g_frontEndRoot, nullptr);
  EXPECT_NE(g_mainMenuScreen, nullptr);
  // The root's share: the fonts and the sprites every screen uses.
  LoadSharedFontsAndButtons();
  ASSERT_TRUE(SharedArtLoaded());

  g_destroyed.clear();
  g_names.clear();
  g_artLoadedAtSurfaces = false;
  WatchGlobalObjectDestruction(Record);
  DestroyGlobalObjects();
  WatchGlobalObjectDestruction(nullptr);

  EXPECT_EQ(g_destroyed, LastToFirst());
  ASSERT_EQ(g_names.size(), 72u);
  EXPECT_EQ(g_names.front(), "blit benchmark");
  EXPECT_EQ(g_names[72 - 39], "main menu");
  EXPECT_EQ(g_names[72 - 37], "front-end root");
  EXPECT_EQ(g_names[72 - 25], "shared fonts");
  EXPECT_EQ(g_names[72 - 24], "shared sprites");
  EXPECT_EQ(g_names[72 - 3], "back buffer");
  EXPECT_EQ(g_names[72 - 2], "primary surface");
  EXPECT_EQ(g_names.back(), "preferences");
  EXPECT_FALSE(g_artLoadedAtSurfaces);
  EXPECT_FALSE(SharedArtLoaded());
  EXPECT_EQ(g_frontEndRoot, nullptr);
  EXPECT_EQ(g_mainMenuScreen, nullptr);
}

// The program builds its objects with their ends on the exit list: a plain exit (a fatal box
// takes the same way) destroys them in the same order.
TEST(GlobalObjects, TheExitListDestroysThemInTheProgramsOrder) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeEnds[0]);
    static int out = pipeEnds[1];
    FillGlobalObjects();
    ConstructGlobalObjects(true);
    WatchGlobalObjectDestruction([](int order, const char*) {
      const unsigned char byte = static_cast<unsigned char>(order);
      if (write(out, &byte, 1) != 1) _exit(3);
    });
    std::exit(0);
  }
  close(pipeEnds[1]);
  std::vector<int> destroyed;
  unsigned char byte = 0;
  while (read(pipeEnds[0], &byte, 1) == 1) destroyed.push_back(byte);
  close(pipeEnds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(destroyed, LastToFirst());
}

}  // namespace
