// Feeds arbitrary text to the grimoire page composer, statistic blocks and pictures among its
// codes, page after page: it reads to the end of the text without straying past it, every page
// takes something from it, and what it holds stays within its bounds.
#include <cstdint>
#include <string>

#include "GameDataFuzz.h"
#include "battle/GrimoirePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CGrimoirePage composer;
  composer.screenWidth = size % 2 ? 640 : 800;
  composer.screenHeight = size % 2 ? 480 : 600;
  composer.SetText(text.c_str());
  bool more = true;
  for (size_t pages = 0; more && pages <= size + 2; ++pages) {
    CRectQueue areas;
    areas.Push({10, 10, 390, 300});
    areas.Push({10, 320, 390, 590});
    composer.SetPage(&areas, nullptr);
    fuzz::Expect(composer.LineBuffer().size() <= static_cast<size_t>(CGrimoirePage::kLineBufferSize));
    fuzz::Expect(composer.PictureName().size() <= static_cast<size_t>(CGrimoirePage::kPictureNameLimit));
    if (const CGrimoireStatBlock* block = composer.StatBlock()) {
      fuzz::Expect(block->label.size() <= static_cast<size_t>(CGrimoirePage::kPictureNameLimit));
      fuzz::Expect(block->width >= 0 && block->width <= 4096 && block->height >= 0 && block->height <= 4096);
    }
    more = composer.RenderAll();
  }
  fuzz::Expect(!more && composer.TextEnded());
  return 0;
}
