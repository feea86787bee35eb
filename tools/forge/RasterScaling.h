#pragma once
// A raster drawn once at one size and wanted at another (the 800 x 600 and 640 x 480 sets of
// the interface art, a small icon shown large): shrinking averages the source pixels under
// each new one, enlarging blends the four nearest.

#include "forge/IconArt.h"

namespace forge {

icon::Raster Resized(const icon::Raster& source, int width, int height);

}  // namespace forge
