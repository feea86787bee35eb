#pragma once
// CControlLimitPanel: the counter beside the battle timer that shows how many creatures the
// player controls against the limit, as "count/limit" on "bitmaps\Control Limit.bmp".

#include <memory>

#include "battle/InterfacePanel.h"

inline constexpr int kControlLimitWidth = 48;
inline constexpr int kControlLimitHeight = 22;

class CControlLimitPanel : public CInterfacePanel {
 public:
  CControlLimitPanel() = default;
  ~CControlLimitPanel() override = default;

  void Draw() override { DrawPanelSurface(surface); }
  void Init() override { DoNothing(); }
  void Release() override;
  // Creates the surface when missing at its place for the resolution, with the restore
  // callback, and paints it.
  void Load() override;

  // Each repaints only when its number changes.
  void SetValue(int count);
  void SetLimit(int limit);
  int Value() const { return value_; }
  int Limit() const { return limit_; }

  CSurface surface;

 private:
  void Repaint();

  int value_ = 0;
  int limit_ = 0;
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CControlLimitPanel g_controlLimitPanel;
