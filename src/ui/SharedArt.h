#pragma once
// The art every screen shares, loaded when the front-end root is entered: the heading, body,
// small and yellow fonts and the button and border sprites.

#include "graphics/Font.h"
#include "graphics/Sprite.h"

extern CFont g_headingFont;     // "sprites\heading text 640.sft" or "... 800.sft" by resolution
extern CFont g_bodyFont;        // "sprites\body text 640.sft" or "... 800.sft"
extern CFont g_smallFont;       // "sprites\NormSm.sft"
extern CFont g_yellowFont;      // "sprites\yellowtext.sft"
extern CSprite g_buttonSprite;  // "sprites\Buttons.spr"
extern CSprite g_borderSprite;  // "sprites\border.spr"

// Loads the four fonts (colour index 2, character spacing 2) and the two sprites. A font or
// the button sprite that cannot be loaded shows the fatal file-load box; a missing border
// sprite is passed over.
void LoadSharedFontsAndButtons();
// Frees the border and button sprites (the fonts stay for the program's life).
void FreeSharedButtons();
