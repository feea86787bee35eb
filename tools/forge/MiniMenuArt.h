#pragma once
// The mini menu over the realm view and the battles: its layout (TEXTBUTTON_1-5 Load Game,
// Save Game, Options, Quit, Resume; TEXTBUTTON_6-8 Options, Quit, Resume for network battles)
// and its panel picture, "Interface\MiniMenu\<w>x<h>\Mini Menu <w>-<h>.BMP", drawn at (100, 100)
// on the 800 x 600 screen and at (80, 80) on the 640 x 480 one.

#include "forge/ScreenLayout.h"

namespace forge {

ScreenLayout MiniMenuLayout();

}  // namespace forge
