// Feeds arbitrary bytes to the realm record's saved-game reader. A record read must be sound
// (counts, player, regions, owners, path slots) and write back the same bytes; a refused one
// leaves the record as it was. Inputs shorter than a record are also tried padded with zeros,
// so that the fuzzer reaches whole records without a seed.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frontend/RealmState.h"

namespace {

void TryRecord(const uint8_t* data, size_t size) {
  CRealmState state;
  state.wizardCount = 2;
  bytes::Writer before;
  state.Write(before);
  if (!state.Read(data, size)) {
    bytes::Writer after;
    state.Write(after);
    if (after.Data() != before.Data()) std::abort();
    return;
  }
  if (state.wizardCount < 0 || state.wizardCount > kRealmWizards || state.playerWizard >= state.wizardCount ||
      state.lastRegion < -1 || state.lastRegion > kRealmRegions)
    std::abort();
  for (int r = 0; r <= kRealmRegions + 1; ++r) state.CountWizardsInRegion(r);
  bytes::Writer written;
  state.Write(written);
  if (written.Size() != size || std::memcmp(written.Data().data(), data, size) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TryRecord(data, size);
  if (size < static_cast<size_t>(kRealmStateBytes)) {
    std::vector<uint8_t> padded(kRealmStateBytes, 0);
    std::memcpy(padded.data(), data, size);
    TryRecord(padded.data(), padded.size());
  }
  return 0;
}
