#pragma once
// The particle sprites that hang on creatures: sprites\FLYS.SPR (flies round a pestered
// creature), sprites\CURE.SPR (a cure's sparkles) and sprites\Subvert.SPR (a subverted
// creature's motes). Each frame is a small whole picture, hot spot at its middle.

#include <cstdint>
#include <vector>

namespace forge {

std::vector<uint8_t> FlySprite();
std::vector<uint8_t> CureSprite();
std::vector<uint8_t> SubvertSprite();

}  // namespace forge
