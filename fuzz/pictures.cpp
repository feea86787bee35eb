// Feeds arbitrary bytes to the bitmap and PCX readers and draws what they accept.
#include "graphics/Pictures.h"

#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Surface.h"
#include "platform/Files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vrask-fuzz-picture-" + std::to_string(::getpid());
  platform::WriteWholeFile(path, data, size);

  CDibBitmap bitmap;
  if (bitmap.Load(path.c_str())) {
    std::vector<uint16_t> target(64 * 48);
    bitmap.Draw(target.data(), 64 * 2, 64, 48, -3, 5);
  }

  CPcxImage pcx;
  if (pcx.Load(path.c_str()) && pcx.width <= 1024 && pcx.height <= 1024) {
    std::vector<uint8_t> indices(static_cast<size_t>(pcx.width) * pcx.height);
    pcx.Decode8(indices.data(), pcx.width);
    CSurface surface;
    SurfaceDesc desc{kDescCaps | kDescWidth | kDescHeight, kCapsOffscreenPlain, pcx.width, pcx.height, 0};
    if (surface.Create(&desc) > 0) pcx.Draw(&surface);
  }
  return 0;
}
