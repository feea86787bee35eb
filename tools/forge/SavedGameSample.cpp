// A saved game with a battle map in it, as a sample for the readers' tests and a seed for
// fuzzing: the header, the realm block, empty parts of the subsystems that write none yet,
// and a battle part of the map's block (a small map with a floor), an empty path network,
// an idle tile overlay and no segments.
#include <string>

#include "core/Bytes.h"
#include "forge/Forge.h"
#include "forge/TerrainTypes.h"

namespace {

constexpr int kWidth = 43, kHeight = 43, kLevels = 4;

void EmptyList(bytes::Writer& out) {
  for (int32_t word : {0, 0, 1, 0, 0}) out.I32(word);  // header, then the count
}

void MapBlock(bytes::Writer& out) {
  const int perLevel = kWidth * kHeight, count = perLevel * kLevels;
  for (int32_t word : {6, kWidth, kHeight, kLevels, perLevel, count, 1, 1}) out.I32(word);
  out.Zeros(8 * 4);
  for (int32_t word : {512, -1, -1}) out.I32(word);
  for (int i = 0; i < count; ++i) {
    uint16_t terrain = i < perLevel ? forge::terrain::kGrass : 0;
    for (uint16_t word : {terrain, uint16_t{0xFFFF}, uint16_t{0xFFFF}, uint16_t{0xFFFF}, uint16_t{0}, uint16_t{0}})
      out.U16(word);
  }
  out.I32(20);  // section size
  EmptyList(out);
  EmptyList(out);
  out.Zeros(15 * 5 * 4);                         // regions of power
  for (int i = 0; i < 15 * 8; ++i) out.I32(-1);  // nobody holds them
  out.Zeros(15 * 8 * 4 + 28 * 4 + 123 * 4);      // counters, deployment and map tables
  const int light = perLevel * ((kLevels + 1) / 2);
  out.I32(light);
  for (int i = 0; i < light; ++i) out.I8(-127);
  out.I32(0);                                          // animated cells
  for (int32_t word : {1, 2, 0, 3, 0}) out.I32(word);  // water level, regions, mana sprites, limits
  EmptyList(out);                                      // event areas
}

void EmptyPathNetwork(bytes::Writer& out) {
  out.I32(0);
  out.Zeros(28);
  for (int i = 0; i < 1000 * 3; ++i) out.I32(-1);
  out.Zeros(36 * 292);
  for (int32_t word : {0, 0, -1, 0, 0, 0, 0}) out.I32(word);
  out.Zeros(28);
  out.I32(0);
  out.I32(0);
}

FORGE_STEP(SampleSavedGame) {
  bytes::Writer out;
  out.Bytes("SAV\0", 4);
  out.I32(16);
  out.I32(0);  // patched below
  out.FixedString("realms\\moorland\\moorland.cfg", 256);
  out.FixedString("moorland", 256);
  for (int32_t word : {0, 0, 0, 1}) out.I32(word);  // game settings; difficulty 1
  out.I32(9);                                       // a battle follows
  for (int32_t word : {2, 1234, 99, 0, 0, 0}) out.I32(word);
  MapBlock(out);
  EmptyPathNetwork(out);
  out.I32(0);  // tile overlay: idle
  out.I32(0);  // segments: none
  out.PatchU32(8, static_cast<uint32_t>(out.Size()));
  ctx.WriteFile("samples\\save\\battle.sav", out.Data());
}

}  // namespace
