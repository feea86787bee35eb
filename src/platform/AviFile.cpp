#include "platform/AviFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/Pixels.h"

namespace platform {
namespace {

// The id of a stream's chunks in the movie list: its number in two digits, then the kind.
uint32_t StreamChunkId(int stream, const char kind[2]) {
  char id[5] = {static_cast<char>('0' + stream / 10), static_cast<char>('0' + stream % 10), kind[0], kind[1], 0};
  return FourCC(id);
}

constexpr uint32_t kMaxMicroSecondsPerFrame = 1000000;  // a frame a second at the slowest

}  // namespace

bool AviFile::Parse(std::vector<uint8_t> image) {
  *this = AviFile();
  image_ = std::move(image);
  RiffImage riff(image_);
  std::optional<RiffChunk> form = riff.Form(FourCC("AVI "));
  if (!form) return false;
  std::optional<RiffChunk> headers = riff.FindChild(*form, RiffImage::kList, FourCC("hdrl"));
  std::optional<RiffChunk> movie = riff.FindChild(*form, RiffImage::kList, FourCC("movi"));
  bool ok = headers && movie && ParseHeaders(*headers) && ParseMovieList(*movie);
  // A movie larger than one RIFF section (OpenDML) goes on in further sections of form
  // "AVIX", each with a movie list of its own; other chunks after the first are ignored, but
  // a section cut short makes the file as broken as a first section cut short would.
  for (RiffChunk previous = *form; ok;) {
    std::optional<RiffChunk> more = riff.After(previous);
    if (!more) {
      const size_t rest = image_.size() - std::min(previous.next, image_.size());
      ok = rest < 4 || ReadLE32(image_, previous.next) != RiffImage::kRiff;
      break;
    }
    if (more->id == RiffImage::kRiff && more->type == FourCC("AVIX")) {
      std::optional<RiffChunk> list = riff.FindChild(*more, RiffImage::kList, FourCC("movi"));
      ok = list && ParseMovieList(*list);
    }
    previous = *more;
  }
  if (!ok || frames_.empty()) {
    *this = AviFile();
    return false;
  }
  soundSamples_.resize(soundSamples_.size() - soundSamples_.size() % std::max<uint16_t>(soundFormat_.blockAlign, 1));
  hasSound_ = !soundSamples_.empty();
  return true;
}

bool AviFile::ParseHeaders(const RiffChunk& headerList) {
  RiffImage riff(image_);
  std::optional<RiffChunk> main = riff.FindChild(headerList, FourCC("avih"));
  if (!main || main->dataSize < 40) return false;
  headerMicroSecondsPerFrame_ = ReadLE32(riff.Data(*main), 0);
  int number = 0;
  bool broken = false;
  bool whole = riff.ForEachChild(headerList, [&](const RiffChunk& chunk) {
    if (chunk.id != RiffImage::kList || chunk.type != FourCC("strl")) return true;
    broken = number < 100 && !ParseStream(chunk, number);
    ++number;
    return !broken;
  });
  return whole && !broken && videoStream_ >= 0;
}

bool AviFile::ParseStream(const RiffChunk& streamList, int number) {
  RiffImage riff(image_);
  std::optional<RiffChunk> header = riff.FindChild(streamList, FourCC("strh"));
  std::optional<RiffChunk> format = riff.FindChild(streamList, FourCC("strf"));
  if (!header || !format || header->dataSize < 36) return false;
  std::span<const uint8_t> h = riff.Data(*header);
  std::span<const uint8_t> f = riff.Data(*format);
  uint32_t kind = ReadLE32(h, 0);
  if (kind == FourCC("vids") && videoStream_ < 0) {
    if (f.size() < 40) return false;
    int32_t width = static_cast<int32_t>(ReadLE32(f, 4));
    int32_t height = static_cast<int32_t>(ReadLE32(f, 8));
    int bits = ReadLE16(f, 14);
    uint32_t compression = ReadLE32(f, 16);
    if (compression != 0 || (bits != 16 && bits != 24 && bits != 32)) return false;
    if (width < 1 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) return false;
    width_ = width;
    height_ = height < 0 ? -height : height;
    bottomUp_ = height > 0;
    bitsPerPixel_ = bits;
    rowBytes_ = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    uint32_t scale = ReadLE32(h, 20);
    uint32_t rate = ReadLE32(h, 24);
    uint64_t period = rate != 0 && scale != 0 ? uint64_t{1000000} * scale / rate : headerMicroSecondsPerFrame_;
    microSecondsPerFrame_ = static_cast<uint32_t>(std::min<uint64_t>(period, kMaxMicroSecondsPerFrame));
    videoStream_ = number;
  } else if (kind == FourCC("auds") && soundStream_ < 0) {
    // A sound stream that cannot be played leaves a silent movie, wherever it stands.
    if (f.size() < kPcmFormatBytes || !IsPlayableFormat(PcmFormatOf(f))) return true;
    soundFormat_ = PcmFormatOf(f);
    soundStream_ = number;
  }
  return true;
}

bool AviFile::ParseMovieList(const RiffChunk& movieList) {
  RiffImage riff(image_);
  const uint32_t pictureBytes = static_cast<uint32_t>(rowBytes_ * static_cast<size_t>(height_));
  const uint32_t bitmapId = StreamChunkId(videoStream_, "db");
  const uint32_t compressedId = StreamChunkId(videoStream_, "dc");
  const uint32_t soundId = soundStream_ >= 0 ? StreamChunkId(soundStream_, "wb") : 0;
  size_t last = frames_.empty() ? kNoPicture : frames_.back();
  bool broken = false;
  // Chunks may be grouped in "rec " lists; one level of them is read.
  auto visit = [&](const RiffChunk& chunk, auto& self) -> bool {
    if (chunk.id == RiffImage::kList && chunk.type == FourCC("rec ")) {
      if (!riff.ForEachChild(
              chunk, [&](const RiffChunk& inner) { return inner.id == RiffImage::kList ? true : self(inner, self); }))
        broken = true;
      return !broken;
    }
    if (chunk.id == bitmapId || chunk.id == compressedId) {
      // An empty frame repeats the one before it.
      if (chunk.dataSize != 0) {
        if (chunk.dataSize < pictureBytes) {
          broken = true;
          return false;
        }
        last = chunk.dataOffset;
      }
      frames_.push_back(last);
    } else if (soundId != 0 && chunk.id == soundId) {
      std::span<const uint8_t> bytes = riff.Data(chunk);
      soundSamples_.insert(soundSamples_.end(), bytes.begin(), bytes.end());
    }
    return true;
  };
  bool whole = riff.ForEachChild(movieList, [&](const RiffChunk& chunk) { return visit(chunk, visit); });
  return whole && !broken;
}

void AviFile::DecodeFrame(size_t index, uint16_t* pixels, bool is555) const {
  const size_t width = static_cast<size_t>(width_);
  if (index >= frames_.size() || frames_[index] == kNoPicture) {
    std::fill(pixels, pixels + width * static_cast<size_t>(height_), uint16_t{0});
    return;
  }
  const uint8_t* picture = image_.data() + frames_[index];
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = picture + rowBytes_ * static_cast<size_t>(bottomUp_ ? height_ - 1 - y : y);
    uint16_t* out = pixels + width * static_cast<size_t>(y);
    for (size_t x = 0; x < width; ++x) {
      if (bitsPerPixel_ == 16) {
        out[x] = From555(static_cast<uint16_t>(row[2 * x] | row[2 * x + 1] << 8), is555);
      } else {
        const uint8_t* bgr = row + x * static_cast<size_t>(bitsPerPixel_ / 8);
        out[x] = PackRgb(bgr[2], bgr[1], bgr[0], is555);
      }
    }
  }
}

}  // namespace platform
