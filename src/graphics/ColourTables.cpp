#include "graphics/ColourTables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/Options.h"
#include "core/Random.h"
#include "graphics/PixelFormat.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

double g_lightWeight = 0;
double g_colourWeight = 0;

void SetLightCurve(int value) { g_lightCurve = value; }
void SetColourFactor(int value) { g_colourFactor = value; }
void SetLightPower(double value) { g_lightPower = value; }
void SetColourPower(double value) { g_colourPower = value; }
void SetUWLightCurve(int value) { g_uwLightCurve = value; }
void SetUWColourFactor(int value) { g_uwColourFactor = value; }
void SetUWLightPower(double value) { g_uwLightPower = value; }
void SetUWColourPower(double value) { g_uwColourPower = value; }

namespace {

enum class Effect { kNone, kBlue, kRed, kGreen, kStone, kMetal, kDull, kRedTint, kFactors };

struct Colour {
  int r, g, b;
};

// Everything one build needs besides the palette.
struct Recipe {
  Effect effect = Effect::kNone;
  bool wide = false;           // darker and normal tables only, also as 32-bit entries
  bool blackFirst = false;     // the darkest table is all black (types 0 and 8)
  bool underwater = false;     // the UW curve parameters
  bool lightBuilder = false;   // the light builders' mix of parameters
  bool anyLevelCount = false;  // types 0 and 8 take any count of levels, not only powers of two
  double factors[3] = {1, 1, 1};
  double reducer = 0, darkest = 0, blueTint = 0;
  int noise[256] = {};
};

int Trunc(double v) {
  if (!(v > -2e9)) return -2000000000;  // also catches NaN
  if (v > 2e9) return 2000000000;
  return static_cast<int>(v);
}

bool IsLevelCount(int n) { return n >= 2 && n <= 256 && (n & (n - 1)) == 0; }

uint32_t ShiftOf(int n) {
  uint32_t shift = 7;
  for (int levels = 2; levels <= 128; levels *= 2, --shift)
    if (n == levels) return shift;
  return 0;
}

uint16_t Pack(Colour c) {
  return PackColour(std::clamp(c.r, 0, 255), std::clamp(c.g, 0, 255), std::clamp(c.b, 0, 255));
}

Colour Dull(Colour c) {
  const double mean = (c.r + c.g + c.b) / 3.0;
  return {Trunc(c.r - (c.r - mean) * 0.5), Trunc(c.g - (c.g - mean) * 0.5), Trunc(c.b - (c.b - mean) * 0.5)};
}

Colour ApplyEffect(Colour c, const Recipe& recipe, int entry) {
  // Channels may lie anywhere in Trunc's range before Pack clamps them: sums are wide.
  const int64_t sum = int64_t{c.r} + c.g + c.b;
  switch (recipe.effect) {
    case Effect::kBlue:
    case Effect::kFactors: {
      Colour out = c;
      if (c.r > 0) out.r = Trunc(c.r * recipe.factors[0]);
      if (c.g > 0) out.g = Trunc(c.g * recipe.factors[1]);
      if (c.r > 0 || c.g > 0) out.b = Trunc(c.b * recipe.factors[2]);
      return out;
    }
    case Effect::kRed: {
      Colour out = c;
      if (c.g > 0) out.g = Trunc(c.g * 0.5);
      if (c.b > 0) out.b = Trunc(c.b * 0.5);
      if (c.g > 0 || c.b > 0) out.r = Trunc(c.r * 2.0);
      return out;
    }
    case Effect::kGreen: {
      Colour out = c;
      if (c.g > 0) out.r = Trunc(c.r * 0.5);
      if (c.b > 0) out.b = Trunc(c.b * 0.5);
      if (c.g > 0 || c.b > 0) out.g = Trunc(c.g * 2.0);
      return out;
    }
    case Effect::kRedTint:
      return {Trunc(c.r * (1 + recipe.reducer)), Trunc(c.g * (1 - recipe.reducer)), Trunc(c.b * (1 - recipe.reducer))};
    case Effect::kStone: {
      double grey = static_cast<double>(sum) / 3.0 * (1 - recipe.reducer) + recipe.noise[entry];
      int value = Trunc(std::min(std::max(grey, recipe.darkest), 255.0));
      return {value, value, value};
    }
    case Effect::kMetal: {
      double grey = std::min(
          std::max(static_cast<double>(sum) / 3.0 * (1 + recipe.reducer) + recipe.noise[entry], recipe.darkest), 255.0);
      int value = Trunc(grey);
      return {value, value, Trunc(std::min(value + recipe.blueTint, 255.0))};
    }
    case Effect::kNone:
    case Effect::kDull:
      break;
  }
  return c;
}

// Fills a node's tables from the palette by the recipe.
void FillNode(ShadeTableList& node, int n, const uint8_t* palette, const Recipe& recipe) {
  const int count = (n - 1) / 2;
  const bool brighter = !recipe.wide && n != count + 2;
  const int tables = count + 1 + (brighter ? count : 0);
  node.shift = ShiftOf(n);
  node.base = static_cast<uint32_t>(count);
  node.Allocate(tables, recipe.wide);

  double lightPower, L, K;
  if (recipe.lightBuilder) {
    lightPower = g_lightPower;
    L = std::pow(g_uwLightCurve, g_lightPower);
    K = std::pow(g_uwColourFactor, g_uwColourPower);
  } else if (recipe.underwater) {
    lightPower = g_uwLightPower;
    L = std::pow(g_uwLightCurve, g_uwLightPower);
    K = std::pow(g_uwColourFactor, g_uwColourPower);
  } else {
    lightPower = g_lightPower;
    L = std::pow(g_lightCurve, g_lightPower);
    K = std::pow(g_colourFactor, g_colourPower);
  }
  g_lightWeight = L;
  g_colourWeight = K;

  auto put = [&](int table, int entry, Colour colour) {
    if (recipe.effect != Effect::kDull) colour = ApplyEffect(colour, recipe, entry);
    const uint16_t pixel = Pack(colour);
    node.tables[static_cast<size_t>(table) * 256 + entry] = pixel;
    if (recipe.wide) node.wideTables[static_cast<size_t>(table) * 256 + entry] = pixel;
  };

  for (int entry = 0; entry < 256; ++entry) {
    const Colour own{palette[3 * entry], palette[3 * entry + 1], palette[3 * entry + 2]};
    const double luma = 0.3 * own.r + 0.59 * own.g + 0.11 * own.b;
    const Colour start = recipe.effect == Effect::kDull ? Dull(own) : own;
    for (int k = 0; k < count; ++k) {
      if (k == 0 && recipe.blackFirst) {
        put(k, entry, Colour{0, 0, 0});
        continue;
      }
      const double m = std::pow(127 * (count - k) / count, lightPower);
      auto darken = [&](int c) { return c == 0 ? 0 : Trunc(L / (L + m) * (c + m / (K + m) * (luma - c))); };
      put(k, entry, Colour{darken(start.r), darken(start.g), darken(start.b)});
    }
    put(count, entry, start);
    if (!brighter) continue;
    for (int i = 1; i <= count; ++i) {
      auto brighten = [&](int c) { return c + (255 - c) * i / count; };
      put(count + i, entry, Colour{brighten(start.r), brighten(start.g), brighten(start.b)});
    }
  }
}

// Makes a new node by the recipe and stores it in the slot.
bool BuildNode(int n, ShadeTableList** slot, const uint8_t* palette, const Recipe& recipe) {
  // A count that is no power of two (the terrain light levels of the preferences can be any
  // number from 2 to 256) gets shift 0; the node is sized for the tables it really holds.
  const bool countAllowed = recipe.anyLevelCount ? (n >= 2 && n <= 256) : IsLevelCount(n);
  if (!countAllowed || !slot || !palette) return false;
  ShadeTableList* node = new ShadeTableList;
  FillNode(*node, n, palette, recipe);
  *slot = node;
  return true;
}

double ReadTableKey(const char* section, const char* key, double fallback) {
  char path[512];
  MakeCurrentDirPath("cfg\\tables.cfg", path, sizeof path);
  std::string value = platform::ReadProfileString(section, key, "", path);
  return value.empty() ? fallback : platform::TextToReal(value);
}

// The noise of each palette entry, the same for every build.
void MakeNoise(double specialValue, int noise[256]) {
  const int64_t v = platform::RealToInt(specialValue, -1000000000, 1000000000);
  CRandom random(1234567890u);
  random.Seed(2000);
  for (int i = 0; i < 256; ++i) {
    noise[i] = v == 1 ? 1 : static_cast<int>(static_cast<int64_t>(random.Next() & 0x7FFFFFFF) % (v - 1) + 1);
  }
}

Recipe EffectRecipe(Effect effect) {
  Recipe recipe;
  recipe.effect = effect;
  return recipe;
}

Recipe BlueRecipe() {
  Recipe recipe = EffectRecipe(Effect::kBlue);
  recipe.underwater = true;
  recipe.factors[0] = 0.6;
  recipe.factors[1] = 0.9;
  recipe.factors[2] = 1.7;
  return recipe;
}

}  // namespace

bool BuildTablesNormal(int n, ShadeTableList** slot, uint8_t* palette) {
  Recipe recipe;
  recipe.blackFirst = true;
  recipe.anyLevelCount = true;
  return BuildNode(n, slot, palette, recipe);
}

bool BuildTablesBlue(int n, ShadeTableList** slot, uint8_t* palette) {
  return BuildNode(n, slot, palette, BlueRecipe());
}

bool BuildTablesRed(int n, ShadeTableList** slot, uint8_t* palette) {
  return BuildNode(n, slot, palette, EffectRecipe(Effect::kRed));
}

bool BuildTablesGreen(int n, ShadeTableList** slot, uint8_t* palette) {
  return BuildNode(n, slot, palette, EffectRecipe(Effect::kGreen));
}

bool BuildTablesStone(int n, ShadeTableList** slot, uint8_t* palette) {
  if (!IsLevelCount(n)) return false;
  Recipe recipe = EffectRecipe(Effect::kStone);
  recipe.reducer = ReadTableKey("STONE_EFFECT", "Reducer", 0.5);
  recipe.darkest = ReadTableKey("STONE_EFFECT", "Darkest", 5);
  MakeNoise(ReadTableKey("STONE_EFFECT", "SpecalValue", 120), recipe.noise);
  return BuildNode(n, slot, palette, recipe);
}

bool BuildTablesMetal(int n, ShadeTableList** slot, uint8_t* palette) {
  if (!IsLevelCount(n) || !palette) return false;
  Recipe recipe = EffectRecipe(Effect::kMetal);
  recipe.reducer = ReadTableKey("METAL_EFFECT", "Reducer", 0.1);
  recipe.darkest = ReadTableKey("METAL_EFFECT", "Darkest", 5);
  recipe.blueTint = ReadTableKey("METAL_EFFECT", "BlueTint", 30);
  const double contrast = ReadTableKey("METAL_EFFECT", "Contrast", 0) * 0.01;
  MakeNoise(ReadTableKey("METAL_EFFECT", "SpecalValue", 80), recipe.noise);

  // Contrast: entries below half the brightest sum gain the contrast share of each channel,
  // entries above lose it; the palette keeps the result for the builders after this one.
  int largest = 0;
  for (int i = 0; i < 256; ++i) largest = std::max(largest, palette[3 * i] + palette[3 * i + 1] + palette[3 * i + 2]);
  const double half = largest * 0.5;
  for (int i = 0; i < 256; ++i) {
    uint8_t* entry = palette + 3 * i;
    const double sum = entry[0] + entry[1] + entry[2];
    if (sum == half) continue;
    for (int c = 0; c < 3; ++c) {
      const double v = sum < half ? entry[c] + contrast * entry[c] : entry[c] - contrast * entry[c];
      entry[c] = static_cast<uint8_t>(std::clamp(Trunc(v), 0, 255));
    }
  }
  return BuildNode(n, slot, palette, recipe);
}

bool BuildTablesDull(int n, ShadeTableList** slot, uint8_t* palette) {
  return BuildNode(n, slot, palette, EffectRecipe(Effect::kDull));
}

bool BuildTablesRedTint(int n, ShadeTableList** slot, uint8_t* palette) {
  if (!IsLevelCount(n)) return false;
  Recipe recipe = EffectRecipe(Effect::kRedTint);
  recipe.reducer = ReadTableKey("REDTINT_EFFECT", "Reducer", 0.25);
  return BuildNode(n, slot, palette, recipe);
}

bool BuildWideTablesNormal(int n, ShadeTableList** slot, uint8_t* palette) {
  Recipe recipe;
  recipe.wide = true;
  recipe.blackFirst = true;
  recipe.anyLevelCount = true;
  return BuildNode(n, slot, palette, recipe);
}

bool BuildWideTablesBlue(int n, ShadeTableList** slot, uint8_t* palette) {
  Recipe recipe = BlueRecipe();
  recipe.wide = true;
  return BuildNode(n, slot, palette, recipe);
}

ColourTableBuilder ColourTableBuilderOf(int type) {
  static constexpr ColourTableBuilder kBuilders[] = {
      BuildTablesNormal, BuildTablesBlue, BuildTablesRed,     BuildTablesGreen,      BuildTablesStone,
      BuildTablesMetal,  BuildTablesDull, BuildTablesRedTint, BuildWideTablesNormal, BuildWideTablesBlue};
  return type >= 0 && type < 10 ? kBuilders[type] : nullptr;
}

namespace {
bool RebuildLightNode(int n, ShadeTableList* node, const uint8_t* palette, double p1, double p2, double p3, bool wide) {
  if (!node || !palette || !IsLevelCount(n)) return false;
  Recipe recipe = EffectRecipe(Effect::kFactors);
  recipe.lightBuilder = true;
  recipe.wide = wide;
  recipe.factors[0] = 1 + p1;
  recipe.factors[1] = 1 + p2;
  recipe.factors[2] = 1 + p3;
  FillNode(*node, n, palette, recipe);
  return true;
}
}  // namespace

bool BuildLightTables(int n, ShadeTableList* node, const uint8_t* palette, double p1, double p2, double p3) {
  return RebuildLightNode(n, node, palette, p1, p2, p3, false);
}

bool BuildWideLightTables(int n, ShadeTableList* node, const uint8_t* palette, double p1, double p2, double p3) {
  return RebuildLightNode(n, node, palette, p1, p2, p3, true);
}
