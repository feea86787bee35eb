#include "forge/MiniMenuArt.h"

#include <string>

#include "forge/Forge.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"

namespace forge {

namespace {

// The panel on the 800 x 600 screen.
constexpr int kLeft = 100, kTop = 100, kWidth = 300, kHeight = 350;

RgbPicture Crop(const RgbPicture& picture, int left, int top, int width, int height) {
  RgbPicture part(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = picture.At(left + x, top + y);
      part.Set(x, y, p[0], p[1], p[2]);
    }
  return part;
}

}  // namespace

ScreenLayout MiniMenuLayout() {
  ScreenLayout layout("MiniMenu", "Mini Menu");
  layout.Global("BackgroundFile", "Mini Menu");
  const char* captions[] = {"Load Game", "Save Game", "Options", "Quit", "Resume"};
  for (int i = 0; i < 5; ++i) {
    Widget& button = layout.Add(WidgetKind::kTextButton, i + 1, {135, 170 + 54 * i, 365, 210 + 54 * i});
    button.font = "LARGE";
    button.text = captions[i];
  }
  for (int i = 0; i < 3; ++i) {
    Widget& button = layout.Add(WidgetKind::kTextButton, i + 6, {135, 224 + 54 * i, 365, 264 + 54 * i});
    button.font = "LARGE";
    button.text = captions[i + 2];
  }
  return layout;
}

namespace {

FORGE_STEP(MiniMenuScreen) {
  const ScreenLayout layout = MiniMenuLayout();
  layout.Write(ctx);
  Painting p;
  p.Rect(0, 0, 800, 600, Rgb(20, 16, 28));
  p.Panel(kLeft + 4, kTop + 4, kLeft + kWidth - 4, kTop + kHeight - 4, 14, Rgb(34, 28, 46), 1.0f, Rgb(200, 156, 64),
          2.5f);
  // A parchment plate under each button slot (the network battles' three take slots 2 to 4).
  for (const Widget& w : layout.Widgets())
    if (w.number <= 5)
      p.Panel(static_cast<float>(w.rect800.left), static_cast<float>(w.rect800.top),
              static_cast<float>(w.rect800.right), static_cast<float>(w.rect800.bottom), 4, Rgb(236, 222, 184), 1.0f,
              Rgb(120, 84, 36), 1.5f);
  p.Text("Menu", "DejaVuSerif-Bold.ttf", 24, kLeft + kWidth / 2.0f, kTop + 46, Rgb(250, 230, 170), Rgb(210, 170, 90),
         Rgb(16, 10, 6), 1.6f, 1.5f);
  for (const auto& [w, h] : {std::pair{800, 600}, std::pair{640, 480}}) {
    const RgbPicture screen = p.Reduce(w, h);
    const RgbPicture panel = Crop(screen, kLeft * w / 800, kTop * h / 600, kWidth * w / 800, kHeight * h / 600);
    const std::string size = std::to_string(w) + "x" + std::to_string(h),
                      dash = std::to_string(w) + "-" + std::to_string(h);
    ctx.WriteFile("Interface\\MiniMenu\\" + size + "\\Mini Menu " + dash + ".BMP", MakeBmp24(panel));
  }
}

}  // namespace

}  // namespace forge
