// The music: the disc's audio tracks (cdaudio\trackNN.wav) and cfg/music.cfg, which names the
// title track and the battle tracks of each realm.
#include <cmath>
#include <cstdio>
#include <vector>

#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/Wave.h"

namespace {

constexpr int kTrackCount = 6;
constexpr double kTrackSeconds = 4.0;

// A short progression of chords in a key of its own for each track.
std::vector<int16_t> TrackSamples(int track, uint32_t rate) {
  const double root = 110.0 * std::pow(2.0, (track * 5 % 12) / 12.0);
  const double progression[4] = {1.0, 4.0 / 3.0, 1.5, 9.0 / 8.0};
  const double bar = kTrackSeconds / 4;
  forge::Synth synth(rate, kTrackSeconds);
  for (int i = 0; i < 4; ++i) {
    double chordRoot = root * progression[(i + track) % 4];
    synth.Chord(i * bar, bar, {chordRoot, chordRoot * 1.25, chordRoot * 1.5, chordRoot * 2}, 0.5);
    // A melody note on each beat.
    for (int beat = 0; beat < 4; ++beat)
      synth.Tone(i * bar + beat * bar / 4, bar / 4, chordRoot * (2 + (beat + track) % 3 * 0.25), 0.2, 2, 3);
  }
  return synth.Render();
}

FORGE_STEP(MusicTracks) {
  const forge::WaveLayout layout{1, 22050, 16, false};
  for (int track = 1; track <= kTrackCount; ++track) {
    char name[32];
    std::snprintf(name, sizeof name, "cdaudio\\track%02d.wav", track);
    ctx.WriteFile(name, forge::WaveFileBytes(layout, TrackSamples(track, layout.rate)));
  }
  forge::IniText ini;
  ini.Comment("Music tracks of the disc: the title track, and the battle tracks of each realm");
  ini.Section("GENERAL").Key("mainTrack", 1);
  ini.Section("BATTLE_TRACKS").Key("Default", "2,3,4,5,6").Key("Moorland", "2,3,4").Key("Multiplayer", "4,5,6");
  ctx.WriteText("cfg\\music.cfg", ini.Text());
}

}  // namespace
