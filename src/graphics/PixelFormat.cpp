#include "graphics/PixelFormat.h"

uint16_t g_redMask = 0xF800;
uint16_t g_greenMask = 0x07E0;
uint16_t g_blueMask = 0x001F;
int g_is555 = 0;
