// The Moorland's files for the realm view that are not paintings: the realm's start file
// (realms\Moorland\realmview.cfg), the region names, the view's tooltips, messages and
// tutorial, the flag path files, and the pictures the view reads as masks: each region's
// silhouette (800 x 600, pure blue outside the region) and its lit border at both resolutions.
#include <cstdio>
#include <string>

#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/MoorlandRealm.h"
#include "forge/Pictures.h"

namespace forge {

namespace {

constexpr const char* kRealm = "Moorland";
constexpr int kBorderShades = 6;

std::string Numbered(const char* format, int n) {
  char text[128];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

std::string StartFileText() {
  IniText ini;
  ini.Comment("The Moorland at the start of a campaign: who stands where and who owns what");
  ini.Section("GENERAL")
      .Key("currentRealmName", kRealm)
      .Key("wizardCount", static_cast<int>(MoorlandWizards().size()))
      .Key("regionCount", kMoorlandRegions)
      .Key("playerWizard1", 0)
      .Key("lastRegion", kMoorlandLastRegion)
      .Key("nextRealm", "");
  const auto& wizards = MoorlandWizards();
  for (size_t w = 0; w < wizards.size(); ++w) {
    ini.Section(Numbered("WIZARD_%02d", static_cast<int>(w)))
        .Key("wizardName", wizards[w].name)
        .Key("wizardFlag", static_cast<int>(w))
        .Key("wizardLocation", wizards[w].location)
        .Key("wizardIcon", static_cast<int>(w))
        .Key("wizardMovement_oldRegion", wizards[w].location);
  }
  ini.Section("REGION_INFO");
  for (int r = 0; r < kMoorlandRegions; ++r) ini.Key(Numbered("regionOwner_%02d", r), MoorlandRegions()[r].owner);
  return ini.Text();
}

std::string Strings(const std::vector<std::string>& texts, const std::string& comment) {
  IniText ini;
  ini.Comment(comment);
  ini.Section("STRINGS");
  for (size_t n = 0; n < texts.size(); ++n) ini.Key(Numbered("STR_%02d", static_cast<int>(n)), texts[n]);
  return ini.Text();
}

std::string TutorialText() {
  struct Dialog {
    const char* speech;
  };
  static const Dialog kDialogs[] = {
      {"The Moorland lies before us. Ysbail holds the castle of the standing stones, here in our first "
       "region: we must win it before we go on. Click to read on."},
      {"Point at a region to learn its name: a gold border lights the lands we can see. The yellow "
       "dots mark the roads out of the region where we stand."},
      {"Click a region of our own to walk there; click another's to look at it and choose to march on "
       "it. Meet a wizard and the battle begins. Defeat one and all its regions are ours."},
      {"The High Crags in the far north-east end the Moorland. Reach them and the realm is won."},
  };
  IniText ini;
  ini.Comment("The realm view's tutorial: one speech box a dialogue, from DIALOG_0 on");
  int n = 0;
  for (const Dialog& dialog : kDialogs)
    ini.Section("DIALOG_" + std::to_string(n++))
        .Key("speechBoxNum", 5)
        .Key("Name", "Edric")
        .Key("Speech", dialog.speech)
        .Key("Face", "Wizard portrait");
  return ini.Text();
}

IndexedPicture Silhouette(int region) {
  IndexedPicture picture(kRealmWidth, kRealmHeight);
  picture.palette[0][0] = picture.palette[0][1] = 0;
  picture.palette[0][2] = 255;
  picture.palette[1][0] = picture.palette[1][1] = picture.palette[1][2] = 255;
  const MoorlandGeometry& g = Moorland();
  for (size_t i = 0; i < picture.indices.size(); ++i) picture.indices[i] = g.regionMap[i] == region ? 1 : 0;
  return picture;
}

// A band of gold inside the region's edge, brightest at the edge, pure blue elsewhere.
IndexedPicture Border(int region, int width, int height) {
  IndexedPicture picture(width, height);
  picture.palette[0][2] = 255;
  for (int s = 0; s < kBorderShades; ++s) {
    const float t = static_cast<float>(s) / (kBorderShades - 1);
    picture.palette[1 + s][0] = static_cast<uint8_t>(255 - 70 * t);
    picture.palette[1 + s][1] = static_cast<uint8_t>(236 - 110 * t);
    picture.palette[1 + s][2] = static_cast<uint8_t>(140 - 100 * t);
  }
  const MoorlandGeometry& g = Moorland();
  const int band = width == kRealmWidth ? kBorderShades : kBorderShades - 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int mx = x * kRealmWidth / width, my = y * kRealmHeight / height;
      if (g.RegionAt(mx, my) != region) continue;
      const int d = g.edgeDistance[my * kRealmWidth + mx] * width / kRealmWidth;
      if (d < band) picture.indices[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(1 + d);
    }
  return picture;
}

FORGE_STEP(MoorlandRealmFiles) {
  ctx.WriteText("realms\\moorland\\realmview.cfg", StartFileText());
  std::string names;
  for (const MoorlandRegion& region : MoorlandRegions()) names += std::string(region.name) + "\r\n";
  ctx.WriteText("realms\\moorland\\regionNames.txt", names);
  ctx.WriteText("Interface\\RealmViewer\\realmviewtooltip.cfg",
                Strings({"Spell Box", "Grimoire", "Character", "Menu"}, "The realm view's tooltips"));
  ctx.WriteText("cfg\\rv_text.cfg", Strings({"Your lands are invaded by ", "The realm is won"},
                                            "The realm view's messages; a wizard's name follows STR_00"));
  ctx.WriteText("Interface\\RealmViewer\\tutorial.cfg", TutorialText());

  for (int r = 1; r <= kMoorlandRegions; ++r) {
    ctx.WriteFile(Numbered("Interface\\RealmViewer\\Generic\\Moorland_FlagPath_%02d.FP", r),
                  FlagPathBytes(MoorlandFlagPathFile(r)));
    ctx.WriteFile(Numbered("Interface\\RealmViewer\\Generic\\Moorland_Silhouette_%02d.PCX", r), MakePcx(Silhouette(r)));
    for (const auto& [w, h] : {std::pair{800, 600}, std::pair{640, 480}}) {
      const std::string folder = "Interface\\RealmViewer\\" + std::to_string(w) + "x" + std::to_string(h) + "\\";
      ctx.WriteFile(folder + Numbered("Moorland_Border_%02d.PCX", r), MakePcx(Border(r, w, h)));
    }
  }
}

}  // namespace

}  // namespace forge
