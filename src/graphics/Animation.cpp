#include "graphics/Animation.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/Bytes.h"
#include "core/ErrorBox.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace {

// No sequence program may run this many steps in one call without showing a frame: a
// loop without one ends the sequence instead of spinning.
constexpr int kStepBudget = 1 << 16;
// Nor may a backwards count take more calls than this.
constexpr int kBackwardsBudget = 1 << 12;

[[noreturn]] void Fatal(const char* text, const char* caption) {
  platform::ShowMessageBox(text, caption, WarningBoxFlags());
  platform::ExitProcess(1);
}

long FileLength(FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long length = std::ftell(file);
  return std::fseek(file, 0, SEEK_SET) == 0 ? length : -1;
}

AnimStep StepFrom(const uint8_t* p, int layout) {
  AnimStep s;
  s.kind = LoadI32(p);
  s.value = LoadI32(p + 4);
  s.x = LoadI32(p + 8);
  s.y = LoadI32(p + 12);
  // Older layouts keep their text up to its terminator.
  std::memcpy(s.text, p + 16, 8);
  if (layout != CAnimation::kCurrentLayout) {
    const size_t length = strnlen(s.text, 8);
    std::memset(s.text + length, 0, 8 - length);
  }
  switch (layout) {
    case 3:
      s.more[1] = LoadI32(p + 24);
      break;
    case 4:
      s.more[1] = LoadI32(p + 24);
      s.more[2] = LoadI32(p + 28);
      s.more[3] = LoadI32(p + 32);
      break;
    default:
      for (int i = 0; i < 5; ++i) s.more[i] = LoadI32(p + 24 + 4 * i);
      break;
  }
  return s;
}

class FileCloser {
 public:
  explicit FileCloser(FILE* f) : f_(f) {}
  ~FileCloser() {
    if (f_) std::fclose(f_);
  }

 private:
  FILE* f_;
};

}  // namespace

void CAnimation::Free() {
  table_.clear();
  steps_.clear();
  sequenceCount_ = 0;
  layout_ = 0;
  spriteName_.clear();
}

bool CAnimation::Load(const char* path) {
  Free();
  const char* name = path ? path : "";
  std::snprintf(path_, sizeof path_, "%s", name);
  FILE* file = platform::OpenFile(name, "rb");
  if (!file) return false;
  FileCloser closer(file);
  return LoadFromStream(file, name);
}

bool CAnimation::LoadFromStream(FILE* file, const char* path) {
  Free();
  const char* name = path ? path : "";
  std::snprintf(path_, sizeof path_, "%s", name);
  const long length = FileLength(file);
  uint8_t header[kHeaderSize];
  if (length < kHeaderSize || std::fread(header, 1, kHeaderSize, file) != kHeaderSize) return false;
  const int32_t totalSize = LoadI32(header + 4), layout = LoadI32(header + 12), tableLength = LoadI32(header + 20);
  spriteName_.assign(reinterpret_cast<const char*>(header + 24),
                     strnlen(reinterpret_cast<const char*>(header + 24), 20));

  if (loadSprite_) {
    std::string spritePath(name);
    const size_t slash = spritePath.find_last_of("\\/");
    spritePath = (slash == std::string::npos ? std::string() : spritePath.substr(0, slash + 1)) + spriteName_;
    if (!sprite_) sprite_ = &ownSprite_;
    if (!sprite_->Load(spritePath.c_str(), 2)) Fatal("Unable to load sprite file associated with animation", "ERROR");
  }

  if (tableLength <= 0 || static_cast<int64_t>(kHeaderSize) + 4LL * tableLength > length) return Free(), false;
  std::vector<uint8_t> table(4 * static_cast<size_t>(tableLength));
  if (std::fread(table.data(), 1, table.size(), file) != table.size()) return Free(), false;
  table_.resize(static_cast<size_t>(tableLength));
  for (int32_t i = 0; i < tableLength; ++i) table_[static_cast<size_t>(i)] = LoadI32(table.data() + 4 * i);
  sequenceCount_ = tableLength - 1;

  const long stepBytes = length - kHeaderSize - 4L * tableLength;
  if (stepBytes <= 0) return Free(), false;
  if (layout == 1 || layout == 2) Fatal("Attempting to load out of date animation file", "UPDATE");
  if (!ReadSteps(file, layout, stepBytes)) return Free(), false;
  if (totalSize != length) return Free(), false;
  layout_ = kCurrentLayout;

  for (int i = 1; i < tableLength; ++i) {
    const int64_t before = static_cast<int64_t>(table_[static_cast<size_t>(i)]) - 1;
    if (before < 0 || before >= StepCount() || steps_[static_cast<size_t>(before)].kind != kStepEnd)
      Fatal("Animation errors found", "UPDATE");
  }
  if (!CheckSequences()) return Free(), false;
  return true;
}

bool CAnimation::ReadSteps(FILE* file, int layout, long bytes) {
  int stepSize;
  switch (layout) {
    case 3:
      stepSize = 28;
      break;
    case 4:
      stepSize = 36;
      break;
    case 5:
      stepSize = AnimStep::kSize;
      break;
    default:
      return false;  // no reader for this layout
  }
  if (bytes % stepSize != 0) return false;
  std::vector<uint8_t> raw(static_cast<size_t>(bytes));
  if (std::fread(raw.data(), 1, raw.size(), file) != raw.size()) return false;
  const int count = static_cast<int>(bytes / stepSize);
  steps_.assign(static_cast<size_t>(count), AnimStep{});
  if (layout == kCurrentLayout) {
    for (int i = 0; i < count; ++i) steps_[static_cast<size_t>(i)] = StepFrom(raw.data() + i * stepSize, layout);
    return true;
  }
  // Older layouts: each sequence's steps up to and including its end step.
  for (int n = 0; n < sequenceCount_; ++n) {
    for (int32_t i = table_[static_cast<size_t>(n)]; i >= 0 && i < count; ++i) {
      steps_[static_cast<size_t>(i)] = StepFrom(raw.data() + static_cast<size_t>(i) * stepSize, layout);
      if (steps_[static_cast<size_t>(i)].kind == kStepEnd) break;
    }
  }
  return true;
}

// Every sequence lies inside the steps, ends with its end step, and its jumps land inside it.
bool CAnimation::CheckSequences() const {
  for (int n = 0; n < sequenceCount_; ++n) {
    const int64_t first = table_[static_cast<size_t>(n)];
    const int64_t end = static_cast<int64_t>(table_[static_cast<size_t>(n) + 1]) - 1;
    if (first < 0 || end < first || end >= StepCount()) return false;
    for (int64_t i = first; i <= end; ++i) {
      const AnimStep& s = steps_[static_cast<size_t>(i)];
      if (s.kind < kStepFrame || s.kind > kStepEnd) return false;
      if (s.kind == kStepEnd && i != end) return false;
      // Frame numbers and loop counts are never negative: a negative count would not run out.
      if ((s.kind == kStepFrame || s.kind == kStepLoopCount) && s.value < 0) return false;
      if (s.kind == kStepLoopBack || s.kind == kStepJump) {
        const int64_t target = i + s.value;
        if (target < first || target > end) return false;
      }
    }
  }
  return true;
}

int CAnimation::GetFirstFrame(int n) const {
  if (!HasSequence(n)) return -1;
  for (int i = GetSequence(n); i <= SequenceEnd(n); ++i)
    if (Step(i).kind == kStepFrame) return Step(i).value;
  return -1;
}

bool CAnimation::HasSteps(int k, int n) const { return HasSequence(n) && SequenceEnd(n) - GetSequence(n) >= k; }

// --- CAnimPlayer -------------------------------------------------------------------------

void CAnimPlayer::Clear() {
  sequence = 0;
  frameStep = -1;
  playing = delay = ticks = loopCount = 0;
  step = -1;
  animation = nullptr;
  loopBreak = backwards = backCount = frameTotal = 0;
}

void CAnimPlayer::Stop() {
  delay = ticks = loopCount = 0;
  frameStep = step = -1;
  playing = loopBreak = 0;
}

int CAnimPlayer::Start(int n, int backwardsFlag) {
  Stop();
  sequence = n;
  backwards = backwardsFlag;
  if (!Valid()) return 0;
  step = animation->GetSequence(n);
  playing = 1;
  if (animation->Step(step).kind == kStepFrame)
    frameStep = step;
  else
    RunToFrame();
  if (playing && backwards) CountBackwards();
  return 1;
}

void CAnimPlayer::CountBackwards() {
  backwards = 0;
  backCount = 0;
  int calls = 0, savedStep = step, savedFrame = frameStep;
  while (calls < kBackwardsBudget) {
    savedStep = step;
    savedFrame = frameStep;
    const int answer = Advance();
    ++calls;
    if (!playing || answer == 2) break;
    // The call that took a jump back has passed the sequence's last frame, as the call that
    // reached the end step has: both count, and the position before them is where
    // backwards play starts.
    const AnimStep& before = animation->Step(savedStep);
    if (before.kind == kStepJump && before.value < 0) break;
  }
  frameTotal = calls;
  backCount = frameTotal - 1;
  step = savedStep;
  frameStep = savedFrame;
  backwards = 1;
  playing = 1;
}

void CAnimPlayer::SwitchSequence(int n) {
  if (!Valid() || !animation->HasSequence(n)) return;
  const int first = animation->GetSequence(sequence);
  const int newFirst = animation->GetSequence(n), newEnd = animation->SequenceEnd(n);
  auto moved = [&](int index) {
    if (index < 0) return -1;
    const int at = newFirst + (index - first);
    return at > newEnd ? newEnd : at;
  };
  step = moved(step);
  frameStep = moved(frameStep);
  // The frame shown must still be a frame.
  if (frameStep >= 0 && animation->Step(frameStep).kind != kStepFrame) frameStep = -1;
  sequence = n;
}

int CAnimPlayer::Advance() {
  if (!playing || !Valid()) return 0;
  if (backwards) {
    backCount = backCount == 0 ? frameTotal : backCount - 1;
    const int count = backCount;
    backwards = 0;
    Start(sequence, 0);
    int answer = 0;
    for (int i = 0; i < count && playing; ++i) answer = Advance();
    backwards = 1;
    return answer;
  }
  if (ticks < delay) {
    ++ticks;
    return 0;
  }
  const int answer = RunSteps(RunMode::kTick);
  ticks = 0;
  return answer;
}

int CAnimPlayer::RunToFrame() {
  if (!playing || !Valid()) return 0;
  return RunSteps(RunMode::kToFrame);
}

int CAnimPlayer::RunSteps(RunMode mode) {
  const int end = animation->SequenceEnd(sequence);
  int lastEvent = 0;
  for (int budget = 0; budget < kStepBudget; ++budget) {
    if (step < animation->GetSequence(sequence) || step > end) break;
    const AnimStep& s = animation->Step(step);
    const int here = step;
    step = here + 1;
    switch (s.kind) {
      case kStepFrame:
        frameStep = here;
        return mode == RunMode::kTick ? 0 : lastEvent;
      case kStepDelay:
        delay = s.value;
        break;
      case kStepLoopCount:
        loopCount = s.value;
        break;
      case kStepLoopBack:
        if (loopCount != 0) {
          --loopCount;
          step = here + s.value;
        }
        break;
      case kStepJump:
        if (loopBreak)
          loopBreak = 0;
        else
          step = here + s.value;
        break;
      case kStepEvent:
        if (mode == RunMode::kTick) return s.value;
        lastEvent = s.value;
        break;
      default:  // the end step
        playing = 0;
        frameStep = -1;
        return 1;
    }
  }
  // A program that shows no frame within the budget (or left its sequence) has ended.
  playing = 0;
  frameStep = -1;
  return 1;
}

int CAnimPlayer::PeekNextFrame() const {
  if (!Valid() || step < 0) return -1;
  const int first = animation->GetSequence(sequence), end = animation->SequenceEnd(sequence);
  if (!backwards) {
    for (int i = step < end ? step : end; i >= first; --i)
      if (animation->Step(i).kind == kStepFrame) return animation->Step(i).value;
    return -1;
  }
  for (int i = step + 1; i <= end; ++i)
    if (animation->Step(i).kind == kStepFrame) return animation->Step(i).value;
  return -1;
}

void CAnimPlayer::ExitLoop() {
  if (!Valid() || step < 0) return;
  const int end = animation->SequenceEnd(sequence);
  bool passedJump = false;
  for (int i = step; i <= end; ++i) {
    const AnimStep& s = animation->Step(i);
    if (s.kind == kStepJump)
      passedJump = true;
    else if (passedJump && s.kind == kStepFrame) {
      frameStep = i;
      step = i + 1;
      return;
    }
  }
}

int CAnimPlayer::Save(FILE* stream) const {
  if (!stream) return -1;
  if (!animation) return bytes::WriteU32(stream, 0xFFFFFFFFu) ? 4 : -1;
  const int first = animation->GetSequence(sequence);
  const int index = step >= 0 && first >= 0 ? step - first : 0;
  const int32_t fields[4] = {sequence, loopBreak, backwards, index};
  for (int32_t f : fields)
    if (!bytes::WriteU32(stream, static_cast<uint32_t>(f))) return -1;
  return 16;
}

int CAnimPlayer::Load(FILE* stream) {
  if (!stream) return -1;
  uint32_t fields[4];
  if (!bytes::ReadU32(stream, fields[0])) return -1;
  if (static_cast<int32_t>(fields[0]) == -1) {
    Stop();
    return 4;
  }
  for (int i = 1; i < 4; ++i)
    if (!bytes::ReadU32(stream, fields[i])) return -1;
  const int n = static_cast<int32_t>(fields[0]);
  if (!animation || !animation->HasSequence(n)) return -1;
  const int k = static_cast<int32_t>(fields[3]);
  if (k < 0 || k > animation->SequenceEnd(n) - animation->GetSequence(n) + 1) return -1;
  sequence = n;
  backwards = fields[2] != 0 ? 1 : 0;
  SeekTo(k);
  // Seeking clears the loop-break; a player told to leave its loop before the save still
  // leaves it (a finishing cell animation would otherwise loop for ever).
  loopBreak = fields[1] != 0 ? 1 : 0;
  return 16;
}

bool CAnimPlayer::SeekTo(int k) {
  Stop();
  if (!Valid() || k < 0) return false;
  const int first = animation->GetSequence(sequence), end = animation->SequenceEnd(sequence);
  if (k > end - first + 1) return false;
  playing = 1;
  step = first;
  if (animation->Step(first).kind == kStepFrame) frameStep = first;
  for (int i = 0; i < k; ++i, ++step) {
    const AnimStep& s = animation->Step(step);
    if (s.kind == kStepFrame)
      frameStep = step;
    else if (s.kind == kStepDelay)
      delay = s.value;
    else if (s.kind == kStepLoopCount)
      loopCount = s.value;
  }
  if (backwards) {
    // The frame total is counted from the sequence's start, as a backwards start counts
    // it; the position found stays.
    CAnimPlayer probe = *this;
    probe.Start(sequence, 1);
    frameTotal = probe.frameTotal;
    backCount = probe.backCount;
  }
  return true;
}

void CAnimPlayer::GetTiming(int32_t words[kTimingWords]) const {
  const int32_t now[kTimingWords] = {frameStep, playing,   delay,     ticks,     loopCount,
                                     step,      loopBreak, backCount, frameTotal};
  std::copy(std::begin(now), std::end(now), words);
}

bool CAnimPlayer::SetTiming(const int32_t words[kTimingWords]) {
  // Steps index the animation's table: -1, or within the sequence (its end step and one past).
  const bool valid = Valid();
  const int first = valid ? animation->GetSequence(sequence) : 0;
  const int end = valid ? animation->SequenceEnd(sequence) : -1;
  auto stepFits = [&](int32_t s) { return s == -1 || (valid && s >= first && s <= end + 1); };
  auto isFlag = [](int32_t v) { return v == 0 || v == 1; };
  if (!stepFits(words[0]) || words[0] == end + 1 || !stepFits(words[5]) || !isFlag(words[1]) || !isFlag(words[6]) ||
      (words[1] && !valid))
    return false;
  frameStep = words[0];
  playing = words[1];
  delay = words[2];
  ticks = words[3];
  loopCount = words[4];
  step = words[5];
  loopBreak = words[6];
  backCount = words[7];
  frameTotal = words[8];
  return true;
}
