#include "graphics/Sprite.h"

#include <algorithm>
#include <cstdio>

#include "core/Bytes.h"
#include "core/ErrorBox.h"
#include "graphics/ColourTables.h"
#include "graphics/PixelFormat.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

namespace {

// The whole file, or false when it cannot be read whole. The header (24 bytes) is read
// first so that a file of another version is refused without reading the rest.
enum class ReadResult { kOk, kFailed, kWrongVersion };

ReadResult ReadSpriteFile(const char* path, std::vector<uint8_t>& image) {
  FILE* file = platform::OpenFile(path ? path : "", "rb");
  if (!file) return ReadResult::kFailed;
  ReadResult result = ReadResult::kFailed;
  uint8_t header[CSprite::kHeaderSize];
  long length = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
  if (length >= CSprite::kHeaderSize && std::fseek(file, 0, SEEK_SET) == 0 &&
      std::fread(header, 1, sizeof header, file) == sizeof header) {
    if (LoadI32(header + 8) != CSprite::kVersion) {
      result = ReadResult::kWrongVersion;
    } else if (std::fseek(file, 0, SEEK_SET) == 0) {
      image.resize(static_cast<size_t>(length));
      if (std::fread(image.data(), 1, image.size(), file) == image.size()) result = ReadResult::kOk;
    }
  }
  std::fclose(file);
  return result;
}

void ShowWrongVersion(const char* name) {
  platform::ShowMessageBox(name ? name : "", "Incorrect Sprite Version", WarningBoxFlags());
}

}  // namespace

void CSprite::Free() {
  image_.clear();
  image_.shrink_to_fit();
  palettes_ = nullptr;
  frameOffsets_ = nullptr;
  frameBase_ = nullptr;
  for (ShadeTableList*& list : colourTables_) list = FreeLinkedList(list);
  frameCount_ = 0;
  paletteCount_ = 0;
}

bool CSprite::Load(const char* path, int shadeLevels) {
  Free();
  std::vector<uint8_t> image;
  switch (ReadSpriteFile(path, image)) {
    case ReadResult::kFailed:
      return false;
    case ReadResult::kWrongVersion:
      ShowWrongVersion(path);
      return false;
    case ReadResult::kOk:
      break;
  }
  return LoadImage(std::move(image), shadeLevels, path);
}

bool CSprite::LoadImage(std::vector<uint8_t> image, int shadeLevels, const char* name) {
  Free();
  if (image.size() < static_cast<size_t>(kHeaderSize)) return false;
  if (LoadI32(image.data() + 8) != kVersion) {
    ShowWrongVersion(name);
    return false;
  }
  const int64_t frames = LoadI32(image.data() + 12), palettes = LoadI32(image.data() + 16);
  if (palettes < 0 || palettes > kMaxPalettes || (palettes != 0 && shadeLevels == 0) || frames < 0) return false;
  const int64_t tableStart = kHeaderSize + 768 * palettes;
  if (tableStart + 4 * frames > static_cast<int64_t>(image.size())) return false;

  image_ = std::move(image);
  paletteCount_ = static_cast<int>(palettes);
  frameCount_ = static_cast<int>(frames);
  palettes_ = paletteCount_ ? image_.data() + kHeaderSize : nullptr;
  frameOffsets_ = image_.data() + tableStart;
  frameBase_ = frameOffsets_ + 4 * frameCount_;
  if (!CheckFrames()) {
    Free();
    return false;
  }
  if (paletteCount_ > 0) {
    if (!BuildColourTables(0, shadeLevels)) {
      Free();
      return false;
    }
  } else if (g_is555) {
    Convert16BitFramesTo555();
  }
  return true;
}

bool CSprite::CheckFrames() const {
  FrameRules rules;
  rules.paletteCount = paletteCount_;
  rules.lowest = static_cast<size_t>(frameBase_ - image_.data());
  for (int i = 0; i < frameCount_; ++i) {
    const int32_t offset = LoadI32(frameOffsets_ + 4 * i);
    if (offset < 0 || !ValidateFrame(image_.data(), image_.size(), rules.lowest + static_cast<size_t>(offset), rules))
      return false;
  }
  return true;
}

void CSprite::Convert16BitFramesTo555() {
  // Frames listed twice are converted once.
  std::vector<int32_t> offsets(static_cast<size_t>(frameCount_));
  for (int i = 0; i < frameCount_; ++i) offsets[static_cast<size_t>(i)] = LoadI32(frameOffsets_ + 4 * i);
  std::sort(offsets.begin(), offsets.end());
  offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
  uint8_t* base = image_.data() + (frameBase_ - image_.data());
  for (int32_t offset : offsets) {
    uint8_t* frame = base + offset;
    if (LoadI32(frame + CSpriteFrame::kWidth) == 0 || LoadI32(frame + CSpriteFrame::kHeight) == 0) continue;
    int32_t end = LoadI32(frame + CSpriteFrame::kEnd);
    if (end == 0) end = LoadI32(frame + CSpriteFrame::kAltEnd);
    if (end == 0) end = LoadI32(frame + CSpriteFrame::kNextPart);
    for (int32_t at = LoadI32(frame + CSpriteFrame::kRowTable + 4); at + 1 < end; at += 2) {
      const uint16_t p = bytes::LoadU16(frame + at);
      const uint16_t converted = static_cast<uint16_t>(((p >> 1) & 0x7FE0) | (p & 0x1F));
      frame[at] = static_cast<uint8_t>(converted);
      frame[at + 1] = static_cast<uint8_t>(converted >> 8);
    }
  }
}

bool CSprite::BuildColourTables(int tableType, int shadeLevels) {
  ColourTableBuilder builder = ColourTableBuilderOf(tableType);
  if (!builder) return true;
  for (int p = 0; p < paletteCount_; ++p) {
    ShadeTableList** slot = &colourTables_[p];
    while (*slot) slot = &(*slot)->next;
    if (!builder(shadeLevels, slot, Palette(p))) return false;
  }
  return true;
}

bool CSprite::BuildLightingTables(int kind, int shadeLevels, double p1, double p2, double p3) {
  if (kind != 1) return true;
  auto nodeAt = [](ShadeTableList* list, int position) {
    for (; list && list->next && position > 0; --position) list = list->next;
    return list;
  };
  for (int p = 0; p < paletteCount_; ++p) {
    if (!BuildLightTables(shadeLevels, nodeAt(colourTables_[p], 1), Palette(p), p1, p2, p3)) return false;
    if (!BuildWideLightTables(shadeLevels, nodeAt(colourTables_[p], 3), Palette(p), p1, p2, p3)) return false;
  }
  return true;
}

CSpriteFrame CSprite::GetFrame(int n) const {
  if (frameCount_ == 0) return {};
  if (n < 0 || n >= frameCount_) n = 0;
  const uint8_t* data = frameBase_ + LoadI32(frameOffsets_ + 4 * n);
  const int32_t palette = LoadI32(data + CSpriteFrame::kPalette);
  return CSpriteFrame{data, palette >= 0 && palette < kMaxPalettes ? colourTables_[palette] : nullptr};
}
