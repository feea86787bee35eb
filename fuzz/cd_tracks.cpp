// Feeds arbitrary bytes to the CD stand-in as the tracks of a disc: the RIFF walk that finds
// each track's format and samples, one track alone and two in a row.
#include <cstdint>

#include "FuzzFiles.h"
#include "platform/AudioOutput.h"
#include "platform/CdDrive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    fuzz::Folder("cd_tracks");
    platform::SetManualAudioOutput(true);
    return platform::MakeDirectory(fuzz::InFolder("disc"));
  }();
  if (!ready) return 0;
  fuzz::WriteInput("disc/track01.wav", data, size);
  fuzz::WriteInput("disc/track02.wav", data, size);
  platform::CdDrive drive;
  if (drive.Open(fuzz::InFolder("disc")) != 0) return 0;
  int count = 0;
  drive.GetTrackCount(&count);
  drive.Play(1, 2, nullptr);
  drive.Play(1, 0, nullptr);
  drive.Stop();
  drive.Close();
  return 0;
}
