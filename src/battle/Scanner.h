#pragma once
// CScanner: the battle's minimap. An isometric diamond in the top-right corner shows the
// whole wrapping map centred on the camera, one pixel a cell: the terrain by its scanner
// class (under the fog of war the background shows through unseen cells), where the view
// looks, every visible creature as a coloured dot (wizards blink), the places of power, and
// pulsing circles where effects set markers. It is drawn straight into the back buffer every
// frame, after the map view and before the other panels. A left click centres the view on
// the clicked cell; a right click sends the selected creatures there.
//
// Projection: a cell (x, y) is made relative to the camera centre and wrapped,
//   a = (x + W/2 - centre x) mod W, b = (y + H/2 - centre y) mod H,
// turned by the rotation (1: (b, W - a), 2: (W - a, H - b), 3: (H - b, a)), and drawn at
//   (origin x + a - b, origin y + (a + b) / 2),
// so the camera centre sits at the diamond's middle and the cell half the map away at its
// top vertex.

#include <cstdint>
#include <memory>
#include <vector>

#include "battle/InterfacePanel.h"
#include "graphics/Sprite.h"
#include "ui/Flatwin.h"

inline constexpr int kScannerMaxMapSize = 100;
inline constexpr int kScannerMaxDots = 255;
inline constexpr int kScannerMarkerMaxRadius = 15;
inline constexpr int kScannerClickSound = 821;
inline constexpr uint16_t kScannerNoNote = 255;

class CScanner : public CFlatWin, public CInterfacePanel {
 public:
  struct Dot {
    uint16_t colour = 0;  // army colour index 0-7
    int x = 0, y = 0;     // cell
    uint8_t selected = 0, wizard = 0;
  };
  struct PlaceOfPower {
    int x = 0, y = 0, level = 0;
  };
  struct Point {
    int x = 0, y = 0;
  };

  CScanner();
  ~CScanner() override;

  // The panel's operations, in their order.
  // Every battle frame: the creatures are collected and, while shown, the terrain, the
  // camera brackets, the dots, the places of power and the markers drawn into the back
  // buffer.
  void Draw() override;
  void Init() override { DoNothing(); }
  // The background, the edge sprite and the restore callback go.
  void Release() override;
  // A battle starts (or the display options changed): everything refilled for the map; a
  // map larger than 100 x 100 leaves the scanner hidden.
  void Load() override;

  // Left button: the view centres on the cell (sound 821). Right button while creatures are
  // selected: each selected creature that is not held walks to a free place near it (with
  // Shift the walk is queued).
  void OnMouse(int flags, CMouseEvent event) override;
  // Only the diamond takes the mouse.
  int IsTransparentAt(int x, int y) override;

  // The battle hides its interface or frees its graphics: nothing of the scanner is drawn.
  void Hide();
  void Show() { flag = 1; }
  bool Shown() const { return flag != 0; }
  // Effects mark a cell while they last.
  void AddMarker(int x, int y);
  // Removes the first marker at the cell, keeping the order of the others.
  void RemoveMarker(int x, int y);
  void SetRotation(int r) { rotation_ = r & 3; }
  void OnCellChanged(int, int, int) {}

  // --- the projection (for the mouse and the tests) ---
  // The back-buffer pixel of a cell with the current camera centre and rotation.
  Point Project(int cellX, int cellY) const;
  // The cell under a back-buffer pixel (the inverse of Project), wrapped into the map.
  Point CellAtPixel(int px, int py) const;
  // The camera centre follows the map view's camera cell.
  void SetCameraCentre(int x, int y);
  Point CameraCentre() const { return {centreX_, centreY_}; }
  int Rotation() const { return rotation_; }
  int OriginX() const { return originX_; }
  int OriginY() const { return originY_; }
  int MapWidth() const { return width_; }
  int MapHeight() const { return height_; }

  // Notes a creature for this frame's dots: false when the list is full (255) or the cell
  // holds a noted creature already.
  bool NoteCreature(const Dot& dot);
  int DotCount() const { return dotCount_; }
  // The creatures of the pool as the local player may see them.
  void CollectCreatures();

  // The 16-bit colour of an index of the colour table (0-7 army colours, 8 the local
  // player's selected creatures) in the display's layout.
  uint16_t Colour(int index) const { return colours_[index]; }
  // A terrain colour of a cell, for the tests.
  uint16_t CellColour(int x, int y) const;
  bool PreparedBackground() const { return prepared_; }
  bool HasEdgeSprite() const { return edge_.IsLoaded(); }
  int MarkerRadius() const { return markerRadius_; }
  const std::vector<Point>& Markers() const { return markers_; }
  const std::vector<PlaceOfPower>& Places() const { return places_; }
  int BlinkToggle() const { return blinkToggle_; }

  // The colour of R, G, B in the 5-5-5 or 5-6-5 layout: each channel's top 5 bits (6 for
  // green in 5-6-5).
  static uint16_t PackScannerColour(int r, int g, int b, bool is555);

 private:
  struct Cell {
    uint16_t colour = 0;
    int visibility = -1;  // index in the map's remembered light, -1 none
  };
  void BuildColours();
  void FillCells();
  void ChooseBackground();
  void CollectMarkers();
  bool Unseen(const Cell& cell) const;
  bool Fogged() const;
  int Wrap(int v, int n) const { return ((v % n) + n) % n; }
  void Turn(int& a, int& b) const;
  void TurnBack(int& a, int& b) const;
  void SetOrigin(int screenWidth);
  void AdvanceBlink();

  // Drawing into the locked back buffer.
  struct Canvas;
  void DrawTerrain(Canvas& canvas) const;
  void DrawOutline(Canvas& canvas) const;
  void DrawCameraBrackets(Canvas& canvas) const;
  void DrawDots(Canvas& canvas) const;
  void DrawPlaces(Canvas& canvas) const;
  void DrawMarkers(Canvas& canvas);
  void DrawEdge();
  bool InsideDiamond(int px, int py) const;

  int rotation_ = 0;
  uint16_t colours_[9] = {};
  uint16_t terrainColours_[5] = {};  // water, dark green, brown, orange-brown, grey
  int blinkPhase_ = 0, blinkToggle_ = 0, blinkFrame_ = 0;
  int originX_ = 0, originY_ = 6;
  int width_ = 0, height_ = 0;
  Dot dots_[kScannerMaxDots];
  int dotCount_ = 0;
  std::vector<uint16_t> notes_;  // one per map cell
  platform::Rect window_{};
  int centreX_ = 0, centreY_ = 0;
  CSurface background_;
  CSprite edge_;
  bool prepared_ = false;
  std::vector<PlaceOfPower> places_;
  std::vector<Point> markers_;
  int markerRadius_ = 1;
  std::vector<Cell> cells_;
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CScanner g_scanner;
