// WAVE files written by other tools (SoX, FFmpeg; see tests/fixtures/sound/make.sh) read
// sample for sample as FFmpeg itself decodes them, in their plain and extensible forms, and
// the sound buffers take their formats.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/AudioMixer.h"
#include "platform/Files.h"
#include "sound/WaveFile.h"

namespace {

std::string Fixture(const std::string& name) { return std::string(VRASK_SOURCE_DIR) + "/tests/fixtures/sound/" + name; }

TEST(WavesFromTools, PlainAndExtensiblePcmReadAsTheToolsDecodeThem) {
  struct Case {
    const char* name;
    uint32_t rate;
    uint16_t bits;
  };
  for (const Case& c : {Case{"plain16", 22050, 16}, Case{"extensible16", 96000, 16}, Case{"extensible8", 96000, 8}}) {
    CWaveFile wave;
    ASSERT_EQ(wave.Open(Fixture(std::string(c.name) + ".wav").c_str()), 1) << c.name;
    WaveFormat format;
    ASSERT_EQ(wave.ReadFormat(&format), 1);
    EXPECT_EQ(format.formatTag, 1) << c.name;  // extensible PCM is PCM
    EXPECT_EQ(format.channels, 1) << c.name;
    EXPECT_EQ(format.samplesPerSec, c.rate) << c.name;
    EXPECT_EQ(format.bitsPerSample, c.bits) << c.name;
    std::vector<uint8_t> decoded;
    ASSERT_TRUE(platform::ReadWholeFile(Fixture(std::string(c.name) + ".raw"), decoded));
    uint8_t* block = nullptr;
    ASSERT_EQ(wave.ReadData(&block, 0), decoded.size()) << c.name;
    EXPECT_EQ(std::vector<uint8_t>(block, block + decoded.size()), decoded) << c.name;
    CWaveFile::FreeData(block);

    platform::AudioMixer mixer;
    std::unique_ptr<platform::SoundBuffer> buffer;
    EXPECT_EQ(mixer.CreateBuffer(ToPcmFormat(format), decoded.size(), buffer), platform::kAudioOk) << c.name;
  }
}

TEST(WavesFromTools, AnExtensibleBlockOfAnotherKindStaysRefused) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile(Fixture("extensible16.wav"), bytes));
  std::vector<uint8_t> chunk(bytes.begin() + 20, bytes.begin() + 60);  // the 40-byte "fmt " data
  EXPECT_EQ(platform::PcmFormatOf(chunk).formatTag, 1);
  chunk[24] = 3;  // IEEE floats
  EXPECT_EQ(platform::PcmFormatOf(chunk).formatTag, 3);
  chunk[24] = 1;
  chunk[39] = 0;  // not the PCM family's GUID
  EXPECT_EQ(platform::PcmFormatOf(chunk).formatTag, 0xFFFE);
  EXPECT_FALSE(platform::IsPlayableFormat(platform::PcmFormatOf(chunk)));
}

}  // namespace
