#pragma once
// Writes pictures that a person can look at: 8-bit RGB PNG files, stored uncompressed.

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// rgb: width x height x 3 bytes, rows top to bottom. False when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// The same from 16-bit 5-6-5 pixels.
bool WritePng565(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels);

// The folder for pictures the tests leave behind (made when missing).
std::string TestOutputDir();

}  // namespace testing_support
