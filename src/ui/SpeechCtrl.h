#pragma once
// CSpeechCtrl: the window object that runs a speech during a battle. The battle pauses, the
// camera glides toward the speaker at the player's dialogue speed, a speech box appears with
// the speaker's portrait, name and words, and a click dismisses it and runs the script's
// callback; the camera may then glide back to where it was. One global object, g_speechCtrl.

#include <memory>

#include "ui/Flatwin.h"
#include "ui/SpeechBox.h"

// The battle map's camera as the speech control moves it. The map view fills this (it sits
// above the screen framework); without it a speech shows its box where the camera is.
class ISpeechCamera {
 public:
  virtual ~ISpeechCamera() = default;
  // The camera's tile and level.
  virtual void CameraTile(int& x, int& y, int& level) = 0;
  // Puts the camera at a position in map units.
  virtual void MoveCamera(int x, int y, int z) = 0;
  // The screen point of a position in map units under the current camera.
  virtual void ProjectToScreen(int x, int y, int z, int& screenX, int& screenY) = 0;
  virtual int MapWidthTiles() = 0;
  virtual int MapHeightTiles() = 0;
  // A straight line in map units the short way round the map; answers its steps.
  virtual int StartLine(int x0, int y0, int z0, int x1, int y1, int z1) = 0;
  // The next point of the line (x and y not yet wrapped).
  virtual void StepLine(int& x, int& y, int& z) = 0;
};
extern ISpeechCamera* g_speechCamera;

// What the speech control asks of the battle.
class ISpeechBattle {
 public:
  virtual ~ISpeechBattle() = default;
  // Hides the battle's panels while a speech shows; the select bar keeps the spell of that
  // kind selectable (-1: none).
  virtual void HideInterface(int spellKind) {}
  virtual void RestoreInterface() {}
  virtual void Pause() {}
  // The camera is back: the battle goes on.
  virtual void Resume() {}
};
// Never null: the neutral battle until the battle installs itself.
extern ISpeechBattle* g_speechBattle;

class CSpeechCtrl : public CFlatWin {
 public:
  CSpeechCtrl() = default;
  ~CSpeechCtrl() override = default;

  void LoadConfig() { LoadSpeechBoxConfig(); }
  // Starts a speech; ignored while a box waits for its click.
  void Say(const SpeechRequest& request, bool hideInterface, bool rememberOrigin);
  // The camera glides back to where the speech found it; the speech ends when it arrives.
  void ReturnCamera();
  // Once a battle frame.
  void Tick();
  void Draw(CSurface* target);
  // Puts the map view's camera where the glide has it.
  void ApplyCamera();
  // Ends any speech and frees the layouts.
  void Clear();

  void OnMouse(int flags, CMouseEvent event) override;

  bool IsActive() const { return active; }
  bool IsWaiting() const { return waiting; }
  const CSpeechBox* Box() const { return box.get(); }

  bool active = false, returning = false, waiting = false;
  bool dismissed = false;  // the box was clicked away; the script has not answered yet
  int originX = -1, originY = -1, originZ = -1;
  int targetX = 0, targetY = 0, targetZ = 0;
  SpeechRequest request;
  // Where the box points, fixed when the speech begins: the speaker's screen point, as far
  // as it moves with the camera's glide (P - K + the screen centre).
  int anchorX = 0, anchorY = 0;
  std::unique_ptr<CSpeechBox> box;
  int cameraX = 0, cameraY = 0, cameraZ = 0;  // map units
  int speed = 0;                              // line steps a frame
  int ticks = 0;
  bool interfaceHidden = false;
  bool beenInTargetCell = false;
  int boxCountdown = 2;
  int stepsLeft = 0;  // of the line toward the target

 private:
  void RegisterFullScreen();
  void StartGlide(int x, int y, int z);
  void Glide();
  void AdaptSpeed();
  void ShowBox();
  void Dismiss();
  void EndSpeech();
  bool AtTarget() const { return cameraX == targetX && cameraY == targetY && cameraZ == targetZ; }
};

extern CSpeechCtrl g_speechCtrl;

// The glide speeds of a dialogue speed (0-2): the starting speed, its step and the maximum,
// from the options' speech box speeds.
int SpeechStartSpeed(int dialogSpeed);
int SpeechSpeedStep(int dialogSpeed);
int SpeechMaxSpeed(int dialogSpeed);
