// The interface fonts, rasterised with FreeType from the DejaVu fonts of the system
// (fonts-dejavu-core): every size and face the screens load.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <stdexcept>
#include <string>

#include "forge/FontWriter.h"
#include "forge/Forge.h"

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

struct FontFace {
  const char* file;
  const char* face;  // a DejaVu file name
  int pixels;
  int layout;
  bool palette;
  int r, g, b;  // the palette's ink colour, when there is one
};

const FontFace kFonts[] = {
    {"sprites\\heading text 640.sft", "DejaVuSans-Bold.ttf", 18, 3, false, 0, 0, 0},
    {"sprites\\heading text 800.sft", "DejaVuSans-Bold.ttf", 22, 3, false, 0, 0, 0},
    {"sprites\\body text 640.sft", "DejaVuSans.ttf", 13, 3, false, 0, 0, 0},
    {"sprites\\body text 800.sft", "DejaVuSans.ttf", 16, 3, false, 0, 0, 0},
    {"sprites\\NormSm.sft", "DejaVuSans.ttf", 11, 2, true, 255, 255, 255},
    {"sprites\\yellowtext.sft", "DejaVuSans-Bold.ttf", 13, 3, true, 255, 220, 40},
};

forge::FontSpec Rasterise(FT_Library library, const FontFace& font) {
  FT_Face face;
  const std::string path = std::string(kFontFolder) + font.face;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) throw std::runtime_error("cannot open font " + path);
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.pixels));
  forge::FontSpec spec;
  spec.layout = font.layout;
  spec.topOffset = static_cast<int>(face->size->metrics.ascender >> 6);
  spec.secondMetric = static_cast<int>(-(face->size->metrics.descender >> 6)) + 1;
  spec.bands = std::min(32, std::max(4, (spec.topOffset + spec.secondMetric) / 2));
  spec.hasPalette = font.palette;
  if (font.palette) {
    // Coverage levels 0..63 as ink over black, for readers that print the glyphs plainly.
    for (int i = 0; i < 256; ++i) {
      const int level = std::min(i, 63);
      spec.palette[3 * i] = static_cast<uint8_t>(font.r * level / 63);
      spec.palette[3 * i + 1] = static_cast<uint8_t>(font.g * level / 63);
      spec.palette[3 * i + 2] = static_cast<uint8_t>(font.b * level / 63);
    }
  }
  for (int code = 33; code < 128; ++code) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
      throw std::runtime_error("cannot render a glyph of " + path);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    forge::FontGlyph glyph;
    glyph.canvas = forge::Canvas(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
    glyph.hotspotY = face->glyph->bitmap_top;
    for (unsigned y = 0; y < bitmap.rows; ++y)
      for (unsigned x = 0; x < bitmap.width; ++x) {
        const int coverage = bitmap.buffer[static_cast<int>(y) * bitmap.pitch + static_cast<int>(x)];
        if (coverage > 0) glyph.canvas.Set(static_cast<int>(x), static_cast<int>(y), (coverage * 63 + 127) / 255);
      }
    spec.glyphs.push_back(std::move(glyph));
  }
  FT_Done_Face(face);
  return spec;
}

FORGE_STEP(Fonts) {
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("cannot start FreeType");
  for (const FontFace& font : kFonts) ctx.WriteFile(font.file, forge::WriteFont(Rasterise(library, font)));
  FT_Done_FreeType(library);
}

}  // namespace
