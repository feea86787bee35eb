#include <gtest/gtest.h>

#include <functional>

#include "core/Bytes.h"
#include "forge/RiffWriter.h"
#include "forge/SoundSets.h"
#include "forge/Wave.h"
#include "platform/Riff.h"
#include "sound/WaveFile.h"
#include "support/TestSupport.h"

using testing_support::ForgedDataDir;
using testing_support::TempDir;

namespace {

TEST(WaveFile, ReadsBackEverySampleTheForgeWrote) {
  for (const forge::SampleWave& sample : forge::SampleWaves()) {
    SCOPED_TRACE(sample.name);
    CWaveFile wave;
    ASSERT_EQ(wave.Open((ForgedDataDir() + "/samples/wave/" + sample.name + ".wav").c_str()), 1);
    WaveFormat format;
    ASSERT_EQ(wave.ReadFormat(&format), 1);
    const uint16_t blockAlign = static_cast<uint16_t>(sample.layout.channels * sample.layout.bits / 8);
    EXPECT_EQ(format.formatTag, 1);
    EXPECT_EQ(format.channels, sample.layout.channels);
    EXPECT_EQ(format.samplesPerSec, sample.layout.rate);
    EXPECT_EQ(format.avgBytesPerSec, sample.layout.rate * blockAlign);
    EXPECT_EQ(format.blockAlign, blockAlign);
    EXPECT_EQ(format.bitsPerSample, sample.layout.bits);
    EXPECT_EQ(format.extraSize, 0);
    std::vector<uint8_t> expected = forge::EncodeSamples(sample.layout, sample.samples);
    ASSERT_EQ(wave.GetDataSize(), expected.size());
    std::vector<uint8_t> data(expected.size());
    uint8_t* target = data.data();
    EXPECT_EQ(wave.ReadData(&target, static_cast<uint32_t>(data.size())), expected.size());
    EXPECT_EQ(data, expected);
  }
}

TEST(WaveFile, ReadDataCopiesAtMostTheCapacityOrMakesABlock) {
  std::vector<int16_t> samples = {1, 2, 3, 4, 5};
  CWaveFile wave;
  ASSERT_EQ(wave.OpenImage(forge::WaveFileBytes({}, samples)), 1);
  std::vector<uint8_t> small(4, 0xEE);
  uint8_t* target = small.data();
  EXPECT_EQ(wave.ReadData(&target, 4), 4u);
  EXPECT_EQ(small, (std::vector<uint8_t>{1, 0, 2, 0}));

  uint8_t* block = nullptr;
  EXPECT_EQ(wave.ReadData(&block, 0), 10u);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[8], 5);
  CWaveFile::FreeData(block);
}

TEST(WaveFile, OpeningAnotherFileReleasesTheFirst) {
  TempDir dir;
  dir.Write("a.wav", forge::WaveFileBytes({}, std::vector<int16_t>(100, 7)));
  dir.Write("b.wav", forge::WaveFileBytes({}, std::vector<int16_t>(3, 7)));
  CWaveFile wave;
  ASSERT_EQ(wave.Open(dir.File("a.wav").c_str()), 1);
  ASSERT_EQ(wave.Open(dir.File("b.wav").c_str()), 1);
  EXPECT_EQ(wave.GetDataSize(), 6u);
  EXPECT_EQ(wave.Open(dir.File("missing.wav").c_str()), 0);
  EXPECT_FALSE(wave.HasImage());
  EXPECT_EQ(wave.GetDataSize(), 0u);
  WaveFormat format;
  EXPECT_EQ(wave.ReadFormat(&format), 0);
}

// Builds a WAVE image chunk by chunk, so a test can break one piece.
std::vector<uint8_t> Image(const std::function<void(forge::RiffWriter&)>& body, const char* form = "WAVE") {
  forge::RiffWriter riff;
  size_t handle = riff.Open("RIFF", form);
  body(riff);
  riff.Close(handle);
  return riff.Data();
}

void Format(forge::RiffWriter& riff, size_t size = 16) {
  bytes::Writer format;
  format.U16(1);
  format.U16(1);
  format.U32(22050);
  format.U32(44100);
  format.U16(2);
  format.U16(16);
  format.Zeros(size > 16 ? size - 16 : 0);
  std::vector<uint8_t> bytes = format.Data();
  bytes.resize(size);
  riff.Chunk("fmt ", bytes);
}

void Data(forge::RiffWriter& riff) { riff.Chunk("data", std::vector<uint8_t>{1, 0, 2, 0}); }

TEST(WaveFile, FindsChunksInAnyOrderPastOtherChunks) {
  CWaveFile wave;
  std::vector<uint8_t> image = Image([](forge::RiffWriter& riff) {
    riff.Chunk("LIST", std::vector<uint8_t>{'I', 'N', 'F', 'O', 'x'});  // odd size: a pad byte follows
    Data(riff);
    Format(riff, 18);
  });
  ASSERT_EQ(wave.OpenImage(image), 1);
  EXPECT_EQ(wave.GetDataSize(), 4u);
  WaveFormat format;
  ASSERT_EQ(wave.ReadFormat(&format), 1);
  EXPECT_EQ(format.samplesPerSec, 22050u);
}

TEST(WaveFile, RefusesMalformedImages) {
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
  };
  std::vector<uint8_t> good = Image([](forge::RiffWriter& riff) {
    Format(riff);
    Data(riff);
  });
  std::vector<uint8_t> dataBeyondFile = good;
  bytes::StoreU32(dataBeyondFile.data() + dataBeyondFile.size() - 8, 1000);  // the data chunk's size
  std::vector<uint8_t> riffBeyondFile = good;
  bytes::StoreU32(riffBeyondFile.data() + 4, 5000);
  std::vector<Case> cases = {
      {"empty", {}},
      {"not RIFF", std::vector<uint8_t>(64, 'x')},
      {"another form", Image(
                           [](forge::RiffWriter& riff) {
                             Format(riff);
                             Data(riff);
                           },
                           "AVI ")},
      {"no format", Image([](forge::RiffWriter& riff) { Data(riff); })},
      {"no data", Image([](forge::RiffWriter& riff) { Format(riff); })},
      {"short format", Image([](forge::RiffWriter& riff) {
         Format(riff, 14);
         Data(riff);
       })},
      {"data beyond the file", dataBeyondFile},
      {"form beyond the file", riffBeyondFile},
      {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 3)},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 10)},
  };
  ASSERT_EQ(CWaveFile().OpenImage(good), 1);
  for (const Case& c : cases) {
    CWaveFile wave;
    EXPECT_EQ(wave.OpenImage(c.image), 0) << c.name;
    EXPECT_FALSE(wave.HasImage()) << c.name;
    EXPECT_EQ(wave.GetDataSize(), 0u) << c.name;
  }
}

TEST(RiffImage, StopsAtAChildThatDoesNotFitItsParent) {
  std::vector<uint8_t> image = Image([](forge::RiffWriter& riff) {
    size_t list = riff.Open("LIST", "abcd");
    riff.Chunk("in  ", std::vector<uint8_t>{1, 2, 3});
    riff.Close(list);
    riff.Chunk("next", std::vector<uint8_t>{9});
  });
  platform::RiffImage riff(image);
  auto form = riff.Form(platform::FourCC("WAVE"));
  ASSERT_TRUE(form);
  auto list = riff.FindChild(*form, platform::RiffImage::kList, platform::FourCC("abcd"));
  ASSERT_TRUE(list);
  auto inner = riff.FindChild(*list, platform::FourCC("in  "));
  ASSERT_TRUE(inner);
  EXPECT_EQ(riff.Data(*inner).size(), 3u);
  EXPECT_TRUE(riff.FindChild(*form, platform::FourCC("next")));
  EXPECT_FALSE(riff.FindChild(*list, platform::FourCC("next")));  // outside the list

  // The inner chunk claims more than its list holds: the list is broken from there on.
  bytes::StoreU32(image.data() + inner->offset + 4, 100);
  platform::RiffImage broken(image);
  EXPECT_FALSE(broken.FindChild(*list, platform::FourCC("in  ")));
  EXPECT_FALSE(broken.ForEachChild(*list, [](const platform::RiffChunk&) { return true; }));
}

}  // namespace
