// Feeds arbitrary text to the readers of the story scrolls (text\scrolls.txt) and the tooltips
// (cfg\tooltips.cfg), both from the one input: every scroll's heading and body, and every
// tooltip, are then set with a forged font, wrapped, into a small target across its edges.
#include <cstdint>
#include <string>
#include <vector>

#include "GameDataFuzz.h"
#include "battle/ScrollPanel.h"
#include "core/StringTable.h"
#include "graphics/Font.h"
#include "graphics/PrintTarget.h"

namespace {

constexpr int kWidth = 160, kHeight = 90;
std::vector<uint16_t> g_pixels(kWidth* kHeight);

const CFont& ForgedFont() {
  static const CFont* font = [] {
    auto* loaded = new CFont;
    fuzz::Expect(loaded->Load(VRASK_FORGED_DATA "/sprites/NormSm.sft", 2));
    loaded->spacing = 2;
    return loaded;
  }();
  return *font;
}

void SetText(const std::string& whole) {
  // The font's own target reads texts of any length; here the first lines are what matter.
  const std::string text = whole.substr(0, 1024);
  CFont& font = const_cast<CFont&>(ForgedFont());
  const TextRect area{4, 4, kWidth - 4, kHeight * 4};
  font.MeasureText(text.c_str(), area, kTextCentre | kTextWordWrap);
  SetSpriteTarget(g_pixels.data(), kWidth, kHeight);
  SetSpriteClipRect(0, 0, kWidth, kHeight);
  font.PrintText(text.c_str(), area, 92, 40, 16, kTextWordWrap);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("scroll_texts", {"text", "cfg"});
  fuzz::WriteInputAs({"text/scrolls.txt", "cfg/tooltips.cfg"}, data, size);
  ForgedFont();
  try {
    g_scrollPanel.LoadText();
  } catch (const fuzz::ProgramEnded&) {
    return 0;
  }
  fuzz::Expect(g_scrollPanel.ScrollCount() <= 100);
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (size_t start : FindScrollStarts(text)) {
    // A header that ends the text starts an empty scroll at its very end.
    fuzz::Expect(start <= text.size());
    std::string heading, body;
    SplitScroll(text, start, heading, body);
    SetText(heading);
    SetText(body);
  }
  CStringTable tooltips;
  if (tooltips.Load("cfg\\tooltips.cfg"))
    for (int i = 0; i < tooltips.Count(); ++i) SetText(tooltips.Get(i));
  return 0;
}
