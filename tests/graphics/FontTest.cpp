#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GraphicsFixtures.h"
#include "core/Bytes.h"
#include "forge/FontWriter.h"
#include "graphics/ColourTables.h"
#include "graphics/Font.h"
#include "graphics/PrintTarget.h"
#include "support/Png.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

// A font of boxes: every glyph 4 wide and 8 high standing on the baseline (8 rows below
// the line's top; line height 10, two bands of 5 rows), except:
//   'a' 6 wide; 'I' 3 wide; 'r' 6 wide in its upper rows and 2 in its lower rows;
//   '.' 2 wide in the lowest 2 rows only.
forge::FontSpec BoxFontSpec(int layout = 3, bool palette = false) {
  forge::FontSpec spec;
  spec.layout = layout;
  spec.bands = 2;
  spec.topOffset = 8;
  spec.secondMetric = 2;
  spec.hasPalette = palette;
  if (palette) {
    spec.palette[0] = 200;
    spec.palette[1] = 100;
    spec.palette[2] = 50;
  }
  for (int code = 33; code < 128; ++code) {
    forge::FontGlyph glyph;
    glyph.hotspotY = 8;
    const int width = code == 'a' ? 6 : code == 'I' ? 3 : code == 'r' ? 6 : code == '.' ? 2 : 4;
    glyph.canvas = forge::Canvas(width, 8);
    if (code == '.') {
      glyph.canvas.FillRect(0, 6, 2, 2, 63);
    } else if (code == 'r') {
      glyph.canvas.FillRect(0, 0, 6, 5, 63);
      glyph.canvas.FillRect(0, 5, 2, 3, 63);
    } else {
      glyph.canvas.Fill(63);
    }
    spec.glyphs.push_back(std::move(glyph));
  }
  return spec;
}

struct BoxFont {
  explicit BoxFont(int layout = 3, bool palette = false, int levels = 0) {
    dir.Write("box.sft", forge::WriteFont(BoxFontSpec(layout, palette)));
    loaded = font.Load(dir.File("box.sft").c_str(), levels);
  }
  TempDir dir;
  CFont font;
  bool loaded = false;
};

const TextRect kWide{0, 0, 400, 300};

TEST(Font, CharacterAdvancesFollowTheBands) {
  BoxFont box;
  ASSERT_TRUE(box.loaded);
  CFont& font = box.font;
  EXPECT_EQ(font.GetLineHeight(), 10);
  EXPECT_EQ(font.GetCharWidth('x', true), 0);  // the first of a line: no edges yet
  EXPECT_EQ(font.GetCharWidth('x', true), 4);
  EXPECT_EQ(font.GetCharWidth('\n', true), 0);
  EXPECT_EQ(font.GetCharWidth(static_cast<char>(200), true), 0);
  EXPECT_EQ(font.GetCharWidth('\x01', true), 0);
  font.tabWidth = 17;
  EXPECT_EQ(font.GetCharWidth('\t', true), 17);
  // A space and an underscore take the room of an 'a'.
  EXPECT_EQ(font.MeasureText("x x", kWide, 0), font.MeasureText("xax", kWide, 0));
  EXPECT_EQ(font.MeasureText("x_x", kWide, 0), font.MeasureText("xax", kWide, 0));
  EXPECT_EQ(font.MeasureText("xax", kWide, 0), 4 + 6);
  // 'r' overhangs '.' in the upper band only: the '.' closes up under it.
  EXPECT_EQ(font.MeasureText("r.", kWide, 0), 4);
  EXPECT_LT(font.MeasureText("r.", kWide, 0), 6);
  font.spacing = 2;
  EXPECT_EQ(font.MeasureText("xax", kWide, 0), 2 + 6 + 8);
}

TEST(Font, WrappingKeepsLongWordsWholeAndCountsLines) {
  BoxFont box;
  ASSERT_TRUE(box.loaded);
  CFont& font = box.font;
  const TextRect narrow{0, 0, 20, 300};
  // "ab " fits; the long word cannot and stays whole on its own line.
  const int widest = font.MeasureText("ab bbbbbbbbbbbb cd", narrow, kTextWordWrap);
  EXPECT_EQ(font.LineCount(), 3);
  EXPECT_GT(widest, 20);
  EXPECT_EQ(font.MeasureText("ab bbbbbbbbbbbb cd", narrow, 0), font.MeasureText("ab bbbbbbbbbbbb cd", kWide, 0));
  EXPECT_EQ(font.LineCount(), 1);
  font.MeasureText("one\ntwo\n\nfour", kWide, 0);
  EXPECT_EQ(font.LineCount(), 4);

  // A rectangle lower than a line measures nothing.
  EXPECT_EQ(font.MeasureText("abc", TextRect{0, 0, 400, 9}, 0), 0);
  EXPECT_EQ(font.MeasureText(nullptr, kWide, 0), 0);

  std::string many;
  for (int i = 0; i < 300; ++i) many += "ab\n";
  font.MeasureText(many.c_str(), kWide, 0);
  EXPECT_EQ(font.LineCount(), 256);
}

TEST(Font, AlignmentFlags) {
  uint8_t flags = kTextWordWrap | kTextLeft;
  CFont::SetAlignment(flags, kTextCentre);
  EXPECT_EQ(flags, kTextWordWrap | kTextCentre);
  CFont::SetAlignment(flags, kTextRight);
  EXPECT_EQ(flags, kTextWordWrap | kTextRight);
  CFont::SetAlignment(flags, kTextCentreVertically);
  EXPECT_EQ(flags, kTextWordWrap | kTextRight | kTextCentreVertically);
}

// Prints into a surface and answers its pixels.
std::vector<uint16_t> PrintIntoSurface(CFont& font, const char* text, const TextRect& rect, uint8_t flags,
                                       TextPoint* out = nullptr, int* answer = nullptr) {
  CSurface surface;
  graphics_test::MakeSurface(surface, 40, 24);
  surface.Fill(0x0010);
  uint16_t* pixels = surface.Lock();
  EXPECT_NE(pixels, nullptr);
  SetSpriteTarget(pixels, surface.pitch / 2, surface.height);
  SetSpriteClipRect(0, 0, surface.width, surface.height);
  const int width = font.PrintText(text, rect, 255, 255, 255, flags, out);
  if (answer) *answer = width;
  surface.Unlock(pixels);
  SetSpriteTarget(nullptr, 0, 0);
  return graphics_test::Pixels(surface);
}

// The columns of a row that are white.
std::string WhiteColumns(const std::vector<uint16_t>& pixels, int row) {
  std::string out;
  for (int x = 0; x < 40; ++x) out += pixels[static_cast<size_t>(row) * 40 + x] == 0xFFFF ? '#' : '.';
  return out;
}

TEST(Font, PrintsGlyphsAtTheirPlacesInASurface) {
  BoxFont box;
  ASSERT_TRUE(box.loaded);
  CFont& font = box.font;
  TextPoint end;
  int width = 0;
  std::vector<uint16_t> pixels = PrintIntoSurface(font, "I_I", TextRect{2, 3, 38, 20}, kTextLeft, &end, &width);
  // Glyphs stand on the baseline 8 rows below the top: rows 3..10.
  EXPECT_EQ(WhiteColumns(pixels, 2), std::string(40, '.'));
  // 'I' at 2; '_' takes the room of an 'a' (6) after the 'I' (3): the next 'I' at 11.
  EXPECT_EQ(WhiteColumns(pixels, 3), "..###......###..........................");
  EXPECT_EQ(WhiteColumns(pixels, 10), "..###......###..........................");
  EXPECT_EQ(WhiteColumns(pixels, 11), std::string(40, '.'));
  EXPECT_EQ(width, 3 + 6);
  EXPECT_EQ(end.x, 2 + 9);
  EXPECT_EQ(end.y, 11);

  pixels = PrintIntoSurface(font, "I I\nII", TextRect{0, 0, 40, 24}, kTextRight, nullptr, &width);
  // Right: a line ends where its last glyph does, at the right edge: its advances (9, then
  // 3) and the last 'I' (3) put the lines at 28 and 34, and every glyph is printed.
  EXPECT_EQ(WhiteColumns(pixels, 0).substr(26), "..###......###");
  EXPECT_EQ(WhiteColumns(pixels, 9), std::string(40, '.'));
  EXPECT_EQ(WhiteColumns(pixels, 10).substr(26), "........######");
  EXPECT_EQ(width, 3);  // the answer is still the last line's advances
  // A line that ends with a blank ends where the blank stands: right after the 'I'.
  pixels = PrintIntoSurface(font, "I ", TextRect{0, 0, 40, 24}, kTextRight);
  EXPECT_EQ(WhiteColumns(pixels, 0).substr(26), "...........###");

  font.spacing = 2;
  pixels = PrintIntoSurface(font, "II", TextRect{0, 0, 40, 24}, kTextCentre | kTextCentreVertically);
  // Width 2 + 5 = 7: the line starts at 20 - 3 = 17, the glyphs at 19 and 24; one line of
  // 10 in 24 rows moves down by 7.
  EXPECT_EQ(WhiteColumns(pixels, 7), "...................###..###.............");
  EXPECT_EQ(WhiteColumns(pixels, 6), std::string(40, '.'));
}

TEST(Font, Layout2KeepsItsPaletteAndBuildsTables) {
  BoxFont box(2, true, 2);
  ASSERT_TRUE(box.loaded);
  const CSpriteFrame glyph = box.font.Glyph('I');
  ASSERT_NE(glyph.tables, nullptr);
  EXPECT_EQ(glyph.tables->Table(0)[0], PackColour(200, 100, 50));
  EXPECT_EQ(box.font.Glyph(' ').data, nullptr);
  EXPECT_EQ(box.font.MeasureText("xax", kWide, 0), 10);
}

TEST(Font, MalformedFilesAreRefused) {
  const std::vector<uint8_t> good = forge::WriteFont(BoxFontSpec());
  struct {
    const char* name;
    size_t at;
    int32_t value;
  } mutations[] = {{"33 bands", 16, 33},
                   {"negative bands", 16, -1},
                   {"layout 4", 8, 4},
                   {"layout 1", 8, 1},
                   {"band table shorter than the glyphs", 36, 94},
                   {"size mismatch", 4, 12},
                   {"glyphs past the file", 12, 200},
                   {"first glyph offset past the end", 40 + 95 * 16, 1 << 20},
                   {"a glyph's width", 40 + 95 * 16 + 95 * 4 + 4, 5},
                   {"a band edge far outside", 40 + 8, 1 << 30}};
  TempDir dir;
  for (const auto& m : mutations) {
    std::vector<uint8_t> data = good;
    bytes::StoreU32(data.data() + m.at, static_cast<uint32_t>(m.value));
    dir.Write("bad.sft", data);
    CFont font;
    EXPECT_FALSE(font.Load(dir.File("bad.sft").c_str(), 2)) << m.name;
    EXPECT_FALSE(font.IsLoaded());
    EXPECT_EQ(font.PrintText("abc", kWide, 1, 1, 1, 0), 0);
  }
  for (size_t length : {0ul, 20ul, 39ul, 40ul, good.size() / 2, good.size() - 1}) {
    std::vector<uint8_t> data(good.begin(), good.begin() + static_cast<long>(length));
    if (length >= 8) bytes::StoreU32(data.data() + 4, static_cast<uint32_t>(length));
    dir.Write("cut.sft", data);
    CFont font;
    EXPECT_FALSE(font.Load(dir.File("cut.sft").c_str(), 2)) << length;
  }
  CFont font;
  EXPECT_FALSE(font.Load(dir.File("missing.sft").c_str(), 2));
}

const char* const kForgedFonts[] = {"heading text 640.sft", "heading text 800.sft", "body text 640.sft",
                                    "body text 800.sft",    "NormSm.sft",           "yellowtext.sft"};

TEST(Font, ForgedFontsLoad) {
  for (const char* name : kForgedFonts) {
    CFont font;
    ASSERT_TRUE(font.Load((testing_support::ForgedDataDir() + "\\sprites\\" + name).c_str(), 2)) << name;
    EXPECT_EQ(font.GlyphCount(), 95);
    EXPECT_GT(font.GetLineHeight(), 8);
    font.spacing = 2;
    EXPECT_GT(font.MeasureText("Realms of Vrask", kWide, 0), font.MeasureText("Realms", kWide, 0));
  }
}

// A picture to look at: a paragraph in each forged font, wrapped and aligned left, centre
// and right, written as fonts.png into the test output folder.
TEST(FontPicture, EveryForgedFontInEveryAlignment) {
  constexpr int kWidth = 900, kColumn = 290;
  const char* paragraph =
      "The wizard leads creatures against rival wizards across a realm that wraps at its edges. "
      "Places of power, talismans and spells: Law, Neutral and Vrask.";
  const uint8_t alignments[3] = {kTextLeft, kTextCentre, kTextRight};
  std::vector<std::unique_ptr<CFont>> fonts;
  std::vector<int> tops = {0};
  for (const char* name : kForgedFonts) {
    fonts.push_back(std::make_unique<CFont>());
    ASSERT_TRUE(fonts.back()->Load((testing_support::ForgedDataDir() + "/sprites/" + name).c_str(), 2)) << name;
    fonts.back()->spacing = 2;
    fonts.back()->MeasureText(paragraph, TextRect{0, 0, kColumn, 10000}, kTextWordWrap);
    tops.push_back(tops.back() + fonts.back()->LineCount() * fonts.back()->GetLineHeight() + 16);
  }
  const int height = tops.back();
  std::vector<uint16_t> pixels(static_cast<size_t>(kWidth) * height, PackColour(20, 30, 60));
  SetSpriteTarget(pixels.data(), kWidth, height);
  SetSpriteClipRect(0, 0, kWidth, height);
  for (size_t f = 0; f < fonts.size(); ++f) {
    for (int a = 0; a < 3; ++a) {
      const TextRect rect{10 + a * (kColumn + 5), tops[f] + 8, 10 + a * (kColumn + 5) + kColumn, tops[f + 1] - 8};
      const std::vector<uint16_t> before = pixels;
      fonts[f]->PrintText(paragraph, rect, a == 0 ? 255 : 250, a == 1 ? 230 : 250, a == 2 ? 120 : 250,
                          static_cast<uint8_t>(alignments[a] | kTextWordWrap));
      EXPECT_NE(before, pixels) << kForgedFonts[f];
      EXPECT_GE(fonts[f]->LineCount(), 2) << kForgedFonts[f];
    }
  }
  SetSpriteTarget(nullptr, 0, 0);
  const std::string path = testing_support::TestOutputDir() + "/fonts.png";
  EXPECT_TRUE(testing_support::WritePng565(path, kWidth, height, pixels));
  std::printf("font picture: %s\n", path.c_str());
}

}  // namespace
