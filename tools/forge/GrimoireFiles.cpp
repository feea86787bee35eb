// Interface\Grimoire\grimoire.txt, the grimoire's text, and Interface\Grimoire\Grimoire.cfg,
// its chapter sorting and button layout at both resolutions.
//
// The text: chapter 0 multiplayer play; chapter 1 the Moorland, with a contents page written by
// hand and a section per region (section = region number, as the realm view notes what the
// player has seen); chapters 2 and 3 the realms beyond; chapter 4 the bestiary, a section per
// creature type (section = type number; the wizard types share the "Wizards" section) with a
// bar of every keyword the composer knows; chapter 5 the spells (section = spell number) and
// the magic items; chapter 6 lore with pictures. Each section tells more at each knowledge
// level 0-4. The bestiary is listed in name order.
#include <cstdio>
#include <string>
#include <vector>

#include "forge/CreatureTable.h"
#include "forge/Forge.h"
#include "forge/GrimoireBook.h"
#include "forge/GrimoireWriter.h"
#include "forge/IniText.h"
#include "forge/MoorlandRealm.h"
#include "forge/SpellTable.h"

namespace forge {

namespace {

using namespace grimoire;

constexpr BarColours kRedBar{{90, 10, 10}, {230, 60, 40}};
constexpr BarColours kBlueBar{{10, 20, 90}, {70, 140, 240}};
constexpr BarColours kGreenBar{{10, 60, 10}, {90, 210, 80}};
constexpr BarColours kGoldBar{{90, 60, 10}, {250, 200, 60}};
constexpr BarColours kGreyBar{{40, 40, 40}, {190, 190, 180}};
// Within the narrowest text window (280 pixels at 800 x 600), the labels to the left.
constexpr int kBarX = 120, kBarWidth = 130, kBarHeight = 10;

const char* const kAlignmentNames[3] = {"Law", "Neutral", "Vrask"};

// Five texts, each the one before and something more.
void Levels(GrimoireWriter& w, const std::vector<std::string>& additions) {
  std::string told;
  for (int level = 0; level < 5; ++level) {
    const std::string& more = additions[static_cast<size_t>(level) < additions.size() ? level : additions.size() - 1];
    if (static_cast<size_t>(level) < additions.size()) told += (told.empty() ? "" : " ") + more;
    w.Level(level).Text(told).NewLine();
  }
}

void MultiplayerChapter(GrimoireWriter& w) {
  w.Chapter(0, kChapters[0].icon, kChapters[0].name);
  w.Comment("Multiplayer play: no contents page here, the reader makes one.");
  const char* const sections[][2] = {
      {"Joining a Battle", "Wizards meet across the wire to fight as equals."},
      {"The Host", "One machine holds the battle and keeps every other in step."},
      {"Alliances", "Players may fight as allies, sharing victory and defeat."},
  };
  for (int i = 0; i < 3; ++i) {
    w.Section(i + 1, kIconSwords, sections[i][0]);
    Levels(w, {sections[i][1], "Each machine runs the same frames in the same order.",
               "A machine that falls silent is dropped, and the battle goes on.",
               "Commands travel a few frames ahead of the frame that runs them.",
               "Every frame carries a check of the battle's state, so that a machine out of step is found."});
  }
}

void MoorlandChapter(GrimoireWriter& w) {
  w.Chapter(1, kChapters[1].icon, kChapters[1].name);
  w.Section(0, kIconMap, "The Moorland");
  w.Comment("The contents page written by hand: a picture, a few words, then the regions.");
  w.Level(0)
      .Picture("Moorland.bmp")
      .Text("A land of heather, mist and old stones, where the first battles are fought.");
  w.NewLine().AreaBreak();
  for (int r = 1; r <= kMoorlandRegions; ++r) w.Entry(1, r);
  const auto& regions = MoorlandRegions();
  for (int r = 1; r <= kMoorlandRegions; ++r) {
    const std::string name = regions[static_cast<size_t>(r - 1)].name;
    w.Section(r, kIconFlag, name);
    Levels(w, {name + " lies under a grey sky.", "Its people keep to their villages and watch the hills.",
               "Old standing stones mark the places of power here; a wizard who holds them draws mana.",
               "The ground is soft: heavy creatures are slow in the bogs, and fliers rule the open moor.",
               "Those who have fought here say the mists hide ambushes, and that patience wins more than haste."});
  }
}

void RealmChapter(GrimoireWriter& w, int chapter, const std::vector<const char*>& places) {
  w.Chapter(chapter, kChapters[static_cast<size_t>(chapter)].icon, kChapters[static_cast<size_t>(chapter)].name);
  for (size_t i = 0; i < places.size(); ++i) {
    w.Section(static_cast<int>(i) + 1, kIconTower, places[i]);
    Levels(w, {std::string(places[i]) + " is known only from travellers' tales.",
               "Its wizards are said to be old and cunning.", "Its creatures are strange to the Moorland.",
               "Its battles are fought on broken ground.", "None who went there alone came back unchanged."});
  }
}

void CreatureSection(GrimoireWriter& w, int type, const CreatureRow& row, int second) {
  const std::string name = row.displayName;
  const int alignment = row.alignment >= 0 && row.alignment < 3 ? row.alignment : 1;
  std::vector<std::string> texts = {"The " + name + " is a creature of " + kAlignmentNames[alignment] + ".",
                                    row.CanFly ? "It flies above the battle." : "It walks the ground.",
                                    "Its health and its wits are shown here.", "How fast it moves and how far it sees.",
                                    "How it fares against others, hand to hand and at range."};
  std::string told;
  for (int level = 0; level < 5; ++level) {
    told += (level ? " " : "") + texts[static_cast<size_t>(level)];
    w.Level(level).Text(told).NewLine();
    if (level >= 2) {
      w.Bar("Health", kBarX, 0, kBarWidth, kBarHeight, kRedBar, "HEALTH", type);
      w.Bar("Resist", kBarX, 0, kBarWidth, kBarHeight, kBlueBar, "MAGIC_RESIST", type);
      w.Bar("Wits", kBarX, 0, kBarWidth, kBarHeight, kGoldBar, "INTELLIGENCE", type);
      w.Bar("Weight", kBarX, 0, kBarWidth, kBarHeight, kGreyBar, "WEIGHT", type);
      w.Bar("Bravery", kBarX, 0, kBarWidth, kBarHeight, kGoldBar, "BRAVERY", type);
    }
    if (level >= 3) {
      w.Bar("Speed", kBarX, 0, kBarWidth, kBarHeight, kGreenBar, "GROUND_SPEED", type);
      if (row.CanFly) w.Bar("Flight", kBarX, 0, kBarWidth, kBarHeight, kGreenBar, "FLYING_SPEED", type);
      w.Bar("View range", kBarX, 0, kBarWidth, kBarHeight, kBlueBar, "VIEW_RANGE", type);
      w.Bar("Fire range", kBarX, 0, kBarWidth, kBarHeight, kBlueBar, "FIRE_RANGE", type);
    }
    if (level >= 4) {
      w.Bar("Melee", kBarX, 0, kBarWidth, kBarHeight, kRedBar, "HTH", type, second);
      w.Bar("Missiles", kBarX, 0, kBarWidth, kBarHeight, kRedBar, "LRC", type, second);
    }
  }
}

void BestiaryChapter(GrimoireWriter& w) {
  w.Chapter(kBestiaryChapter, kChapters[kBestiaryChapter].icon, kChapters[kBestiaryChapter].name);
  w.Comment("One section per creature type, numbered as the type [types 0 and 24-27 are wizards].");
  const auto& table = CreatureTable();
  for (int type = 1; type < kCreatureTypes; ++type) {
    if (type >= 24) continue;
    const CreatureRow& row = table[static_cast<size_t>(type)];
    w.Section(type, kIconLaw + (row.alignment >= 0 && row.alignment < 3 ? row.alignment : 1), row.displayName);
    CreatureSection(w, type, row, type == 1 ? 2 : 1);
  }
  // The wizards: the player's type, then the rivals' types, in one section.
  w.Section(24, kIconTower, "Wizards");
  for (int level = 0; level < 5; ++level) {
    w.Level(level).Text("Wizards lead the armies and cast the spells.").NewLine();
    if (level < 2) continue;
    for (int type : {0, 24, 25, 26, 27}) {
      w.Text(table[static_cast<size_t>(type)].displayName).NewLine();
      w.Bar("Health", kBarX, 0, kBarWidth, kBarHeight, kRedBar, "HEALTH", type);
      w.Bar("Resist", kBarX, 0, kBarWidth, kBarHeight, kBlueBar, "MAGIC_RESIST", type);
    }
  }
}

void SpellChapter(GrimoireWriter& w) {
  w.Chapter(kSpellChapter, kChapters[kSpellChapter].icon, kChapters[kSpellChapter].name);
  const auto& spells = SpellTable();
  std::vector<bool> used(100, false);
  used[0] = true;
  for (int n = 1; n < 100; ++n) {
    const SpellRow& row = spells[static_cast<size_t>(n)];
    if (std::string(row.TextName) == "Unused" || row.ManaCost <= 0) continue;
    used[static_cast<size_t>(n)] = true;
    const int alignment = row.Alignment >= 0 && row.Alignment < 3 ? row.Alignment : 1;
    w.Section(n, kIconLaw + alignment, row.TextName);
    std::string told = std::string(row.TextName) + " is a spell of " + kAlignmentNames[alignment] + ".";
    for (int level = 0; level < 5; ++level) {
      if (level == 1) told += " It costs mana to cast.";
      if (level == 3) told += " Its reach is shown here.";
      if (level == 4) told += " The wise cast it early.";
      w.Level(level).Text(told).NewLine();
      if (level >= 1) w.Bar("Mana", kBarX, 0, kBarWidth, kBarHeight, kBlueBar, "MANA_COST", n);
      if (level >= 3) w.Bar("Range", kBarX, 0, kBarWidth, kBarHeight, kGreenBar, "SPELL_RANGE", n);
    }
  }
  // The magic items in the numbers the spells leave free.
  const char* const items[] = {"Amulets", "Rings", "Wands", "Orbs", "Chalices", "Scrolls", "Crowns"};
  int next = 1;
  for (const char* item : items) {
    while (next < 100 && used[static_cast<size_t>(next)]) ++next;
    if (next >= 100) break;
    used[static_cast<size_t>(next)] = true;
    w.Section(next, kIconRing, std::string("Magic ") + item);
    Levels(w,
           {std::string(item) + " hold spells that any wizard may release.", "Each carries a spell of one alignment.",
            "Its power is spent when it is used.", "Some are found on the battlefield, others are brought to it.",
            "A wizard chooses the items of the army before each battle, in the spell box."});
  }
}

void LoreChapter(GrimoireWriter& w) {
  w.Chapter(6, kChapters[6].icon, kChapters[6].name);
  w.Comment("Lore: pictures from both folders, and a page break.");
  w.Section(1, kIconScroll, "The Old War");
  for (int level = 0; level < 5; ++level) {
    w.Level(level).Picture("Battle.BMP").Text("Long ago the wizards of the three alignments fought for the land.");
    if (level >= 1) w.Text(" The war left the places of power scattered across the realms.");
    if (level >= 2) w.PageBreak().Picture("Rune.pcx").Text("The runes of that time are still cut into the stones.");
    if (level >= 3) w.Text(" They say a rune read aloud wakes what sleeps beneath.");
    if (level >= 4) w.Text(" The last of the old wizards sealed the war away.").Picture("Seal.PCX");
    w.NewLine();
  }
  w.Section(2, kIconTower, "Towers");
  const char* const towers[] = {"Every wizard keeps a tower.", " Towers are built where the mana runs deep.",
                                " A tower remembers its wizard's battles.",
                                " Some towers are older than their wizards.",
                                " A tower without its wizard falls silent and cold."};
  for (int level = 0; level < 5; ++level) {
    w.Level(level);
    if (level >= 2) w.Picture("Tower.bmp");
    for (int i = 0; i <= level; ++i) w.Text(towers[i]);
    w.NewLine();
  }
  w.Section(3, kIconBook, "This Book");
  Levels(w, {"This grimoire grows as its owner learns.", "Pages fill themselves with what was seen.",
             "Creatures met in battle are written into the bestiary.", "Spells cast against you are noted too.",
             "A wizard who has seen all can read every page."});
}

std::string GrimoireText() {
  GrimoireWriter w;
  w.Comment("The grimoire [the in-game book]: chapters ~C, sections ~S, knowledge levels ~L.");
  MultiplayerChapter(w);
  MoorlandChapter(w);
  RealmChapter(w, 2, {"The Western Isles", "The Sea Gate", "The Drowned Shrine"});
  RealmChapter(w, 3, {"The Old Kingdom", "The Throne", "The Border Forts", "The Marches"});
  BestiaryChapter(w);
  SpellChapter(w);
  LoreChapter(w);
  return w.Result();
}

std::string GrimoireConfig() {
  IniText ini;
  ini.Comment("The grimoire: which chapters are listed in name order, and where its buttons stand.");
  ini.Section("CHAPTERS");
  for (int c = 0; c < 10; ++c) ini.Flag("C" + std::to_string(c) + "_SORTED", c == kBestiaryChapter);
  struct Resolution {
    int width, height;
  };
  auto scaled = [](int v, const Resolution& r) { return r.width == 800 ? v : v * 8 / 10; };
  const Resolution resolutions[] = {{800, 600}, {640, 480}};
  auto key = [](const Resolution& r, const std::string& rest) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "_" + rest;
  };
  ini.Section("CLOSE_GRIMOIRE");
  for (const Resolution& r : resolutions) ini.Key(key(r, "X"), scaled(kCloseX, r)).Key(key(r, "Y"), scaled(kCloseY, r));
  ini.Section("TABS");
  for (const Resolution& r : resolutions)
    for (int n = 1; n <= 8; ++n) {
      const int y = scaled(kTabTop + (n - 1) * kTabStep, r);
      ini.Key(key(r, std::to_string(n) + "LX"), scaled(kLeftTabX, r)).Key(key(r, std::to_string(n) + "LY"), y);
      ini.Key(key(r, std::to_string(n) + "RX"), scaled(kRightTabX, r)).Key(key(r, std::to_string(n) + "RY"), y);
    }
  ini.Section("PAGETURN_LEFT");
  for (const Resolution& r : resolutions)
    ini.Key(key(r, "X"), scaled(kTurnBackX, r)).Key(key(r, "Y"), scaled(kTurnY, r));
  ini.Section("PAGETURN_RIGHT");
  for (const Resolution& r : resolutions)
    ini.Key(key(r, "X"), scaled(kTurnForwardX, r)).Key(key(r, "Y"), scaled(kTurnY, r));
  return ini.Text();
}

// A small book with every code, the seed of the fuzz targets of the reader and the composer.
std::string SampleBook() {
  GrimoireWriter w;
  w.Comment("A sample [every code once]: ~C ~S ~L ~D ~G ~I ~N.");
  w.Chapter(2, kIconIsland, "Sample");
  w.Section(0, kIconBook, "Contents").Level(0).Entry(2, 1).Entry(2, 3);
  w.Section(1, kIconLaw, "Brownie");
  for (int level = 0; level < 5; ++level) {
    w.Level(level).Text("A small creature.").NewLine().Picture("Moorland.bmp").Picture("Rune.pcx");
    w.Bar("Health", kBarX, 0, kBarWidth, kBarHeight, kRedBar, "HEALTH", 1);
    w.Bar("Melee", kBarX, 2, kBarWidth, kBarHeight, kRedBar, "HTH", 1, 2).AreaBreak();
    w.Bar("Mana", kBarX, 0, kBarWidth, kBarHeight, kBlueBar, "MANA_COST", 3).PageBreak().Text("More.");
  }
  w.Section(3, -1, "").Level(2).Text("Unnamed.");
  return w.Result();
}

FORGE_STEP(GrimoireText) {
  ctx.WriteText(std::string(kFolder) + "grimoire.txt", GrimoireText());
  ctx.WriteText(std::string(kFolder) + "Grimoire.cfg", GrimoireConfig());
  ctx.WriteText("samples\\grimoire\\book.txt", SampleBook());
}

}  // namespace

}  // namespace forge
