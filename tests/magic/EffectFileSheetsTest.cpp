// One contact sheet per effect file, for a person to judge its art: a row for each entry of
// cfg\effectani.cfg that plays from the file (one for entries that play alike), its first
// sequence as it plays (up to twelve pictures), printed the way the entry prints, over a map
// cell's outline for scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "MagicTestSupport.h"
#include "graphics/Animation.h"
#include "graphics/PrintTarget.h"
#include "graphics/TypePrinters.h"
#include "support/ContactSheet.h"
#include "support/Png.h"

namespace magic_test {
namespace {

class EffectFileSheets : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    ASSERT_TRUE(LoadForgedEffectTables());
  }
};

TEST_F(EffectFileSheets, OneSheetPerEffectFile) {
  constexpr int kColumns = 12, kCellWidth = 80, kCellHeight = 88, kAnchor = 62;
  for (int file = 0; file < g_numEffectFiles; ++file) {
    SCOPED_TRACE(file);
    // Entries that play the same sequence the same way share a row.
    std::vector<int> entries;
    std::set<std::pair<int, int>> played;
    for (int n = 0; n < manager.AniEntryCount(); ++n) {
      const EffectAniEntry* e = manager.AniEntry(n);
      if (e && e->file == file && manager.AniEntryAnimation(n) && played.insert({e->animation, e->printType}).second)
        entries.push_back(n);
    }
    ASSERT_FALSE(entries.empty());
    testing_support::ContactSheet sheet(kColumns, static_cast<int>(entries.size()), kCellWidth, kCellHeight, kAnchor);
    SetSpriteTarget(sheet.Pixels(), sheet.Width(), sheet.Height());
    std::set<int> framesShown;
    for (size_t row = 0; row < entries.size(); ++row) {
      const EffectAniEntry& entry = *manager.AniEntry(entries[row]);
      CAnimation* animation = manager.AniEntryAnimation(entries[row]);
      CAnimPlayer player;
      player.SetAnimation(animation);
      ASSERT_TRUE(player.Start(entry.animation, 0)) << "entry " << entries[row];
      int column = 0, lastStep = -1;
      for (int tick = 0; tick < 240 && column < kColumns && player.playing; ++tick) {
        if (player.frameStep >= 0 && player.frameStep != lastStep) {
          lastStep = player.frameStep;
          const AnimStep& step = animation->Step(player.frameStep);
          const testing_support::SheetPoint at = sheet.Anchor(column, static_cast<int>(row));
          const int left = column * kCellWidth, top = static_cast<int>(row) * kCellHeight;
          SetSpriteClipRect(top, left, left + kCellWidth, top + kCellHeight);
          PrintSpriteOfType(entry.printType, animation->Sprite()->GetFrame(step.value), at.x + step.x, at.y + step.y, 0,
                            0);
          framesShown.insert(step.value);
          ++column;
        }
        player.Advance();
      }
      EXPECT_GE(column, 1) << "entry " << entries[row];
    }
    SetSpriteTarget(nullptr, 0, 0);
    const std::string name = "effects_file" + std::to_string(file) + ".png";
    EXPECT_TRUE(sheet.Write(name));
    std::string rows;
    for (int n : entries) rows += " " + std::to_string(n);
    std::printf("effect file %d: %zu of its %d frames shown: %s/%s; rows show the entries%s\n", file,
                framesShown.size(), g_effectSprites[file].FrameCount(), testing_support::TestOutputDir().c_str(),
                name.c_str(), rows.c_str());
  }
}

}  // namespace
}  // namespace magic_test
