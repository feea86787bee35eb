#pragma once
// Writes pictures that a person can look at: 8-bit RGB PNG files, stored uncompressed.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Png.h"

namespace testing_support {

using platform::WritePng;
using platform::WritePng565;

// Reads a PNG file as WritePng writes it (8-bit RGB, stored blocks) into rgb; false for any
// other file.
bool ReadStoredPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb);

// The folder for pictures the tests leave behind (made when missing).
std::string TestOutputDir();

}  // namespace testing_support
