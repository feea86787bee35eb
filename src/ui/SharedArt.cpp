#include "ui/SharedArt.h"

#include <cstdio>

#include "core/ErrorBox.h"
#include "core/Preferences.h"

CFont g_headingFont;
CFont g_bodyFont;
CFont g_smallFont;
CFont g_yellowFont;
CSprite g_buttonSprite;
CSprite g_borderSprite;

namespace {

constexpr int kColourIndex = 2;

void LoadRequiredFont(CFont& font, const char* path) {
  if (!font.Load(path, kColourIndex)) ShowFileLoadError(path);
  font.spacing = 2;
}

}  // namespace

void LoadSharedFontsAndButtons() {
  const int size = g_prefs.isHighRes ? 800 : 640;
  char heading[64], body[64];
  std::snprintf(heading, sizeof heading, "sprites\\heading text %i.sft", size);
  std::snprintf(body, sizeof body, "sprites\\body text %i.sft", size);
  LoadRequiredFont(g_headingFont, heading);
  LoadRequiredFont(g_bodyFont, body);
  LoadRequiredFont(g_smallFont, "sprites\\NormSm.sft");
  LoadRequiredFont(g_yellowFont, "sprites\\yellowtext.sft");
  if (!g_buttonSprite.Load("sprites\\Buttons.spr", kColourIndex)) ShowFileLoadError("sprites\\Buttons.spr");
  g_borderSprite.Load("sprites\\border.spr", kColourIndex);
}

void FreeSharedButtons() {
  g_borderSprite.Free();
  g_buttonSprite.Free();
}
