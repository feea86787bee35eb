// Feeds arbitrary text to the screens' configuration readers that the layout files' target
// does not reach: the speech boxes' layouts (cfg\speechbox.cfg). Whatever the file holds, the
// box count stays within its bound, every position and size within the range a box can be
// placed with, and the box chosen for a speaker anywhere is one of the layouts.
#include <cstdint>

#include "GameDataFuzz.h"
#include "ui/SpeechBox.h"

namespace {

constexpr int32_t kCoordinateLimit = 1 << 16;

bool Placeable(int32_t v) { return v >= -kCoordinateLimit && v <= kCoordinateLimit; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("screen_configs", {"cfg"});
  fuzz::WriteInputAs({"cfg/speechbox.cfg"}, data, size);
  FreeSpeechBoxConfig();
  LoadSpeechBoxConfig();
  fuzz::Expect(g_speechBoxLayouts.size() <= 500);
  for (const CSpeechBoxLayout& l : g_speechBoxLayouts) {
    for (int i = 0; i < 4; ++i) fuzz::Expect(Placeable(l.heading[i]) && Placeable(l.body[i]));
    for (int32_t v : {l.pictureX, l.pictureY, l.boxX, l.boxY, l.width640, l.height640, l.width800, l.height800,
                      l.hotSpotX, l.hotSpotY})
      fuzz::Expect(Placeable(v));
  }
  for (int x : {-70000, 0, 400, 799, 70000})
    for (int length : {0, 80, 100000}) {
      const int chosen = CSpeechBox::ChooseLayout(0, 0, 800, 600, x, 300, length);
      fuzz::Expect(chosen >= -1 && chosen < static_cast<int>(g_speechBoxLayouts.size()));
    }
  return 0;
}
