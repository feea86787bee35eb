// Movies as other tools write them: FFmpeg's file whose ADPCM sound stream comes before the
// picture stream (tests/fixtures/movie/make.sh) plays as a silent movie, frame for frame as
// FFmpeg decodes it; a movie that goes on in an OpenDML "AVIX" section plays every frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "forge/Movies.h"
#include "forge/RiffWriter.h"
#include "platform/AviFile.h"
#include "platform/Files.h"
#include "platform/Pixels.h"
#include "support/TestSupport.h"

namespace {

std::string Fixture(const std::string& name) { return std::string(VRASK_SOURCE_DIR) + "/tests/fixtures/movie/" + name; }

TEST(MoviesFromTools, AnUnplayableSoundStreamFirstLeavesASilentMovie) {
  std::vector<uint8_t> image, frames;
  ASSERT_TRUE(platform::ReadWholeFile(Fixture("sound-first.avi"), image));
  ASSERT_TRUE(platform::ReadWholeFile(Fixture("frames.rgb"), frames));
  platform::AviFile avi;
  ASSERT_TRUE(avi.Parse(image));
  EXPECT_FALSE(avi.HasSound());
  ASSERT_EQ(avi.Width(), 8);
  ASSERT_EQ(avi.Height(), 6);
  ASSERT_EQ(avi.FrameCount() * 8 * 6 * 3, frames.size());
  std::vector<uint16_t> pixels(8 * 6);
  for (size_t frame = 0; frame < avi.FrameCount(); ++frame) {
    avi.DecodeFrame(frame, pixels.data(), false);
    for (size_t i = 0; i < pixels.size(); ++i) {
      const uint8_t* rgb = frames.data() + (frame * pixels.size() + i) * 3;
      ASSERT_EQ(pixels[i], platform::PackRgb(rgb[0], rgb[1], rgb[2], false)) << "frame " << frame << " pixel " << i;
    }
  }
}

// A forged movie followed by an "AVIX" section holding further frames and sound: every frame
// plays, as a file over 1 GB written by an OpenDML writer would.
TEST(MoviesFromTools, FramesInAnOpenDmlSectionPlayToo) {
  const forge::MovieSpec spec = forge::SampleMovieSpec();
  std::vector<uint8_t> image = forge::MovieFileBytes(spec);
  platform::AviFile first;
  ASSERT_TRUE(first.Parse(image));
  const size_t pictureBytes = (static_cast<size_t>(spec.width) * spec.bits / 8 + 3) / 4 * 4 * spec.height;
  forge::RiffWriter more;
  const size_t section = more.Open("RIFF", "AVIX");
  const size_t list = more.Open("LIST", "movi");
  for (int i = 0; i < 5; ++i) {
    more.Chunk("00db", std::vector<uint8_t>(pictureBytes, static_cast<uint8_t>(0x10 * i)));
    more.Chunk("01wb", std::vector<uint8_t>(40, 0));
  }
  more.Close(list);
  more.Close(section);
  image.insert(image.end(), more.Data().begin(), more.Data().end());
  platform::AviFile avi;
  ASSERT_TRUE(avi.Parse(image));
  EXPECT_EQ(avi.FrameCount(), first.FrameCount() + 5);
  EXPECT_EQ(avi.SoundSamples().size(), first.SoundSamples().size() + 5 * 40);
  std::vector<uint16_t> pixels(static_cast<size_t>(spec.width) * spec.height);
  avi.DecodeFrame(avi.FrameCount() - 1, pixels.data(), false);
  EXPECT_EQ(pixels[0], platform::From555(0x4040, false));

  // A section cut short is a broken file, as a cut first section is.
  image.resize(image.size() - 10);
  EXPECT_FALSE(avi.Parse(image));
}

}  // namespace
