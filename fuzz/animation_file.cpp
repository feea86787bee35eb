// Feeds arbitrary bytes to the animation loader (from a memory stream), then plays every
// sequence it accepts: forwards, backwards, leaving loops, switching, seeking and saving.
// The loader's fatal boxes end in the exit hook, which the harness catches.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "graphics/Animation.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace {
struct Ended {};

void Play(CAnimation& animation) {
  CAnimPlayer player;
  player.SetAnimation(&animation);
  const int sequences = animation.SequenceCount() < 8 ? animation.SequenceCount() : 8;
  for (int n = 0; n < sequences; ++n) {
    for (int backwards : {0, 1}) {
      player.Start(n, backwards);
      for (int tick = 0; tick < (backwards ? 3 : 24) && player.playing; ++tick) {
        player.Advance();
        player.PeekNextFrame();
        if (tick == 5) player.loopBreak = 1;
        if (tick == 9) player.ExitLoop();
        if (tick == 12) player.SwitchSequence((n + 1) % sequences);
      }
      char buffer[64];
      FILE* stream = fmemopen(buffer, sizeof buffer, "w+b");
      if (!stream) continue;
      player.Save(stream);
      std::rewind(stream);
      player.Load(stream);
      std::fclose(stream);
      player.SeekTo(n + 2);
      player.RunToFrame();
    }
    animation.GetFirstFrame(n);
    animation.HasSteps(3, n);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool setUp = [] {
    platform::SetMessageBoxHandler([](const platform::MessageBoxCall&) { return 1; });
    platform::SetExitHook([](int) { throw Ended{}; });
    return true;
  }();
  (void)setUp;
  std::vector<uint8_t> copy(data, data + size);
  FILE* file = fmemopen(copy.empty() ? nullptr : copy.data(), copy.size(), "rb");
  if (!file) return 0;
  CAnimation animation(0);
  try {
    if (animation.LoadFromStream(file, "fuzz.ani")) Play(animation);
  } catch (const Ended&) {
  }
  std::fclose(file);
  return 0;
}
