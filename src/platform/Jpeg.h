#pragma once
// JPEG pictures, through libjpeg-turbo.

#include <cstdint>
#include <vector>

namespace platform {

// Decodes the picture file into width x height 16-bit pixels at destination (rows pitch
// bytes apart), 5-5-5 when is555 is set, else 5-6-5. Where the picture is smaller than the
// area the rest is black; where it is larger it is cut. False when the file cannot be read
// or is not a picture this decoder knows, and for a picture that claims more than 4096 pixels
// either way (refused before any decoding); the destination may then be partly written.
bool JpegRead(const char* fileName, uint16_t* destination, int width, int pitch, int height, int is555);

// Encodes width x height pixels of 8-bit red, green, blue triples (the data forge).
bool JpegWrite(const char* fileName, const std::vector<uint8_t>& rgb, int width, int height, int quality);

}  // namespace platform
