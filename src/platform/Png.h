#pragma once
// Pictures a person can look at: 8-bit RGB PNG files, stored uncompressed. The scripted runs
// of the game save their frames this way, and so do the tests.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// rgb: width x height x 3 bytes, rows top to bottom. False when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// The same from 16-bit 5-6-5 pixels.
bool WritePng565(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels);

}  // namespace platform
