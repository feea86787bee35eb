// Feeds arbitrary bytes to the JPEG reader, decoded into areas smaller and larger than most
// pictures, in both pixel formats.
#include "platform/Jpeg.h"

#include <cstdint>
#include <vector>

#include "FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Folder("jpeg");
  fuzz::WriteInput("picture.jpg", data, size);
  std::vector<uint16_t> small(16 * 12), large(200 * 150);
  platform::JpegRead(fuzz::InFolder("picture.jpg").c_str(), small.data(), 16, 32, 12, 0);
  platform::JpegRead(fuzz::InFolder("picture.jpg").c_str(), large.data(), 200, 400, 150, 1);
  return 0;
}
