#pragma once
// A mixed army on a battle map, for the pictures a person judges the creature art by: one
// figure of every forged creature file (every type, the herald and the six wizard looks),
// each standing on dry ground near a cell, turned its own way, and drawn by the real map view
// through its creature drawing hook. Header only: the suites that use it link the map view
// and the graphics engine.
//
// Frames hang from the centre of the creature's first cell; a two-tile figure is drawn for
// the first view rotation, so in the others its picture moves by the difference the middle
// of its four cells makes on screen.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "forge/CreatureArt.h"
#include "forge/CreatureSequences.h"
#include "forge/CreatureTable.h"
#include "graphics/Animation.h"
#include "graphics/PrintFX.h"
#include "graphics/Sprite.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"

namespace testing_support {

class ArmyOnMap : public IMapViewCreatures {
 public:
  struct Figure {
    std::string name;
    int type = 0;
    bool large = false;
    int height = 1;  // levels
    std::unique_ptr<CAnimation> animation = std::make_unique<CAnimation>(0);
    std::unique_ptr<CSprite> sprite = std::make_unique<CSprite>();
    int cellX = 0, cellY = 0, level = 0;
    int facing = 0;          // world facing 0-7
    int base = 0, step = 0;  // the sequence block and which of its pictures
    bool placed = false;
  };

  // Loads every creature file of the normal set from the current folder (the forged data or
  // a copy of it) with the colour tables the creature loader builds.
  bool Load() {
    for (const forge::CreatureArtFile& file : forge::CreatureArtFiles()) {
      const forge::CreatureRow& row = forge::CreatureTable()[static_cast<size_t>(file.type)];
      Figure figure;
      figure.name = file.name;
      figure.type = file.type;
      figure.large = row.TileSizeXY == 2;
      figure.height = std::max(1, row.TileHeight);
      const std::string ani = std::string("creatures\\") + file.name + ".ani";
      const std::string spr = std::string("creatures\\") + file.name + ".spr";
      if (!figure.animation->Load(ani.c_str()) || !figure.sprite->Load(spr.c_str(), 16)) return false;
      for (int table : {1, 2, 6, 4, 5, 7})
        if (!figure.sprite->BuildColourTables(table, 16)) return false;
      figures.push_back(std::move(figure));
    }
    return !figures.empty();
  }

  // Stands the figures on the free, dry, open ground nearest the cell, three cells apart, each
  // turned its own way and in a pose of its own (most stand; some strike, taunt or idle).
  // Answers how many found a place.
  int Place(CMap& map, int centreX, int centreY) {
    std::vector<std::pair<int, int>> spots;
    for (int j = -7; j <= 7; ++j)
      for (int i = -7; i <= 7; ++i) spots.push_back({i * 3, j * 3});
    std::stable_sort(spots.begin(), spots.end(), [](auto a, auto b) {
      return a.first * a.first + a.second * a.second < b.first * b.first + b.second * b.second;
    });
    std::vector<bool> used(spots.size(), false);
    int placed = 0;
    namespace blocks = forge::creature_blocks;
    static constexpr int kPoses[][2] = {
        {blocks::kStand, 0}, {blocks::kStand, 0}, {blocks::kAttack1, 3}, {blocks::kStand, 0}, {blocks::kTaunt, 2},
        {blocks::kStand, 0}, {blocks::kIdle, 4},  {blocks::kAttack2, 4}, {blocks::kStand, 0}, {blocks::kAttack3, 3}};
    for (size_t f = 0; f < figures.size(); ++f) {
      Figure& figure = figures[f];
      for (size_t s = 0; s < spots.size() && !figure.placed; ++s) {
        if (used[s]) continue;
        const int x = Wrap(centreX + spots[s].first, map.width), y = Wrap(centreY + spots[s].second, map.height);
        const int level = StandingLevel(map, x, y, figure);
        if (level < 0) continue;
        used[s] = true;
        figure.cellX = x;
        figure.cellY = y;
        figure.level = level;
        figure.facing = static_cast<int>((f * 3 + 1) % 8);
        figure.base = kPoses[f % 10][0];
        figure.step = kPoses[f % 10][1];
        figure.placed = true;
        Mark(map, static_cast<int>(f), figure);
        ++placed;
      }
    }
    return placed;
  }

  // Frees the cells the figures hold.
  void Remove(CMap& map) {
    for (Figure& figure : figures) {
      if (!figure.placed) continue;
      ForEachCell(map, figure, [](CMapCell& cell, bool base) {
        cell.state &= static_cast<uint16_t>(~(base ? state_bits::kLiquid : state_bits::kBody));
        cell.occupant = kNoLink;
      });
      figure.placed = false;
    }
  }

  bool GetDrawInfo(int creature, int rotation, CreatureDrawInfo& out) override {
    if (creature < 0 || creature >= static_cast<int>(figures.size())) return false;
    const Figure& figure = figures[static_cast<size_t>(creature)];
    if (!figure.placed) return false;
    const int viewFacing = (figure.facing - 2 * rotation) & 7;
    const int sequence = figure.base + viewFacing;
    int frameStep = -1, seen = 0;
    for (int s = figure.animation->GetSequence(sequence); s <= figure.animation->SequenceEnd(sequence); ++s)
      if (figure.animation->Step(s).kind == kStepFrame && seen++ <= figure.step) frameStep = s;
    if (frameStep < 0) return false;
    const AnimStep& step = figure.animation->Step(frameStep);
    out = CreatureDrawInfo{};
    out.type = figure.type;
    out.x = figure.cellX * 32 + 16;
    out.y = figure.cellY * 32 + 16;
    out.z = figure.level * 16;
    out.body.frame = figure.sprite->GetFrame(step.value);
    out.body.offsetX = step.x;
    out.body.offsetY = step.y;
    out.body.printType = PRT_NORMAL;
    // Sorted at its centre point, the middle of its cells; a large figure's picture follows
    // that middle round.
    out.anchorX = out.x;
    out.anchorY = out.y;
    out.anchorZ = out.z;
    if (figure.large) {
      const ScreenPoint at = g_mapView.MapToScreen(out.x, out.y, out.z);
      const ScreenPoint middle = g_mapView.MapToScreen(out.x + 16, out.y + 16, out.z);
      out.body.offsetX += middle.x - at.x;
      out.body.offsetY += middle.y - at.y - 16;
      out.anchorX += 16;
      out.anchorY += 16;
    }
    return true;
  }

  std::vector<Figure> figures;

 private:
  static int Wrap(int v, int size) { return ((v % size) + size) % size; }

  template <class Visit>
  static void ForEachCell(CMap& map, const Figure& figure, Visit visit) {
    const int size = figure.large ? 2 : 1;
    for (int dz = 0; dz < figure.height && figure.level + dz < map.levels; ++dz)
      for (int dy = 0; dy < size; ++dy)
        for (int dx = 0; dx < size; ++dx)
          visit(map.CellAt(Wrap(figure.cellX + dx, map.width), Wrap(figure.cellY + dy, map.height), figure.level + dz),
                dx == 0 && dy == 0 && dz == 0);
  }

  static void Mark(CMap& map, int slot, const Figure& figure) {
    ForEachCell(map, figure, [slot](CMapCell& cell, bool base) {
      cell.state |= base ? state_bits::kLiquid : state_bits::kBody;
      cell.occupant = static_cast<uint16_t>(slot);
      if (base) cell.shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
    });
  }

  // The open level over the highest terrain of a column; -1 when it is empty.
  static int TopOf(CMap& map, int x, int y) {
    for (int level = map.levels - 1; level >= 1; --level)
      if (map.CellAt(x, y, level - 1).terrain != 0) return level;
    return -1;
  }

  // The level a figure stands on at a cell: the open level over the top of solid, dry ground
  // under every one of its cells, all at one level with room for its height; -1 when there
  // is none.
  static int StandingLevel(CMap& map, int x, int y, const Figure& figure) {
    const int size = figure.large ? 2 : 1;
    int common = -1;
    for (int dy = 0; dy < size; ++dy)
      for (int dx = 0; dx < size; ++dx) {
        const int cx = Wrap(x + dx, map.width), cy = Wrap(y + dy, map.height);
        const int top = TopOf(map, cx, cy);
        if (top < 0 || (common >= 0 && top != common)) return -1;
        const CMapCell& ground = map.CellAt(cx, cy, top - 1);
        if (ground.state & state_bits::kLiquid || ground.occupant != kNoLink || top < map.waterLevel) return -1;
        for (int dz = 0; dz < figure.height; ++dz) {
          if (top + dz >= map.levels) return -1;
          const CMapCell& room = map.CellAt(cx, cy, top + dz);
          if (room.terrain != 0 || room.occupant != kNoLink) return -1;
        }
        common = top;
      }
    // On open ground: every cell round it lies as high (no wall or ledge tops).
    for (int dy = -1; dy <= size; ++dy)
      for (int dx = -1; dx <= size; ++dx)
        if (TopOf(map, Wrap(x + dx, map.width), Wrap(y + dy, map.height)) != common) return -1;
    return common;
  }
};

}  // namespace testing_support
