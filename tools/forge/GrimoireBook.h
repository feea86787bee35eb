#pragma once
// What the grimoire's forged text and art share: the book's geometry in the 800 x 600 frame
// (scaled by 8/10 for 640 x 480), the chapters' names and icons, and the pictures the text
// names.

#include <array>

namespace forge::grimoire {

inline constexpr const char* kFolder = "Interface\\Grimoire\\";

// The open book's pages on the backdrop, in screen pixels.
inline constexpr int kPageTop = 30, kPageBottom = 570;
inline constexpr int kLeftPageLeft = 34, kLeftPageRight = 394;
inline constexpr int kRightPageLeft = 406, kRightPageRight = 766;
inline constexpr int kEdgeWidth = 30;

// Buttons, screen pixels: close, the page turns, the tabs (tab n at kTabTop + (n - 1) x kTabStep).
inline constexpr int kCloseX = 746, kCloseY = 4;
inline constexpr int kTurnBackX = 44, kTurnForwardX = 716, kTurnY = 532;
inline constexpr int kTabTop = 58, kTabStep = 60, kTabWidth = 28, kTabHeight = 52;
inline constexpr int kLeftTabX = 2, kRightTabX = 770;
inline constexpr int kIconSize = 36;
inline constexpr int kTurnWidth = 40, kTurnHeight = 30;

// Frames of Generic\Icons.spr, the contents entries' icons.
enum Icon : int {
  kIconBook = 0,
  kIconSwords = 1,
  kIconMap = 2,
  kIconFlag = 3,
  kIconIsland = 4,
  kIconCrown = 5,
  kIconPaw = 6,
  kIconStar = 7,
  kIconRing = 8,
  kIconScroll = 9,
  kIconTower = 10,
  kIconLaw = 11,
  kIconNeutral = 12,
  kIconVrask = 13,
  kIconCount = 14,
};

struct ChapterInfo {
  const char* name;
  int icon;
};
inline constexpr std::array<ChapterInfo, 8> kChapters{{
    {"Multiplayer", kIconSwords},
    {"The Moorland", kIconMap},
    {"The Isles", kIconIsland},
    {"The Kingdom", kIconCrown},
    {"Bestiary", kIconPaw},
    {"Spells and Magic Items", kIconStar},
    {"Lore", kIconScroll},
    {"Notes", kIconBook},
}};
inline constexpr int kBestiaryChapter = 4;
inline constexpr int kSpellChapter = 5;

// The pictures the text shows: bitmaps per resolution, PCX images in the Generic folder.
inline constexpr std::array<const char*, 3> kBitmapPictures{"Moorland.bmp", "Tower.bmp", "Battle.BMP"};
inline constexpr std::array<const char*, 2> kPcxPictures{"Rune.pcx", "Seal.PCX"};

}  // namespace forge::grimoire
