// The draw list: depth keys, the sort, the capacity, the occlusion pass and printing.
#include <algorithm>
#include <memory>

#include "MapViewFixtures.h"
#include "core/Random.h"
#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "graphics/PrintTarget.h"

namespace map_test {
namespace {

// A sprite of five frames: 0 empty, 1 a small 8 x 8 square, 2 a 64 x 64 square, 3 a flat
// 200 x 10 bar whose mask reaches far above its corner's row, 4 a frame too wide for a mask.
std::unique_ptr<CSprite> SquaresSprite() {
  forge::PaletteBuilder palette;
  const int grey = palette.AddRamp(128, 128, 128, 16);
  forge::SpriteFileWriter file;
  file.AddPalette(palette.Bytes());
  file.AddFrame(forge::EncodeFrame(forge::Canvas(0, 0), 0, 0, 0));
  forge::Canvas small(8, 8), big(64, 64), bar(200, 10), wide(300, 2);
  small.Fill(grey + 3);
  big.Fill(grey + 9);
  bar.Fill(grey + 6);
  wide.Fill(grey + 12);
  file.AddFrame(forge::EncodeFrame(small, 4, 4, 0));
  file.AddFrame(forge::EncodeFrame(big, 32, 32, 0));
  file.AddFrame(forge::EncodeFrame(bar, 0, 0, 0));
  file.AddFrame(forge::EncodeFrame(wide, 0, 0, 0));
  auto sprite = std::make_unique<CSprite>();
  EXPECT_TRUE(sprite->LoadImage(file.Bytes(), 16, "squares"));
  return sprite;
}

// The sort as the list first had it, moving whole entries: the list's own sort must give
// the very same order, equal keys included, since sprites of equal keys overlap.
void ReferenceSort(DrawListEntry* e, int count) {
  struct Range {
    int first, last;
  };
  Range stack[30];
  int depth = 0;
  int first = 0, last = count - 1;
  for (;;) {
    while (last > first) {
      std::swap(e[first], e[first + (last - first) / 2]);
      const int32_t pivot = e[first].key;
      int i = first + 1, j = last;
      for (;;) {
        while (i <= last && e[i].key <= pivot) ++i;
        while (j > first && e[j].key >= pivot) --j;
        if (i >= j) break;
        std::swap(e[i], e[j]);
      }
      std::swap(e[first], e[j]);
      Range larger{j + 1, last}, smaller{first, j - 1};
      if (j - first > last - j) std::swap(larger, smaller);
      if (larger.last > larger.first) stack[depth++] = larger;
      first = smaller.first;
      last = smaller.last;
    }
    if (depth == 0) break;
    --depth;
    first = stack[depth].first;
    last = stack[depth].last;
  }
}

// The coverage test read and written bit by bit, as a check on the list's word-wide one.
struct ReferenceCoverage {
  std::vector<uint8_t> bits = std::vector<uint8_t>(CDrawList::kCoverageBytes, 0);
  bool Get(int row, int bit) const {
    if (bit >= CDrawList::kCoverageBits) return false;
    return bits[static_cast<size_t>(row * CDrawList::kCoverageRowBytes + bit / 8)] & (0x80 >> (bit % 8));
  }
  void Set(int row, int bit) {
    if (bit / 8 >= CDrawList::kCoverageRowBytes) return;
    bits[static_cast<size_t>(row * CDrawList::kCoverageRowBytes + bit / 8)] |= static_cast<uint8_t>(0x80 >> (bit % 8));
  }
  int Test(const OcclusionMask& mask, CSpriteFrame frame, int screenX, int screenY, int printType) {
    const int x = screenX - frame.HotspotX(), y = screenY - frame.HotspotY();
    if (x < -32 || x >= 800 + 32 || y < -32 || y >= 600 + 32) return 0;
    const int u = (x + 2 * y + 8 * 24) / 8, v = (2 * y + 800 - x + 7 + 8 * 24) / 8;
    int covered = 1;
    for (size_t j = 0; j < mask.outline.size(); ++j) {
      const int row = v + mask.rowOffset + static_cast<int>(j);
      for (int b = 0; b < 32; ++b) {
        if (!(mask.outline[j] & (0x80000000u >> b))) continue;
        if (row < 0 || row >= CDrawList::kCoverageRows || !Get(row, u + b)) covered = 0;
      }
    }
    if (printType == draw_types::kPlainShaded || printType == draw_types::kLitTerrain)
      for (size_t j = 0; j < mask.solid.size(); ++j) {
        const int row = v + mask.rowOffset + static_cast<int>(j);
        if (row < 0 || row >= CDrawList::kCoverageRows) continue;
        for (int b = 0; b < 32; ++b)
          if (mask.solid[j] & (0x80000000u >> b)) Set(row, u + b);
      }
    return covered;
  }
};

class DrawListTest : public MapTest {
 protected:
  void SetUp() override {
    MakeMap(48, 44, 8);
    BuildDepthTables(256);
    list = std::make_unique<CDrawList>();
  }
  int Add(int key, int payload = 0, int printType = PRT_NORMAL) {
    DrawRequest request;
    request.x = key;  // rotation 0, z 0: the key is x + y
    request.screenX = payload;
    request.printType = printType;
    return list->Add(request);
  }
  std::unique_ptr<CDrawList> list;
};

TEST_F(DrawListTest, AFullListRefusesAndSaysSo) {
  for (int i = 0; i < CDrawList::kCapacity; ++i) ASSERT_EQ(Add(i, i), i);
  EXPECT_TRUE(list->IsFull());
  EXPECT_EQ(Add(-5, 777), -1);
  EXPECT_EQ(list->Count(), CDrawList::kCapacity);
  EXPECT_EQ(list->Entry(CDrawList::kCapacity - 1).screenX, CDrawList::kCapacity - 1);
  EXPECT_EQ(list->addCalls, CDrawList::kCapacity + 1);  // refused calls still count
  list->Reset();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(Add(1), 0);
}

TEST_F(DrawListTest, KeysFollowTheViewRotationAndHeight) {
  struct Case {
    int rotation;
    int x1, y1, z1, x2, y2, z2;
    bool firstDrawnFirst;
  };
  const Case cases[] = {
      {0, 100, 100, 0, 100, 100, 16, true},     // same x + y: the higher one later
      {0, 90, 100, 0, 100, 100, 0, true},       // larger x + y nearer in the first view
      {2, 90, 100, 0, 100, 100, 0, false},      // and farther in the opposite view
      {1, 100, 90, 0, 100, 100, 0, true},       // rotation 1 keys y - x
      {3, 90, 100, 0, 100, 100, 0, true},       // rotation 3 keys x - y
      {0, 100, 100, 600, 100, 100, 610, true},  // heights past the table
  };
  for (const Case& c : cases) {
    list->Reset();
    list->rotation = c.rotation;
    DrawRequest a, b;
    a.x = c.x1, a.y = c.y1, a.z = c.z1;
    b.x = c.x2, b.y = c.y2, b.z = c.z2;
    const int ia = list->Add(a), ib = list->Add(b);
    EXPECT_EQ(list->Entry(ia).key < list->Entry(ib).key, c.firstDrawnFirst) << "rotation " << c.rotation;
  }
  EXPECT_EQ(HeightDepth(100), 82);
  EXPECT_EQ(HeightDepth(1000), 820);
}

TEST_F(DrawListTest, ShadesSnapToTheShadeStepButBlackStaysBlack) {
  BuildDepthTables(32);  // a step of 8
  ASSERT_EQ(g_shadeStep, 8);
  for (auto [given, stored] :
       std::vector<std::pair<int, int>>{{-127, -127}, {-126, -120}, {13, 8}, {-7, 0}, {127, 120}}) {
    list->Reset();
    DrawRequest request;
    request.shade = given;
    EXPECT_EQ(list->Entry(list->Add(request)).shade, stored) << given;
  }
}

TEST_F(DrawListTest, SortOrdersShuffledKeysAndKeepsEveryEntry) {
  CRandom random(99);
  for (int n : {0, 1, 2, 3, 17, 1000, CDrawList::kCapacity}) {
    list->Reset();
    std::vector<std::pair<int, int>> expected;
    for (int i = 0; i < n; ++i) {
      // Keys from a small range, so that many are equal, and some negative.
      const int key = static_cast<int>(random.Next() % 700) - 200;
      Add(key, i);
      expected.emplace_back(key, i);
    }
    list->Sort();
    std::vector<std::pair<int, int>> sorted;
    for (int i = 0; i < list->Count(); ++i) {
      sorted.emplace_back(list->Entry(i).key, list->Entry(i).screenX);
      if (i > 0) ASSERT_LE(list->Entry(i - 1).key, list->Entry(i).key) << n;
    }
    std::sort(expected.begin(), expected.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected) << n;
  }
}

TEST_F(DrawListTest, OcclusionMasksOutlineEverythingAndCallSolidOnlyTheInside) {
  auto sprite = SquaresSprite();
  OcclusionMask mask;
  EXPECT_FALSE(BuildOcclusionMask(sprite->GetFrame(0), mask));  // empty
  EXPECT_FALSE(BuildOcclusionMask(sprite->GetFrame(4), mask));  // wider than a row
  ASSERT_TRUE(BuildOcclusionMask(sprite->GetFrame(2), mask));
  int solidBits = 0;
  for (size_t j = 0; j < mask.solid.size(); ++j) {
    EXPECT_EQ(mask.solid[j] & ~mask.outline[j], 0u) << j;
    solidBits += __builtin_popcount(mask.solid[j]);
  }
  EXPECT_GT(solidBits, 10);
  ASSERT_TRUE(BuildOcclusionMask(sprite->GetFrame(1), mask));
  for (uint32_t row : mask.solid) EXPECT_EQ(row, 0u);  // too small to cover a whole bit anywhere
}

// A small sprite hidden behind a big one is hidden and remembered in its cell; moved into
// the open it is shown again and the mark is cleared.
TEST_F(DrawListTest, TheOcclusionPassHidesCoveredTerrainAndMarksItsCell) {
  auto sprite = SquaresSprite();
  std::vector<CTerrainType> types = ForgedTypes();
  types[5].blockFrame[0] = 1;  // the small square is the block of type 5
  UseTypes(types);
  list->SetOcclusionFrames(sprite.get());
  CMapCell& cell = Cell(3, 3, 0);
  cell.terrain = 5;

  auto run = [&](int smallX) {
    list->Reset();
    list->ClearCoverage();
    DrawRequest back;
    back.frame = sprite->GetFrame(1);
    back.screenX = smallX;
    back.screenY = 300;
    back.printType = draw_types::kLitTerrain;
    back.cell = &cell;
    DrawRequest front = back;
    front.frame = sprite->GetFrame(2);
    front.screenX = 400;
    front.x = 50;  // nearer
    front.cell = nullptr;
    DrawRequest farthest = back;  // the list's first entry is never tested
    farthest.x = -100;
    farthest.cell = nullptr;
    list->Add(farthest);
    list->Add(back);
    list->Add(front);
    list->Sort();
    list->Occlude(sprite.get());
    return list->Entry(1).printType;
  };
  EXPECT_EQ(run(400), draw_types::kHidden);
  EXPECT_TRUE(cell.state & 0x0040);
  EXPECT_EQ(run(600), draw_types::kLitTerrain);
  EXPECT_FALSE(cell.state & 0x0040);
}

TEST_F(DrawListTest, OnlyEntriesFullyInsideTheCoverageAreaAreEverHidden) {
  auto sprite = SquaresSprite();
  list->SetOcclusionFrames(sprite.get());
  // Cover the whole area with big squares.
  for (int y = -32; y < 664; y += 16)
    for (int x = -32; x < 864; x += 16) list->TestCoverage(sprite->GetFrame(2), x, y, draw_types::kLitTerrain);
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(1), 400, 300, draw_types::kLitTerrain), 1);
  // A corner left of -32, or a frame without a mask, or a shadow, is never hidden.
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(1), -29, 300, draw_types::kLitTerrain), 0);
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(4), 400, 300, draw_types::kLitTerrain), 0);
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(1), 400, 300, PRT_SHADOW), 0);
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(2), 860, 650, draw_types::kLitTerrain), 0);
  // Inside the area the bar is covered; at the top right corner its mask rows start above
  // the bitmap's first row: they are not read or written, and it stays visible.
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(3), 300, 300, draw_types::kLitTerrain), 1);
  list->ClearCoverage();
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(3), 831, -32, draw_types::kLitTerrain), 0);
  EXPECT_EQ(list->TestCoverage(sprite->GetFrame(3), 831, -32, draw_types::kLitTerrain), 0);

  // The first (farthest) entry of the list is never tested.
  list->Reset();
  DrawRequest only;
  only.frame = sprite->GetFrame(1);
  only.screenX = 400;
  only.screenY = 300;
  only.printType = draw_types::kLitTerrain;
  list->Add(only);
  list->Occlude(sprite.get());
  EXPECT_EQ(list->Entry(0).printType, draw_types::kLitTerrain);
}

TEST_F(DrawListTest, DrawPrintsInListOrderAndSkipsHiddenEntries) {
  auto sprite = SquaresSprite();
  std::vector<uint16_t> pixels(100 * 100, 0);
  SetSpriteTarget(pixels.data(), 100, 100);
  SetSpriteClipRect(0, 0, 100, 100);
  auto add = [&](int frame, int x, int printType, int shade) {
    DrawRequest request;
    request.frame = sprite->GetFrame(frame);
    request.screenX = x;
    request.screenY = 50;
    request.printType = printType;
    request.shade = shade;
    return list->Add(request);
  };
  add(2, 50, PRT_NORMAL, 0);
  add(1, 50, PRT_NORMAL, -127);  // a black square over the middle
  add(1, 20, draw_types::kHidden, 0);
  list->Draw();
  EXPECT_EQ(pixels[50 * 100 + 50], 0);                      // black on top
  EXPECT_NE(pixels[50 * 100 + 40], 0);                      // the big square around it
  EXPECT_EQ(pixels[50 * 100 + 20], pixels[50 * 100 + 40]);  // the hidden one printed nothing
  SetSpriteTarget(nullptr, 0, 0);
}

TEST_F(DrawListTest, SortGivesTheOrderOfTheFirstSortEqualKeysIncluded) {
  CRandom random(7);
  // Shuffled keys from ranges narrow and wide, sorted and reversed lists, and the keys of a
  // frame: rows of equal keys laid out in the walk's order.
  std::vector<std::vector<int>> lists;
  for (int n : {2, 3, 5, 17, 1000, CDrawList::kCapacity})
    for (int spread : {1, 3, 40, 100000}) {
      if (spread < 40 && n > 1000) continue;  // the first sort is slow on long runs of equal keys
      std::vector<int> keys;
      for (int i = 0; i < n; ++i) keys.push_back(static_cast<int>(random.Next() % spread) - spread / 3);
      lists.push_back(keys);
    }
  std::vector<int> rising(3000), frame;
  for (int i = 0; i < 3000; ++i) rising[static_cast<size_t>(i)] = i / 7;
  lists.push_back(rising);
  lists.push_back(std::vector<int>(rising.rbegin(), rising.rend()));
  for (int level = 0; level < 8; ++level)
    for (int row = 0; row < 40; ++row)
      for (int cell = 0; cell < 40 && frame.size() < CDrawList::kCapacity; ++cell) {
        frame.push_back(32 * (row + cell) + (82 * 16 * level) / 100);
        if (random.Next() % 4 == 0) frame.push_back(frame.back() + 6 + static_cast<int>(random.Next() % 5));
      }
  frame.resize(CDrawList::kCapacity);
  lists.push_back(frame);
  for (const std::vector<int>& keys : lists) {
    list->Reset();
    for (size_t i = 0; i < keys.size(); ++i) Add(keys[i], static_cast<int>(i));
    std::vector<DrawListEntry> expected(list->Entries(), list->Entries() + list->Count());
    ReferenceSort(expected.data(), list->Count());
    list->Sort();
    for (int i = 0; i < list->Count(); ++i)
      ASSERT_EQ(list->Entry(i).screenX, expected[static_cast<size_t>(i)].screenX)
          << "slot " << i << " of " << keys.size() << " keys";
  }
}

TEST_F(DrawListTest, CoverageTestsAndMarksBitsAsTheBitByBitTestDoes) {
  auto sprite = SquaresSprite();
  list->SetOcclusionFrames(sprite.get());
  ReferenceCoverage reference;
  CRandom random(5);
  int covered = 0;
  // Frames thrown over the whole area and past its edges, the opaque ones marking.
  for (int n = 0; n < 6000; ++n) {
    const int frame = 1 + static_cast<int>(random.Next() % 3);
    const int x = static_cast<int>(random.Next() % 960) - 80, y = static_cast<int>(random.Next() % 760) - 80;
    const int type = random.Next() % 3 == 0 ? PRT_NORMAL : draw_types::kLitTerrain;
    const int got = list->TestCoverage(sprite->GetFrame(frame), x, y, type);
    ASSERT_EQ(got, reference.Test(*list->MaskOf(sprite->GetFrame(frame)), sprite->GetFrame(frame), x, y, type))
        << "frame " << frame << " at " << x << ", " << y;
    covered += got;
  }
  EXPECT_GT(covered, 100);
  EXPECT_TRUE(std::equal(reference.bits.begin(), reference.bits.end(), list->Coverage()));
}

}  // namespace
}  // namespace map_test
