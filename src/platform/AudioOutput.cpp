#include "platform/AudioOutput.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex g_outputMutex;
int g_users = 0;
bool g_manual = false;
bool g_deviceOpen = false;
SDL_AudioDeviceID g_device = 0;

void FillStream(void* /*user*/, Uint8* stream, int length) {
  TheMixer().Mix(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(length) / (2 * AudioMixer::kChannels));
}

bool OpenDevice() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "audio: %s\n", SDL_GetError());
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(TheMixer().OutputRate());
  want.format = AUDIO_S16SYS;
  want.channels = AudioMixer::kChannels;
  want.samples = 512;  // about 23 ms at 22050 Hz
  want.callback = FillStream;
  SDL_AudioSpec have{};
  // SDL converts our stream to whatever the device wants.
  g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (g_device == 0) {
    std::fprintf(stderr, "audio: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  SDL_PauseAudioDevice(g_device, 0);
  return true;
}

void CloseDevice() {
  SDL_CloseAudioDevice(g_device);
  g_device = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

AudioMixer& TheMixer() {
  // Never destroyed: sound buffers held by global objects may outlive any static.
  static AudioMixer* mixer = new AudioMixer();
  return *mixer;
}

int32_t AcquireAudioOutput() {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  if (g_users == 0 && !g_manual) {
    if (!OpenDevice()) return kAudioNoDriver;
    g_deviceOpen = true;
  }
  ++g_users;
  return kAudioOk;
}

void ReleaseAudioOutput() {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  if (g_users == 0) return;
  if (--g_users == 0 && g_deviceOpen) {
    CloseDevice();
    g_deviceOpen = false;
  }
}

bool AudioOutputIsOpen() {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  return g_users > 0;
}

void SetManualAudioOutput(bool manual) {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  g_manual = manual;
}

}  // namespace platform
