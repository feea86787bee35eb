#include "frontend/FrontEndMagic.h"

#include <algorithm>

void IFrontEndMagic::DrawItems(int32_t& count, uint8_t items[kMagicItemCount], int32_t) {
  count = std::clamp<int32_t>(count, 0, kMagicItemCount);
  for (int32_t i = 0; i < count; ++i) items[i] = static_cast<uint8_t>(i);
}

namespace {
IFrontEndMagic g_neutralMagic;
IFrontEndMagic* g_magic = &g_neutralMagic;
}  // namespace

IFrontEndMagic& FrontEndMagic() { return *g_magic; }

void InstallFrontEndMagic(IFrontEndMagic* magic) { g_magic = magic ? magic : &g_neutralMagic; }
