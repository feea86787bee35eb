// Cells whose terrain is stepped through the frames of a terrain animation sequence.
#include "map/Map.h"

std::list<CAnimatedCell>::iterator CMap::FindAnimatedCell(const CMapCell* cell) {
  for (auto it = animatedCells.begin(); it != animatedCells.end(); ++it)
    if (it->cell == cell) return it;
  return animatedCells.end();
}

void CMap::AnimateCell(CMapCell* cell, int sequence, ITerrainAnimation* animation, int frames) {
  if (!cell || cell->IsAnimated()) return;
  if (!animation) animation = TerrainAnimation();
  if (!animation || !animation->HasSequence(sequence)) return;
  CAnimatedCell entry{cell, animation->NewPlayer()};
  entry.player->Start(sequence);
  for (int i = 1; i < frames; ++i) entry.player->Advance();
  int frame = entry.player->CurrentFrame();
  animatedCells.push_back(std::move(entry));
  cell->SetTerrain(frame);
}

bool CMap::StartCellAnimation(CMapCell* cell, int sequence) {
  ITerrainAnimation* animation = TerrainAnimation();
  if (!cell || !animation || !animation->HasSequence(sequence)) return false;
  CAnimatedCell entry{cell, animation->NewPlayer()};
  entry.player->Start(sequence);
  cell->terrain =
      static_cast<uint16_t>(g_terrainTypes.IsValid(entry.player->CurrentFrame()) ? entry.player->CurrentFrame() : 0);
  animatedCells.push_back(std::move(entry));
  return true;
}

void CMap::StepCellAnimations() {
  for (auto it = animatedCells.begin(); it != animatedCells.end();) {
    ITerrainAnimPlayer& player = *it->player;
    player.Advance();
    CMapCell* cell = it->cell;
    if (!player.IsPlaying()) {
      if (cell) {
        cell->state &= static_cast<uint16_t>(~state_bits::kAnimated);
        cell->SetTerrainFrame(player.CurrentFrame());
      }
      it = animatedCells.erase(it);
      continue;
    }
    if (cell) cell->SetTerrainFrame(player.CurrentFrame());
    ++it;
  }
}

void CMap::StopCellAnimation(CMapCell* cell, int type) {
  auto it = FindAnimatedCell(cell);
  if (!cell || it == animatedCells.end()) return;
  cell->state &= static_cast<uint16_t>(~state_bits::kAnimated);
  cell->SetTerrain(type);
  animatedCells.erase(it);
}

void CMap::FinishCellAnimation(CMapCell* cell) {
  auto it = FindAnimatedCell(cell);
  if (cell && it != animatedCells.end()) it->player->SetLoopBreak();
}
