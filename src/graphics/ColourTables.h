#pragma once
// The light parameters and the colour-table builders: from a sprite palette (256 entries
// of red, green, blue) each builder makes one node of 16-bit tables, one per light level,
// darkest first, with a colour effect baked in, so that printing costs one look-up a pixel.

#include <cstdint>

#include "graphics/SpriteFrame.h"

// The light parameters (stored in the option globals; the options file sets them).
void SetLightCurve(int value);
void SetColourFactor(int value);
void SetLightPower(double value);
void SetColourPower(double value);
void SetUWLightCurve(int value);
void SetUWColourFactor(int value);
void SetUWLightPower(double value);
void SetUWColourPower(double value);

// A builder makes a node for levels light levels (a power of two from 2 to 256; anything
// else is refused) from the palette and stores it in the slot (a list head or a node's
// next field). False when refused.
using ColourTableBuilder = bool (*)(int levels, ShadeTableList** slot, uint8_t* palette);

bool BuildTablesNormal(int levels, ShadeTableList** slot, uint8_t* palette);  // type 0
bool BuildTablesBlue(int levels, ShadeTableList** slot, uint8_t* palette);    // 1, underwater
bool BuildTablesRed(int levels, ShadeTableList** slot, uint8_t* palette);     // 2
bool BuildTablesGreen(int levels, ShadeTableList** slot, uint8_t* palette);   // 3
bool BuildTablesStone(int levels, ShadeTableList** slot, uint8_t* palette);   // 4
// Type 5. Its contrast set-up changes the palette itself, for the builders after it.
bool BuildTablesMetal(int levels, ShadeTableList** slot, uint8_t* palette);
bool BuildTablesDull(int levels, ShadeTableList** slot, uint8_t* palette);        // 6
bool BuildTablesRedTint(int levels, ShadeTableList** slot, uint8_t* palette);     // 7
bool BuildWideTablesNormal(int levels, ShadeTableList** slot, uint8_t* palette);  // 8
bool BuildWideTablesBlue(int levels, ShadeTableList** slot, uint8_t* palette);    // 9

// The builder of a table type 0..9, or null.
ColourTableBuilder ColourTableBuilderOf(int type);

// Rewrite an existing node in place (its next field stays) with tables tinted by the
// factors 1 + p1, 1 + p2, 1 + p3: 16-bit tables, or wide tables (darker and normal only).
bool BuildLightTables(int levels, ShadeTableList* node, const uint8_t* palette, double p1, double p2, double p3);
bool BuildWideLightTables(int levels, ShadeTableList* node, const uint8_t* palette, double p1, double p2, double p3);

// The curve weights of the last build: light curve ^ light power, colour factor ^ colour power.
extern double g_lightWeight;
extern double g_colourWeight;
