#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/Bytes.h"
#include "forge/Movies.h"
#include "graphics/GraphicsFixtures.h"
#include "platform/AudioOutput.h"
#include "platform/AviFile.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/KeyState.h"
#include "sound/MoviePlayer.h"
#include "support/TestSupport.h"

using testing_support::ForgedDataDir;

namespace {

uint16_t Expected(const forge::MovieSpec& spec, int frame, int x, int y, bool is555) {
  forge::Rgb c = forge::MoviePixel(spec, frame, x, y);
  if (spec.bits == 16) {
    // Stored as 5-5-5: green's sixth bit repeats its top bit on a 5-6-5 display.
    uint16_t g = c.g >> 3;
    if (is555) return static_cast<uint16_t>((c.r >> 3) << 10 | g << 5 | c.b >> 3);
    return static_cast<uint16_t>((c.r >> 3) << 11 | (g << 1 | g >> 4) << 5 | c.b >> 3);
  }
  if (is555) return static_cast<uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3);
  return static_cast<uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3);
}

void ExpectFramesMatch(const platform::AviFile& avi, const forge::MovieSpec& spec, bool is555) {
  std::vector<uint16_t> pixels(static_cast<size_t>(spec.width) * spec.height);
  for (int frame = 0; frame < spec.frames; ++frame) {
    avi.DecodeFrame(static_cast<size_t>(frame), pixels.data(), is555);
    int wrong = 0;
    for (int y = 0; y < spec.height; ++y)
      for (int x = 0; x < spec.width; ++x)
        wrong += pixels[static_cast<size_t>(y) * spec.width + x] != Expected(spec, frame, x, y, is555);
    EXPECT_EQ(wrong, 0) << "frame " << frame;
  }
}

std::vector<uint8_t> ReadForged(const std::string& name) {
  std::vector<uint8_t> image;
  EXPECT_TRUE(platform::ReadWholeFile(ForgedDataDir() + "/" + name, image));
  return image;
}

TEST(AviFile, ReadsTheForgedMoviesFrameByFrame) {
  struct Case {
    const char* file;
    forge::MovieSpec spec;
  };
  for (const Case& c :
       {Case{"samples/movie/sample.avi", forge::SampleMovieSpec()}, Case{"fmv/intro0.avi", forge::IntroMovieSpec(0)},
        Case{"fmv/intro1.avi", forge::IntroMovieSpec(1)}}) {
    SCOPED_TRACE(c.file);
    platform::AviFile avi;
    ASSERT_TRUE(avi.Parse(ReadForged(c.file)));
    EXPECT_EQ(avi.Width(), c.spec.width);
    EXPECT_EQ(avi.Height(), c.spec.height);
    EXPECT_EQ(avi.FrameCount(), static_cast<size_t>(c.spec.frames));
    EXPECT_EQ(avi.MicroSecondsPerFrame(), 1000000u / c.spec.framesPerSecond);
    ASSERT_TRUE(avi.HasSound());
    EXPECT_EQ(avi.SoundFormat().samplesPerSec, c.spec.sound.rate);
    EXPECT_EQ(avi.SoundSamples().size(),
              static_cast<size_t>(c.spec.sound.rate * c.spec.frames / c.spec.framesPerSecond * c.spec.sound.bits / 8));
    ExpectFramesMatch(avi, c.spec, false);
    ExpectFramesMatch(avi, c.spec, true);
  }
}

TEST(AviFile, RefusesMalformedMovies) {
  const std::vector<uint8_t> good = ReadForged("samples/movie/sample.avi");
  platform::AviFile avi;
  ASSERT_TRUE(avi.Parse(good));
  // Where things lie in the sample: find them rather than hard-code offsets.
  auto find = [&](const char* text) {
    return static_cast<size_t>(std::search(good.begin(), good.end(), text, text + 4) - good.begin());
  };
  auto patched = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> image = good;
    bytes::StoreU32(image.data() + at, value);
    return image;
  };
  const size_t bitmap = find("strf") + 8;  // the first strf is the video's picture header
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
      {"a WAVE form", patched(8, platform::FourCC("WAVE"))},
      {"no movie list", patched(find("movi"), platform::FourCC("mova"))},
      {"no header list", patched(find("hdrl"), platform::FourCC("hdrx"))},
      {"compressed frames", patched(bitmap + 16, platform::FourCC("MJPG"))},
      {"8-bit frames", patched(bitmap + 12, 0x00080001)},
      {"too wide", patched(bitmap + 4, 100000)},
      {"no height", patched(bitmap + 8, 0)},
      {"a frame too small", patched(find("00db") + 4, 8)},
      {"a frame beyond its list", patched(find("00db") + 4, 0x7FFFFFFF)},
  };
  for (const Case& c : cases) EXPECT_FALSE(avi.Parse(c.image)) << c.name;
  EXPECT_EQ(avi.FrameCount(), 0u);
}

class MoviePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetManualAudioOutput(true);
    platform::SetTickSource([this] { return tick_ += 100; });
    platform::SetKeyStateSource([this](int key) {
      return key == platform::kKeyEscape && escapeAfter_ >= 0 && target_.FramesDrawn() >= escapeAfter_;
    });
  }
  void TearDown() override {
    platform::SetKeyStateSource({});
    platform::SetTickSource({});
    platform::SetManualAudioOutput(false);
  }
  std::string Intro(int number) { return ForgedDataDir() + "/fmv/intro" + std::to_string(number) + ".avi"; }

  uint32_t tick_ = 0;
  int escapeAfter_ = -1;  // Escape is held once this many frames were drawn
  FrameBufferTarget target_{800, 600, false};
};

TEST_F(MoviePlayerTest, PlaysEveryFrameAtItsPlace) {
  const forge::MovieSpec spec = forge::IntroMovieSpec(0);
  EXPECT_TRUE(PlayMovie(Intro(0).c_str(), &target_, 80, 120, 0));
  EXPECT_EQ(target_.FramesDrawn(), spec.frames);
  const int last = spec.frames - 1;
  for (auto [x, y] : {std::pair{0, 0}, std::pair{319, 179}, std::pair{150, 90}})
    EXPECT_EQ(target_.Pixel(80 + x, 120 + y), Expected(spec, last, x, y, false)) << x << "," << y;
  EXPECT_EQ(target_.Pixel(79, 120), 0);
  EXPECT_EQ(target_.Pixel(80, 300), 0);
  // The frames came at their pace: a tenth of a second each.
  EXPECT_GE(tick_, static_cast<uint32_t>(spec.frames * 100));
  EXPECT_EQ(platform::TheMixer().PlayingCount(), 0u);  // its sound track ended with it
}

TEST_F(MoviePlayerTest, EscapeCutsTheMovieShort) {
  escapeAfter_ = 3;
  EXPECT_FALSE(PlayMovie(Intro(1).c_str(), &target_, 0, 60, 0));
  EXPECT_EQ(target_.FramesDrawn(), 3);
  EXPECT_FALSE(platform::AudioOutputIsOpen());

  escapeAfter_ = 0;  // held from the start
  FrameBufferTarget other(640, 480, true);
  EXPECT_FALSE(PlayMovie(Intro(0).c_str(), &other, 0, 60, 0));
  EXPECT_EQ(other.FramesDrawn(), 0);
}

TEST_F(MoviePlayerTest, AMovieThatCannotBePlayedIsSkipped) {
  testing::internal::CaptureStdout();
  EXPECT_TRUE(PlayMovie("fmv/none.avi", &target_, 0, 0, 0));
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed, "pAMStream->OpenFile(wPath, 0)  failed with HRESULT(0x80070002)\n");
  EXPECT_EQ(target_.FramesDrawn(), 0);
}

TEST_F(MoviePlayerTest, WithNoDrawTheMovieRunsUndrawn) {
  EXPECT_TRUE(PlayMovie(Intro(1).c_str(), &target_, 0, 0, 1));
  EXPECT_EQ(target_.FramesDrawn(), 0);
  EXPECT_GE(tick_, 1000u);
}

TEST_F(MoviePlayerTest, TheSoundTrackPlaysWithTheFrames) {
  std::unique_ptr<platform::MovieStream> stream;
  ASSERT_EQ(OpenMovieStream(Intro(0).c_str(), stream), 0);
  ASSERT_EQ(stream->Run(), 0);
  EXPECT_EQ(platform::TheMixer().PlayingCount(), 1u);
  std::vector<uint16_t> pixels(static_cast<size_t>(stream->Width()) * stream->Height());
  while (stream->Update(pixels.data(), false) == platform::kMovieOk) {
  }
  EXPECT_EQ(stream->FramesShown(), 12u);
  stream->Stop();
  EXPECT_EQ(platform::TheMixer().PlayingCount(), 0u);
}

TEST_F(MoviePlayerTest, FramesGoOntoThePrimarySurfaceAndAreShown) {
  graphics_test::OpenDisplay display(true, false);
  ASSERT_TRUE(g_primary.IsCreated());
  const int shownBefore = platform::PresentedFrameCount();
  SurfaceMovieTarget primary(&g_primary);
  const forge::MovieSpec spec = forge::IntroMovieSpec(1);
  EXPECT_TRUE(PlayMovie(Intro(1).c_str(), &primary, 0, 60, 0));
  EXPECT_GE(platform::PresentedFrameCount() - shownBefore, spec.frames);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{319, 179}, std::pair{200, 33}})
    EXPECT_EQ(graphics_test::PixelAt(g_primary, x, 60 + y), Expected(spec, spec.frames - 1, x, y, g_is555 != 0));
  EXPECT_EQ(graphics_test::PixelAt(g_primary, 320, 60), 0);
  // Partly off the surface: clipped, not written past it.
  EXPECT_TRUE(PlayMovie(Intro(0).c_str(), &primary, 500, 400, 0));
  EXPECT_EQ(graphics_test::PixelAt(g_primary, 639, 479), Expected(forge::IntroMovieSpec(0), 11, 139, 79, g_is555 != 0));
  primary.Clear();
  EXPECT_EQ(graphics_test::PixelAt(g_primary, 639, 479), 0);
}

}  // namespace
