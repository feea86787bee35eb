#pragma once
// The speech boxes: cfg\speechbox.cfg with the box layouts, the box pictures of both screen
// sizes ("Speechbox\<screen>\Speech<box size>-<n>.jpg") and the speakers' portraits
// ("portraits\<size>\<name> <size>.JPG").

#include <array>
#include <string>
#include <vector>

namespace forge {

struct SpeechBoxDef {
  std::array<int, 4> heading{}, body{};
  int pictureX = 0, pictureY = 0;
  int boxX = 0, boxY = 0;
  int width = 0, height = 0;         // on the 800 x 600 screen; 0.8 of it on 640 x 480
  int hotSpotX = -1, hotSpotY = -1;  // -1: the key is left out
  int textLimit = -1;                // -1: the key is left out
};

// The forged layouts, SPEECHBOX_1 first.
std::vector<SpeechBoxDef> ForgedSpeechBoxes();
// The layout file for the layouts.
std::string SpeechBoxConfigText(const std::vector<SpeechBoxDef>& boxes);
// The portraits the forge draws; "Redcap portrait" is the scripts' default speaker.
std::vector<std::string> ForgedPortraitNames();

}  // namespace forge
