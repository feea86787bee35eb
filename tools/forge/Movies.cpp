#include "forge/Movies.h"

#include <string>

#include "forge/Forge.h"
#include "forge/RiffWriter.h"

namespace forge {
namespace {

size_t RowBytes(const MovieSpec& spec) { return (static_cast<size_t>(spec.width) * spec.bits + 31) / 32 * 4; }

std::vector<uint8_t> FramePicture(const MovieSpec& spec, int frame) {
  bytes::Writer out;
  const size_t padding = RowBytes(spec) - static_cast<size_t>(spec.width) * spec.bits / 8;
  for (int row = 0; row < spec.height; ++row) {
    int y = spec.topDown ? row : spec.height - 1 - row;
    for (int x = 0; x < spec.width; ++x) {
      Rgb c = MoviePixel(spec, frame, x, y);
      if (spec.bits == 16) {
        out.U16(static_cast<uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3));
      } else {
        out.U8(c.b);
        out.U8(c.g);
        out.U8(c.r);
      }
    }
    out.Zeros(padding);
  }
  return out.Data();
}

std::vector<uint8_t> SoundTrack(const MovieSpec& spec) {
  const double seconds = static_cast<double>(spec.frames) / spec.framesPerSecond;
  Synth synth(spec.sound.rate, seconds);
  for (int i = 0; i * 0.25 < seconds; ++i) synth.Tone(i * 0.25, 0.25, 220.0 * (1 + i % 4 * 0.25), 0.4);
  synth.Noise(0, seconds, 0.1, 0.9, 7);
  return EncodeSamples(spec.sound, synth.Render(spec.sound.channels));
}

void WriteStreamHeader(RiffWriter& riff, const char (&kind)[5], uint32_t scale, uint32_t rate, uint32_t length,
                       uint32_t bufferSize, uint32_t sampleSize, const MovieSpec& spec) {
  size_t header = riff.Open("strh");
  bytes::Writer& out = riff.Out();
  out.Bytes(kind, 4);
  out.U32(0);  // handler
  out.U32(0);  // flags
  out.U16(0);  // priority
  out.U16(0);  // language
  out.U32(0);  // initial frames
  out.U32(scale);
  out.U32(rate);
  out.U32(0);  // start
  out.U32(length);
  out.U32(bufferSize);
  out.U32(0xFFFFFFFF);  // quality: the default
  out.U32(sampleSize);
  out.U16(0);
  out.U16(0);
  out.U16(static_cast<uint16_t>(kind[0] == 'v' ? spec.width : 0));
  out.U16(static_cast<uint16_t>(kind[0] == 'v' ? spec.height : 0));
  riff.Close(header);
}

}  // namespace

MovieSpec IntroMovieSpec(int number) {
  MovieSpec spec;
  spec.width = 320;
  spec.height = 180;
  if (number == 0) {
    spec.bits = 16;
    spec.frames = 12;
    spec.sound = {1, 11025, 8, false};
  } else {
    spec.bits = 24;
    spec.topDown = true;
    spec.frames = 10;
    spec.sound = {1, 22050, 16, false};
  }
  return spec;
}

MovieSpec SampleMovieSpec() {
  MovieSpec spec;
  spec.width = 7;  // rows of 5-5-5 pixels need padding to whole words
  spec.height = 5;
  spec.frames = 4;
  spec.repeatFrame = 2;
  spec.sound = {1, 11025, 8, false};
  return spec;
}

Rgb MoviePixel(const MovieSpec& spec, int frame, int x, int y) {
  if (frame == spec.repeatFrame && frame > 0) --frame;
  const int barLeft = frame * spec.width / spec.frames;
  const int barWidth = spec.width / 10 + 1;
  if (x >= barLeft && x < barLeft + barWidth) return {255, 255, 255};
  return {static_cast<uint8_t>(x * 255 / spec.width), static_cast<uint8_t>(y * 255 / spec.height),
          static_cast<uint8_t>((frame * 40 + x) & 0xFF)};
}

std::vector<uint8_t> MovieFileBytes(const MovieSpec& spec) {
  const bool sound = spec.sound.channels != 0;
  const uint32_t pictureBytes = static_cast<uint32_t>(RowBytes(spec) * spec.height);
  const std::vector<uint8_t> track = sound ? SoundTrack(spec) : std::vector<uint8_t>();
  const uint16_t blockAlign = static_cast<uint16_t>(spec.sound.channels * spec.sound.bits / 8);
  const uint32_t soundBytesPerFrame =
      sound ? static_cast<uint32_t>(track.size() / blockAlign / spec.frames * blockAlign) : 0;

  RiffWriter riff;
  size_t form = riff.Open("RIFF", "AVI ");
  size_t headers = riff.Open("LIST", "hdrl");
  size_t main = riff.Open("avih");
  bytes::Writer& out = riff.Out();
  out.U32(1000000 / spec.framesPerSecond);
  out.U32((pictureBytes + soundBytesPerFrame) * spec.framesPerSecond);
  out.U32(0);     // padding granularity
  out.U32(0x10);  // has an index
  out.U32(static_cast<uint32_t>(spec.frames));
  out.U32(0);
  out.U32(sound ? 2 : 1);
  out.U32(pictureBytes);
  out.U32(static_cast<uint32_t>(spec.width));
  out.U32(static_cast<uint32_t>(spec.height));
  out.Zeros(16);
  riff.Close(main);

  size_t video = riff.Open("LIST", "strl");
  WriteStreamHeader(riff, "vids", 1, static_cast<uint32_t>(spec.framesPerSecond), static_cast<uint32_t>(spec.frames),
                    pictureBytes, 0, spec);
  size_t bitmap = riff.Open("strf");
  out.U32(40);
  out.I32(spec.width);
  out.I32(spec.topDown ? -spec.height : spec.height);
  out.U16(1);
  out.U16(static_cast<uint16_t>(spec.bits));
  out.U32(0);  // uncompressed
  out.U32(pictureBytes);
  out.Zeros(16);
  riff.Close(bitmap);
  riff.Close(video);

  if (sound) {
    size_t audio = riff.Open("LIST", "strl");
    WriteStreamHeader(riff, "auds", blockAlign, spec.sound.rate * blockAlign,
                      static_cast<uint32_t>(track.size() / blockAlign), soundBytesPerFrame, blockAlign, spec);
    size_t format = riff.Open("strf");
    out.U16(1);
    out.U16(spec.sound.channels);
    out.U32(spec.sound.rate);
    out.U32(spec.sound.rate * blockAlign);
    out.U16(blockAlign);
    out.U16(spec.sound.bits);
    out.U16(0);
    riff.Close(format);
    riff.Close(audio);
  }
  riff.Close(headers);

  struct IndexEntry {
    const char* id;
    uint32_t offset, size;
  };
  std::vector<IndexEntry> index;
  size_t movie = riff.Open("LIST", "movi");
  const size_t movieStart = movie + 4;  // index offsets count from the list's type
  size_t soundAt = 0;
  for (int frame = 0; frame < spec.frames; ++frame) {
    std::vector<uint8_t> picture = frame == spec.repeatFrame ? std::vector<uint8_t>() : FramePicture(spec, frame);
    index.push_back({"00db", static_cast<uint32_t>(riff.Size() - movieStart), static_cast<uint32_t>(picture.size())});
    riff.Chunk("00db", picture);
    if (sound) {
      size_t bytes = frame + 1 == spec.frames ? track.size() - soundAt : soundBytesPerFrame;
      index.push_back({"01wb", static_cast<uint32_t>(riff.Size() - movieStart), static_cast<uint32_t>(bytes)});
      riff.Chunk("01wb", track.data() + soundAt, bytes);
      soundAt += bytes;
    }
  }
  riff.Close(movie);
  size_t indexChunk = riff.Open("idx1");
  for (const IndexEntry& entry : index) {
    out.Bytes(entry.id, 4);
    out.U32(entry.id[2] == 'd' ? 0x10 : 0);  // every frame is a key frame
    out.U32(entry.offset);
    out.U32(entry.size);
  }
  riff.Close(indexChunk);
  riff.Close(form);
  return riff.Data();
}

namespace {

FORGE_STEP(IntroMovies) {
  for (int number = 0; number < 2; ++number)
    ctx.WriteFile("fmv\\intro" + std::to_string(number) + ".avi", MovieFileBytes(IntroMovieSpec(number)));
  ctx.WriteFile("samples\\movie\\sample.avi", MovieFileBytes(SampleMovieSpec()));
}

}  // namespace

}  // namespace forge
