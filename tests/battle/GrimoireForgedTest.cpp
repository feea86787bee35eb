// The forged grimoire: its text loads without a single fault, every contents entry names a
// section there is, every picture is a forged file, every statistic bar a keyword the composer
// knows with numbers of real creature types and spells, and every section tells more at each
// knowledge level.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "SelectPanelFixtures.h"
#include "battle/GrimoireText.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

const std::set<std::string> kKeywords = {"HTH",     "LRC",         "HEALTH",     "MAGIC_RESIST", "INTELLIGENCE",
                                         "WEIGHT",  "VIEW_RANGE",  "FIRE_RANGE", "GROUND_SPEED", "FLYING_SPEED",
                                         "BRAVERY", "SPELL_RANGE", "MANA_COST"};

// Every occurrence of a code (two characters) in a text, with what follows it.
std::vector<const char*> Codes(const char* text, char letter) {
  std::vector<const char*> found;
  for (const char* p = text; p && *p; ++p)
    if (p[0] == '~' && p[1] == letter) found.push_back(p + 2);
  return found;
}

TEST(GrimoireForged, TheTextLoadsWithoutAFaultAndEveryCodeLeadsSomewhere) {
  panel_test::InFolder forged(testing_support::ForgedDataDir());
  testing_support::BoxRecorder boxes;
  auto db = LoadGrimoireText(kGrimoireTextPath, kGrimoireCfgPath);
  for (const auto& box : boxes.Boxes()) ADD_FAILURE() << box.text;

  std::set<std::string> keywordsUsed;
  int sections = 0, pictures = 0;
  for (int c = 0; c < kGrimoireChapters; ++c) {
    for (const auto& section : db->chapters[static_cast<size_t>(c)].sections) {
      if (!section) continue;
      ++sections;
      for (const char* text : section->texts) {
        for (const char* at : Codes(text, 'I')) {
          const int chapter = at[0] - '0', number = (at[2] - '0') * 10 + (at[3] - '0');
          EXPECT_NE(db->FindSection(chapter, number), nullptr) << "~I" << std::string(at, 4);
        }
        for (const char* at : Codes(text, 'G')) {
          ASSERT_EQ(at[0], '"');
          const std::string name(at + 1, std::strchr(at + 1, '"'));
          ++pictures;
          const bool bitmap =
              name.size() > 4 && (name.substr(name.size() - 3) == "bmp" || name.substr(name.size() - 3) == "BMP");
          if (bitmap) {
            EXPECT_TRUE(platform::FileExists("Interface\\Grimoire\\800x600\\" + name)) << name;
            EXPECT_TRUE(platform::FileExists("Interface\\Grimoire\\640x480\\" + name)) << name;
          } else {
            EXPECT_TRUE(platform::FileExists("Interface\\Grimoire\\Generic\\" + name)) << name;
          }
        }
        for (const char* at : Codes(text, 'D')) {
          // ... "KEYWORD n" or "KEYWORD n,m" ends the block.
          const std::string block(at, std::strcspn(at, "\n~"));
          const size_t last = block.find_last_of(' ');
          const size_t before = block.find_last_of(' ', last - 1);
          ASSERT_NE(before, std::string::npos) << block;
          const std::string keyword = block.substr(before + 1, last - before - 1);
          EXPECT_TRUE(kKeywords.count(keyword)) << block;
          keywordsUsed.insert(keyword);
          int n = -1, m = -1;
          const int read = std::sscanf(block.c_str() + last + 1, "%d,%d", &n, &m);
          const bool spell = keyword == "SPELL_RANGE" || keyword == "MANA_COST";
          EXPECT_TRUE(n >= 0 && n < (spell ? kSpellCount : kCreatureTypes)) << block;
          if (keyword == "HTH" || keyword == "LRC") EXPECT_TRUE(read == 2 && m >= 0 && m < kCreatureTypes) << block;
        }
      }
    }
  }
  EXPECT_GT(sections, 100);
  EXPECT_GE(pictures, 5);
  EXPECT_EQ(keywordsUsed, kKeywords);

  // The Moorland's contents page is written by hand; the bestiary is listed by name.
  const CGrimoireSection* moorland = db->FindSection(1, 0);
  ASSERT_NE(moorland, nullptr);
  EXPECT_NE(std::strstr(moorland->texts[0], "~I1,07"), nullptr);
  const CGrimoireChapter& bestiary = db->chapters[4];
  for (int s = 2; s < kGrimoireSlots && bestiary.Slot(s) && bestiary.Slot(s)->name; ++s)
    EXPECT_LT(*bestiary.Slot(s - 1)->name, *bestiary.Slot(s)->name);
  // Each level tells more than the one before.
  const CGrimoireSection* region = db->FindSection(1, 2);
  ASSERT_NE(region, nullptr);
  for (int level = 1; level < kKnowledgeLevels; ++level)
    EXPECT_GT(std::strlen(region->texts[static_cast<size_t>(level)]),
              std::strlen(region->texts[static_cast<size_t>(level - 1)]));
}

}  // namespace
