#pragma once
// CMapMaker: the map generator. It reads a region's entry in a map configuration file, finds
// the section files, and fills a wrapping grid of at most 5 x 5 squares with sections so that
// the connection ids of touching edges agree, turning sections by quarter turns where needed.
// Sections with a fixed place come first; the rest is filled at random from the seed, with
// backtracking. CMap::Build then copies each chosen section into the map.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CMapMaker {
 public:
  static constexpr int kMaxInfos = 50;
  static constexpr int kMaxGrid = 5;
  static constexpr int kMaxCandidates = 50;
  static constexpr int kMaxLocations = 25;
  static constexpr int kMaxAttempts = 10;
  static constexpr int kMaxBacktracks = 50;

  enum Edge { kNorth = 0, kEast = 1, kSouth = 2, kWest = 3 };

  // One block of a section entry.
  struct SecInfo {
    int32_t SecNo = -1;  // -1: an empty record
    uint8_t specific = 0;
    uint8_t large = 0;
    int32_t maxOcc = 0;
    int32_t currOcc = 0;
    int32_t mapCrdX = -1, mapCrdY = -1;
    int32_t secPartX = 0, secPartY = 0;
    int32_t secSizeX = 0, secSizeY = 0;
    int32_t levels = 0;
    int32_t ids[4] = {-1, -1, -1, -1};  // north, east, south, west, before turning
    int32_t rot = -1;
    uint8_t DeadEnd = 0;
  };

  struct MapGridSquare {
    uint8_t occupied = 0;
    int32_t secNo = -1, info = -1, rot = -1, column = -1, row = -1;
    int32_t edges[4] = {-1, -1, -1, -1};  // after turning
  };

  struct SectionCandidate {
    uint8_t valid = 0;
    int32_t info = -1;
    uint8_t rotations[4] = {};
  };

  struct Location {
    int32_t x = -1, y = -1;
    uint8_t rotations[4] = {};
  };

  // Generates the grid: 1 when filled, 0 when ten attempts failed. Fatal configuration
  // problems end the program after their box.
  int Generate(const char* configFile, int region, int seed);
  // The path of a section's file, found in the section folder with the prefix.
  bool FindSectionFile(int secNo, std::string& path) const;

  int32_t seed = 0;
  int32_t sizeX = 0, sizeY = 0;  // grid squares
  int32_t internalBase = 0;
  int32_t counters[4] = {};
  int32_t levels = 0;
  int32_t blockX = 0, blockY = 0;  // cells per grid square
  SecInfo infos[kMaxInfos];
  MapGridSquare grid[kMaxGrid][kMaxGrid];  // [x][y]
  SectionCandidate candidates[kMaxGrid][kMaxGrid][kMaxCandidates];
  Location locations[kMaxLocations];
  int32_t locationCount = 0;
  struct Piece {
    int32_t info = -1, secNo = -1, rot = 0;
    int32_t edges[4] = {-1, -1, -1, -1};
  } piece;
  std::string prefix;                       // with "*" appended
  std::string folder;                       // with "\" appended
  std::vector<std::string> droppedEntries;  // what the log says was left out

 private:
  struct Entry {
    int secNo, rot, x, y, maxOcc;
    bool specific;
  };
  void ReadConfig(const char* configFile, int region);
  void ReadHeaders(std::vector<Entry>& entries);
  void ExpandEntries(const std::vector<Entry>& entries);
  void WriteLog() const;
  void ClearAttempt();
  int Draw(int choices, int which) const;
  void Select(int info, int rotation);
  bool FitsAt(int x, int y) const;
  bool SquareAccepts(int x, int y, const int32_t edges[4]) const;
  bool BlocksFit(int info, int rotation, int x, int y, std::vector<int>& visited) const;
  int ChooseRotation(int x, int y);
  void BuildCandidates(int x, int y, int deadEndKey);
  bool PickCandidate(int x, int y, int& info, int& rotation) const;
  void FindValidSquares(int info, int rotation);
  bool PickValidSquare(int& x, int& y, int& rotation) const;
  void PutPiece(int x, int y);
  int FindPartnerPiece(int internalId, int currentInfo) const;
  void PlaceSection(int info, int rotation, int x, int y);
  void PlaceSpecificSections();
  bool PlaceSections();
  bool Backtrack(int& x, int& y, int& steps);
  void RemovePiece(int& x, int& y, bool& wasLarge);
  void StrikeCandidates(int x, int y, const MapGridSquare& removed, bool wasLarge);
  int EdgeOfNeighbour(int x, int y, int edge) const;

  std::vector<std::array<int32_t, 19>> headers_;  // of the entries kept, in order
};
