#pragma once
// The battle's calls to the select bar and the wizard face panel: their part of the
// front-end root's panel loads at program start, of the battle's SetUpPanels when a battle
// starts (or its graphics are reloaded), and of its FreeGraphics when it is left.

// Program start: the art and texts of both panels (the select bar's missing art ends the
// program).
void InitSelectBarAndFace();
// A battle starts: the face panel is loaded and shown; with a local wizard (a creature slot,
// -1 none) the select bar shows its spells and items and the face its health and mana.
void SetUpSelectBarAndFace(int wizard);
// The battle is left, or its graphics are reloaded.
void FreeSelectBarAndFace();
