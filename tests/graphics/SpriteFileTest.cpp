#include <gtest/gtest.h>

#include <functional>

#include "PrintFixture.h"
#include "core/Bytes.h"
#include "graphics/Frame16.h"
#include "graphics/FrameCache.h"
#include "graphics/Sprite.h"
#include "graphics/SpritePrinter.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace print_test;
using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

std::string Forged(const std::string& name) { return testing_support::ForgedDataDir() + "/sprites/" + name; }

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> data;
  EXPECT_TRUE(platform::ReadWholeFile(path, data)) << path;
  return data;
}

// Two palettes, canvases of both, an empty frame, a long row and an alias.
struct SmallSpriteFile {
  SmallSpriteFile() {
    forge::PaletteBuilder a, b;
    a.AddRamp(200, 50, 50, 40);
    b.AddRamp(50, 200, 50, 40);
    writer.AddPalette(a.Bytes());
    writer.AddPalette(b.Bytes());
    canvases.push_back(Blob(13, 9));
    canvases.push_back(Blob(30, 21));
    canvases.push_back(forge::Canvas(0, 0));
    forge::Canvas longRow(400, 2);
    longRow.FillRect(0, 0, 300, 1, 7);
    longRow.FillRect(390, 1, 10, 1, 8);
    canvases.push_back(longRow);
    for (size_t i = 0; i < canvases.size(); ++i)
      writer.AddFrame(
          forge::EncodeFrame(canvases[i], static_cast<int>(i), 2 * static_cast<int>(i), static_cast<int>(i % 2)));
    writer.AddAlias(1);
    bytes = writer.Bytes();
  }
  forge::SpriteFileWriter writer;
  std::vector<forge::Canvas> canvases;
  std::vector<uint8_t> bytes;
};

TEST(SpriteFile, WrittenFramesLoadBackFrameForFrame) {
  SmallSpriteFile file;
  TempDir dir;
  dir.Write("small.spr", file.bytes);
  CSprite sprite;
  ASSERT_TRUE(sprite.Load(dir.File("small.spr").c_str(), 16));
  ASSERT_EQ(sprite.FrameCount(), 5);
  EXPECT_EQ(sprite.PaletteCount(), 2);
  for (int i = 0; i < 5; ++i) {
    const forge::Canvas& canvas = file.canvases[i == 4 ? 1 : static_cast<size_t>(i)];
    const int n = i == 4 ? 1 : i;
    CSpriteFrame frame = sprite.GetFrame(i);
    EXPECT_EQ(frame.Width(), canvas.Width());
    EXPECT_EQ(frame.Height(), canvas.Height());
    EXPECT_EQ(frame.HotspotX(), n);
    EXPECT_EQ(frame.HotspotY(), 2 * n);
    EXPECT_EQ(frame.tables, sprite.ColourTables(n % 2));
    if (canvas.Width() == 0) continue;
    // Printed through its palette's normal table, every pixel is that palette colour.
    const ShadeTableList* node = sprite.ColourTables(n % 2);
    Target target(420, 40), expected(420, 40);
    ReferencePrint(expected, canvas, 3, 4, [&](int v, uint16_t) { return node->Table(7)[v]; });
    SetSpriteTarget(target.pixels.data(), 420, 40);
    EXPECT_EQ(PrintSpriteFrame(frame, 3 + n, 4 + 2 * n, 0, 0), 0);
    EXPECT_EQ(target.pixels, expected.pixels) << i;
  }
  // Out-of-range frame numbers give frame 0.
  EXPECT_EQ(sprite.GetFrame(5).data, sprite.GetFrame(0).data);
  EXPECT_EQ(sprite.GetFrame(-1).data, sprite.GetFrame(0).data);
}

TEST(SpriteFile, ForgedSpritesLoad) {
  struct {
    const char* name;
    int frames, palettes;
  } files[] = {{"Buttons.spr", 20, 1}, {"border.spr", 9, 1}, {"testshapes.spr", 10, 2}, {"testshapes16.spr", 3, 0}};
  for (const auto& f : files) {
    CSprite sprite;
    ASSERT_TRUE(sprite.Load(Forged(f.name).c_str(), 2)) << f.name;
    EXPECT_EQ(sprite.FrameCount(), f.frames) << f.name;
    EXPECT_EQ(sprite.PaletteCount(), f.palettes) << f.name;
  }
  // The game's own path form finds them too.
  TempDir dir;
  CSprite sprite;
  EXPECT_TRUE(sprite.Load((testing_support::ForgedDataDir() + "\\SPRITES\\buttons.spr").c_str(), 16));
}

TEST(SpriteFile, SixteenBitFramesFollowTheDisplayFormat) {
  CSprite plain;
  ASSERT_TRUE(plain.Load(Forged("testshapes16.spr").c_str(), 0));
  CSpriteFrame white = plain.GetFrame(1);
  EXPECT_TRUE(white.Is16Bit());
  EXPECT_EQ(white.tables, nullptr);
  EXPECT_EQ(bytes::LoadU16(white.RowPixels(4)), 0xFFFF);

  g_is555 = 1;
  CSprite converted;
  const bool loaded = converted.Load(Forged("testshapes16.spr").c_str(), 0);
  g_is555 = 0;
  ASSERT_TRUE(loaded);
  EXPECT_EQ(bytes::LoadU16(converted.GetFrame(1).RowPixels(4)), 0x7FFF);
  const uint16_t before = bytes::LoadU16(plain.GetFrame(0).RowPixels(3) + 2);
  EXPECT_EQ(bytes::LoadU16(converted.GetFrame(0).RowPixels(3) + 2), ((before >> 1) & 0x7FE0) | (before & 0x1F));
}

TEST(SpriteFile, OtherVersionsShowTheirBoxAndLoadNothing) {
  std::vector<uint8_t> data = ReadFile(Forged("testshapes.spr"));
  bytes::StoreU32(data.data() + 8, 3);
  TempDir dir;
  dir.Write("v3.spr", data);
  BoxRecorder boxes;
  CSprite sprite;
  EXPECT_FALSE(sprite.Load(dir.File("v3.spr").c_str(), 16));
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "Incorrect Sprite Version");
  EXPECT_EQ(boxes.Boxes()[0].text, dir.File("v3.spr"));
  EXPECT_FALSE(sprite.IsLoaded());
}

// A mutation of a good file and whether the loader must still accept it.
struct Mutation {
  const char* name;
  std::function<void(std::vector<uint8_t>&)> apply;
};

// Offsets into testshapes.spr: header 24, two palettes, ten frame offsets.
constexpr size_t kTable = 24 + 2 * 768;
constexpr size_t kFrames = kTable + 40;
size_t FrameAt(const std::vector<uint8_t>& d, int n) { return kFrames + bytes::LoadU32(d.data() + kTable + 4 * n); }
void Put(std::vector<uint8_t>& d, size_t at, int32_t v) { bytes::StoreU32(d.data() + at, static_cast<uint32_t>(v)); }

TEST(SpriteFile, MalformedFilesAreRefusedWithoutABox) {
  const std::vector<uint8_t> good = ReadFile(Forged("testshapes.spr"));
  const Mutation mutations[] = {
      {"five palettes", [](auto& d) { Put(d, 16, 5); }},
      {"negative palettes", [](auto& d) { Put(d, 16, -1); }},
      {"frame count past the end", [](auto& d) { Put(d, 12, 100000); }},
      {"negative frame count", [](auto& d) { Put(d, 12, -3); }},
      {"frame offset past the end", [](auto& d) { Put(d, kTable + 8, 1 << 20); }},
      {"negative frame offset", [](auto& d) { Put(d, kTable + 8, -40); }},
      {"width one more", [](auto& d) { Put(d, FrameAt(d, 2) + 4, LoadI32(d.data() + FrameAt(d, 2) + 4) + 1); }},
      {"width one less", [](auto& d) { Put(d, FrameAt(d, 0) + 4, 15); }},
      {"height past the rows", [](auto& d) { Put(d, FrameAt(d, 1) + 8, 5000); }},
      {"negative width", [](auto& d) { Put(d, FrameAt(d, 1) + 4, -24); }},
      {"palette index 2", [](auto& d) { Put(d, FrameAt(d, 3) + 28, 2); }},
      {"16-bit frame among palettes", [](auto& d) { Put(d, FrameAt(d, 3) + 28, -1); }},
      {"end past the file", [](auto& d) { Put(d, FrameAt(d, 1) + 32, 1 << 24); }},
      {"end before the pixels", [](auto& d) { Put(d, FrameAt(d, 1) + 32, 50); }},
      {"row controls in the header", [](auto& d) { Put(d, FrameAt(d, 1) + 40 + 8 * 3, 8); }},
      {"row pixels past the end", [](auto& d) { Put(d, FrameAt(d, 1) + 44 + 8 * 5, 1 << 16); }},
      {"row pixels before the block", [](auto& d) { Put(d, FrameAt(d, 1) + 44 + 8 * 5, 2); }},
      {"next part outside", [](auto& d) { Put(d, FrameAt(d, 0), 1 << 30); }},
      {"next part backwards past the frames", [](auto& d) { Put(d, FrameAt(d, 0), -5000); }},
      {"huge hotspot", [](auto& d) { Put(d, FrameAt(d, 0) + 12, 0x7FFFFFFF); }},
      {"a count byte raised", [](auto& d) { d[FrameAt(d, 0) + 40 + 8 * 16 + 1] += 1; }},
  };
  TempDir dir;
  BoxRecorder boxes;
  for (const Mutation& m : mutations) {
    std::vector<uint8_t> data = good;
    m.apply(data);
    dir.Write("bad.spr", data);
    CSprite sprite;
    EXPECT_FALSE(sprite.Load(dir.File("bad.spr").c_str(), 16)) << m.name;
    EXPECT_FALSE(sprite.IsLoaded()) << m.name;
  }
  for (size_t length = 0; length < good.size(); length += length < 64 ? 1 : 37) {
    dir.Write("cut.spr", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length)));
    CSprite sprite;
    EXPECT_FALSE(sprite.Load(dir.File("cut.spr").c_str(), 16)) << length;
  }
  EXPECT_EQ(boxes.Count(), 0u);
  CSprite sprite;
  EXPECT_FALSE(sprite.Load(dir.File("missing.spr").c_str(), 16));
  EXPECT_FALSE(sprite.Load(Forged("testshapes.spr").c_str(), 0));  // palettes need shade levels
  EXPECT_TRUE(sprite.Load(Forged("testshapes.spr").c_str(), 2));
}

TEST(SpriteFile, TablesOfEveryTypeAndTheLightingRebuild) {
  CSprite sprite;
  ASSERT_TRUE(sprite.Load(Forged("testshapes.spr").c_str(), 16));
  for (int type : {1, 8, 9}) ASSERT_TRUE(sprite.BuildColourTables(type, 16));
  EXPECT_TRUE(sprite.BuildColourTables(42, 16));  // not a table type: nothing
  for (int p = 0; p < 2; ++p) {
    int nodes = 0;
    for (const ShadeTableList* n = sprite.ColourTables(p); n; n = n->next) ++nodes;
    EXPECT_EQ(nodes, 4);
  }
  EXPECT_FALSE(sprite.BuildColourTables(2, 12));
  ASSERT_TRUE(sprite.BuildLightingTables(1, 16, 0.5, 0.0, 0.0));
  const ShadeTableList* second = sprite.ColourTables(0)->next;
  EXPECT_FALSE(second->wide);
  EXPECT_TRUE(second->next->next->wide);
  EXPECT_TRUE(sprite.BuildLightingTables(0, 16, 9, 9, 9));  // only kind 1 does anything
}

TEST(FrameCache, SlotsAreTakenOnceAndNeverOverflow) {
  CSprite sprite;
  ASSERT_TRUE(sprite.Load(Forged("testshapes.spr").c_str(), 16));
  CFrameCache cache;
  ASSERT_TRUE(cache.Create(2000, 2));
  const CSpriteFrame ball = sprite.GetFrame(1), ring = sprite.GetFrame(2), wide = sprite.GetFrame(4);
  ASSERT_LE(ShadedFrameSize(ball), 2000u);
  uint8_t* first = cache.Acquire({11, ball, 0, 0});
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(cache.Acquire({11, ball, 0, 0}), first);
  EXPECT_EQ(cache.Slots()[0].useCount, 2);
  EXPECT_EQ(cache.Find(11), first);
  EXPECT_EQ(cache.Find(0), nullptr);  // unused slots hold nothing

  // A frame larger than a slot is left to be printed uncached.
  ASSERT_GT(ShadedFrameSize(wide), 2000u);
  EXPECT_EQ(cache.Acquire({12, wide, 0, 0}), nullptr);
  EXPECT_EQ(cache.Slots()[1].useCount, 0);

  EXPECT_NE(cache.Acquire({13, ring, -40, 0}), nullptr);
  EXPECT_EQ(cache.Acquire({14, ball, 0, 0}), nullptr);  // every slot in use

  // The copy prints like the frame through its table.
  Target a(40, 40), b(40, 40);
  SetSpriteTarget(a.pixels.data(), 40, 40);
  PrintSpriteFrameC(ring, 20, 20, -40, 0);
  SetSpriteTarget(b.pixels.data(), 40, 40);
  PrintFrame16(CSpriteFrame{cache.Find(13), nullptr}, 20, 20);
  EXPECT_EQ(a.pixels, b.pixels);

  cache.Free();
  EXPECT_EQ(cache.SlotCount(), 0);
  EXPECT_EQ(cache.Find(11), nullptr);
  EXPECT_FALSE(cache.Create(0, 5));
}

}  // namespace
