#include "platform/CdDrive.h"

#include <atomic>
#include <cstdio>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/AudioOutput.h"
#include "platform/Files.h"
#include "platform/Riff.h"

namespace platform {
namespace {

std::mutex g_notifyMutex;
std::deque<std::pair<void*, int>> g_notifyQueue;

std::atomic<uint32_t> g_cdLineVolume{0xFFFFFFFFu};

// The format and samples of a track file, appended to samples; false when it is not a
// playable WAVE file or its format differs from the one given (when given).
bool AppendTrack(const std::string& path, PcmFormat& format, bool formatKnown, std::vector<uint8_t>& samples) {
  std::vector<uint8_t> image;
  if (!ReadWholeFile(path, image)) return false;
  RiffImage riff(image);
  std::optional<RiffChunk> wave = riff.Form(FourCC("WAVE"));
  if (!wave) return false;
  std::optional<RiffChunk> fmt = riff.FindChild(*wave, FourCC("fmt "));
  std::optional<RiffChunk> data = riff.FindChild(*wave, FourCC("data"));
  if (!fmt || !data || fmt->dataSize < kPcmFormatBytes) return false;
  PcmFormat track = PcmFormatOf(riff.Data(*fmt));
  if (!IsPlayableFormat(track)) return false;
  if (formatKnown && (track.channels != format.channels || track.samplesPerSec != format.samplesPerSec ||
                      track.bitsPerSample != format.bitsPerSample))
    return false;
  format = track;
  std::span<const uint8_t> bytes = riff.Data(*data);
  samples.insert(samples.end(), bytes.begin(), bytes.end() - static_cast<long>(bytes.size() % track.blockAlign));
  return true;
}

}  // namespace

void PostCdNotify(void* window, int code) {
  std::lock_guard<std::mutex> lock(g_notifyMutex);
  g_notifyQueue.emplace_back(window, code);
}

bool TakeCdNotify(void** window, int* code) {
  std::lock_guard<std::mutex> lock(g_notifyMutex);
  if (g_notifyQueue.empty()) return false;
  if (window) *window = g_notifyQueue.front().first;
  if (code) *code = g_notifyQueue.front().second;
  g_notifyQueue.pop_front();
  return true;
}

// What a play's end must know: whether it is still the current play and whom to notify.
// Shared with the audio thread's callback, so that it never touches a drive that is gone.
struct CdDrive::Notifier {
  std::mutex mutex;
  uint64_t play = 0;  // number of the current play
  void* window = nullptr;
  bool pending = false;  // a notification is owed for the current play

  // Ends the owed notification of the current play with that outcome.
  void Settle(int code) {
    void* target = nullptr;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!pending) return;
      pending = false;
      target = window;
    }
    PostCdNotify(target, code);
  }
};

CdDrive::CdDrive() : notifier_(std::make_shared<Notifier>()) {}

CdDrive::~CdDrive() { Close(); }

int CdDrive::Open(std::string_view disc) {
  if (open_) Close();
  if (AcquireAudioOutput() != kAudioOk) return kCdErrNoOutput;
  disc_ = disc.empty() ? std::string(kDefaultDisc) : std::string(disc);
  open_ = true;
  return 0;
}

void CdDrive::Close() {
  if (!open_) return;
  Stop();
  playing_.reset();
  open_ = false;
  ReleaseAudioOutput();
}

std::string CdDrive::TrackPath(int track) const {
  char name[16];
  std::snprintf(name, sizeof name, "track%02d.wav", track);
  return disc_ + "\\" + name;
}

int CdDrive::TrackCount() const {
  int count = 0;
  while (count < 99 && FileExists(TrackPath(count + 1))) ++count;
  return count;
}

int CdDrive::GetMode(int* mode) const {
  if (!open_) return kCdErrNotOpen;
  SoundBuffer::Status status;
  if (TrackCount() == 0)
    *mode = kCdModeNotReady;
  else if (playing_ && playing_->GetStatus(status) == kAudioOk && status.playing)
    *mode = kCdModePlay;
  else
    *mode = kCdModeStop;
  return 0;
}

int CdDrive::GetTrackCount(int* count) const {
  if (!open_) return kCdErrNotOpen;
  int tracks = TrackCount();
  if (tracks == 0) return kCdErrNoDisc;
  *count = tracks;
  return 0;
}

int CdDrive::Play(int first, int last, void* notifyWindow) {
  if (!open_) return kCdErrNotOpen;
  int tracks = TrackCount();
  if (tracks == 0) return kCdErrNoDisc;
  if (last == 0) last = tracks + 1;
  if (first < 1 || first > tracks || last <= first || last > tracks + 1) return kCdErrOutOfRange;

  PcmFormat format;
  std::vector<uint8_t> samples;
  for (int track = first; track < last; ++track)
    if (!AppendTrack(ResolvePath(TrackPath(track)), format, track != first, samples)) return kCdErrTrackUnreadable;
  std::unique_ptr<SoundBuffer> buffer;
  if (TheMixer().CreateBuffer(format, samples.size(), buffer) != kAudioOk) return kCdErrTrackUnreadable;
  std::span<uint8_t> bytes = buffer->Lock();
  std::copy(samples.begin(), samples.begin() + static_cast<long>(bytes.size()), bytes.begin());

  // The play this one replaces owes its notification first.
  if (playing_) playing_->Stop();
  notifier_->Settle(kCdNotifySuperseded);
  uint64_t play;
  {
    std::lock_guard<std::mutex> lock(notifier_->mutex);
    play = ++notifier_->play;
    notifier_->window = notifyWindow;
    notifier_->pending = notifyWindow != nullptr;
  }
  std::shared_ptr<Notifier> notifier = notifier_;
  buffer->SetLine(AudioLine::kCdLine);
  buffer->SetOnFinished([notifier, play] {
    {
      std::lock_guard<std::mutex> lock(notifier->mutex);
      if (notifier->play != play) return;
    }
    notifier->Settle(kCdNotifySuccessful);
  });
  playing_ = std::move(buffer);
  playing_->Play(false);
  return 0;
}

int CdDrive::Stop() {
  if (!open_) return kCdErrNotOpen;
  if (playing_) playing_->Stop();
  {
    std::lock_guard<std::mutex> lock(notifier_->mutex);
    ++notifier_->play;  // a callback of the stopped play already under way is stale now
  }
  notifier_->Settle(kCdNotifyAborted);
  return 0;
}

int AuxDeviceCount() { return 1; }

int AuxGetCaps(int device, AuxCaps* caps) {
  if (device != 0) return kAuxBadDevice;
  caps->technology = kAuxTechnologyCdAudio;
  caps->volumeControl = true;
  return 0;
}

int AuxGetVolume(int device, uint32_t* volume) {
  if (device != 0) return kAuxBadDevice;
  *volume = g_cdLineVolume.load();
  return 0;
}

int AuxSetVolume(int device, uint32_t volume) {
  if (device != 0) return kAuxBadDevice;
  g_cdLineVolume = volume;
  TheMixer().SetCdLineVolume(static_cast<uint16_t>(volume & 0xFFFF), static_cast<uint16_t>(volume >> 16));
  return 0;
}

}  // namespace platform
