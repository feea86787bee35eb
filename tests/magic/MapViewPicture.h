#pragma once
// The effects over the map as the player sees them: the real map view draws the map, its
// effects and particles onto an 800 x 600 surface with the forged moorland terrain, lit
// evenly, and hands back the pixels for a picture in the test output.

#include <cstdint>
#include <string>
#include <vector>

namespace magic_test {

// The view centred on a cell (high resolution, rotation 0); empty after a failure.
std::vector<uint16_t> DrawMapView(int cameraX, int cameraY, int cameraLevel);

// Writes the pixels of DrawMapView as a PNG named in the test output folder and answers
// its path (empty when it could not be written).
std::string WriteMapViewPng(const std::string& name, const std::vector<uint16_t>& pixels);

}  // namespace magic_test
