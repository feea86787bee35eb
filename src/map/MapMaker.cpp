#include "map/MapMaker.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/Bytes.h"
#include "core/CfgReader.h"
#include "core/DataFile.h"
#include "core/Random.h"
#include "map/Map.h"
#include "map/MapFiles.h"
#include "map/MapHooks.h"
#include "map/RegionSettings.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/Process.h"
#include "platform/Profile.h"

CRegionSettings g_regionSettings;

namespace {

constexpr const char* kListDelimiters = "()[]{},;_";
constexpr const char* kOffsetDelimiters = "()[]{},;";
constexpr const char* kMissing = "\x01missing";
constexpr int kHeaderBytes = 76;
// Outer connection ids of a section lie in [0, kMaxEdgeId]: the internal ids are numbered
// from the largest of them upward, four counters each advanced by 4 for every join of every
// entry, and they must never reach the end of the int range.
constexpr int32_t kMaxEdgeId = 1 << 24;

unsigned ErrorBox() { return platform::kBoxOk | platform::kBoxIconError | platform::kBoxTopMost; }
unsigned YesNoBox() { return platform::kBoxYesNo | platform::kBoxIconWarning | platform::kBoxTopMost; }

[[noreturn]] void ConfigFatal(const std::string& text) {
  platform::ShowMessageBox(text, "Map cfg Error", ErrorBox());
  platform::ExitProcess(1);
}

// Yes goes on; No ends the program.
void ContinueOrEnd(const std::string& text, const char* caption) {
  if (platform::ShowMessageBox(text, caption, YesNoBox()) != platform::kAnswerYes) platform::ExitProcess(1);
}

// A region's section of the map configuration: its keys, read through the strict reader,
// with their presence checked first so that a missing key takes the generator's own path.
class RegionConfig {
 public:
  RegionConfig(const char* file, int region) {
    reader.SetFile(file);
    section_ = "Region" + std::to_string(region);
    reader.SetSection(section_.c_str());
  }
  bool Has(const char* key) const {
    return platform::ReadProfileString(section_, key, kMissing, reader.filePath) != kMissing;
  }
  std::string Text(const char* key) const { return platform::ReadProfileString(section_, key, "", reader.filePath); }
  int Int(const char* key) {
    reader.SetKey(key);
    int value = 0;
    reader.GetInt(&value);
    return value;
  }
  std::vector<double> List(const char* key, const char* delimiters) {
    std::vector<double> values;
    if (!Has(key)) return values;
    std::snprintf(reader.delimiters, sizeof reader.delimiters, "%s", delimiters);
    reader.SetKey(key);
    double value;
    while (values.size() < 1000 && reader.NextDouble(&value)) values.push_back(value);
    return values;
  }
  const char* Path() const { return reader.filePath; }

  CCfgReader reader;

 private:
  std::string section_;
};

int RequiredInt(RegionConfig& config, const char* key, const char* missing) {
  if (!config.Has(key)) ConfigFatal(missing);
  return config.Int(key);
}

double RequiredDouble(RegionConfig& config, const char* key, const char* missing) {
  if (!config.Has(key)) ConfigFatal(missing);
  return platform::TextToReal(config.Text(key));
}

int WindFromName(const std::string& name, int current) {
  static const char* const kNames[8] = {"NORTH", "NORTHEAST", "EAST", "SOUTHEAST",
                                        "SOUTH", "SOUTHWEST", "WEST", "NORTHWEST"};
  for (int i = 0; i < 8; ++i)
    if (name == kNames[i]) return i;
  return current;
}

// The edge ids after n quarter turns clockwise: the new east is the old north.
void Turn(const int32_t in[4], int rotation, int32_t out[4]) {
  for (int i = 0; i < 4; ++i) out[i] = in[((i - rotation) % 4 + 4) % 4];
}

// Grid neighbours wrap: the map is a torus.
int Wrap(int v, int size) { return ((v % size) + size) % size; }
constexpr int kStepX[4] = {0, 1, 0, -1};
constexpr int kStepY[4] = {-1, 0, 1, 0};

}  // namespace

// --- the configuration ----------------------------------------------------------------------

void CMapMaker::ReadConfig(const char* configFile, int region) {
  RegionConfig config(configFile, region);
  if (!platform::FileExists(config.Path())) {
    platform::ShowMessageBox(std::string("Cannot locate Configuration file:\n") + config.Path(),
                             "Configuration file error", ErrorBox());
    platform::ExitProcess(1);
  }

  prefix = config.Text("SectionPreFix") + "*";
  std::vector<double> size = config.List("MapSize", kListDelimiters);
  if (size.empty() || size[0] < 1) ConfigFatal("No Sizes specified for map");
  if (size.size() < 2 || size[1] < 1) ConfigFatal("No Y Size specified for map");
  // The grid and its tables hold 5 x 5 squares.
  if (size[0] > kMaxGrid || size[1] > kMaxGrid) ConfigFatal("Map size larger than 5 x 5 specified for map");
  sizeX = platform::RealToInt(size[0]);
  sizeY = platform::RealToInt(size[1]);

  int maxWater = RequiredInt(config, "MaxWaterLevel", "No max water level specified for map");
  int minWater = RequiredInt(config, "MinWaterLevel", "No min water level specified for map");
  g_map.SetWaterLimits(minWater, maxWater);
  g_regionSettings.waterLevel = RequiredInt(config, "WaterLevel", "No water level specified for map");
  g_regionSettings.redFactor = RequiredDouble(config, "RedFactor", "No RedFactor specified for map");
  g_regionSettings.greenFactor = RequiredDouble(config, "GreenFactor", "No GreenFactor specified for map");
  g_regionSettings.blueFactor = RequiredDouble(config, "BlueFactor", "No BlueFactor specified for map");

  IMapBattle& battle = *g_mapHooks.battle;
  const int gameType = battle.GameType();
  if (gameType == 1 || gameType == 2) {
    g_map.maxRegionsOfPower = battle.PlacesOfPower();
    g_map.maxManaSprites = battle.ManaSprites();
  } else {
    if (config.Has("MaxRegionofPower")) {
      g_map.maxRegionsOfPower = config.Int("MaxRegionofPower");
    } else {
      platform::ShowMessageBox("No MaxRegionofPower specified for map", "Map cfg Error", ErrorBox());
      g_map.maxRegionsOfPower = 0;
    }
    g_map.maxManaSprites = config.Has("MaxManaSprites") ? config.Int("MaxManaSprites") : 0;
  }
  int regen = config.Has("ManaSpriteRegenRate") ? config.Int("ManaSpriteRegenRate") : 0;
  g_regionSettings.manaSpriteRegenRate = regen == 0 ? 4000 : regen;
  g_regionSettings.flagLevelCount = config.Has("NumFlagLevels") && config.Int("NumFlagLevels") == 2 ? 2 : 3;
  int startLevel = config.Has("StartLevel") ? config.Int("StartLevel") : 1;
  g_regionSettings.startLevel = std::max(startLevel, 1);
  if (config.Has("WindDirection"))
    g_regionSettings.windDirection = WindFromName(config.Text("WindDirection"), g_regionSettings.windDirection);
  g_regionSettings.avLandHeight = config.Has("AvLandHeight") ? config.Int("AvLandHeight") : 0;

  std::vector<Entry> entries;
  std::vector<double> specific = config.List("Specific", kListDelimiters);
  for (size_t i = 0; i < specific.size(); i += 4) {
    if (specific[i] < 0) ConfigFatal("SecNo contains an illegal value");
    if (i + 1 >= specific.size()) ConfigFatal("Rotation value missing in specifics");
    if (i + 2 >= specific.size()) ConfigFatal("X placement value missing");
    if (i + 3 >= specific.size()) ConfigFatal("Y placement value missing");
    entries.push_back({platform::RealToInt(specific[i]), platform::RealToInt(specific[i + 1]),
                       platform::RealToInt(specific[i + 2]), platform::RealToInt(specific[i + 3]), 1, true});
  }
  std::vector<double> random = config.List("Random", kListDelimiters);
  for (size_t i = 0; i < random.size(); i += 2) {
    if (i + 1 >= random.size()) ConfigFatal("Max placement value missing");
    entries.push_back({platform::RealToInt(random[i]), -1, -1, -1, platform::RealToInt(random[i + 1]), false});
  }
  folder = config.Text("Path") + "\\";
  ReadHeaders(entries);
  ExpandEntries(entries);

  for (int i = 0; i < 28; ++i) {
    std::string key = "CreatureDeployOffset_" + std::to_string(i);
    std::vector<double> value = config.List(key.c_str(), kOffsetDelimiters);
    g_regionSettings.creatureDeployOffset[i] = value.empty() ? 0 : platform::RealToInt(value[0]);
    g_map.deploymentTable[i] = g_regionSettings.creatureDeployOffset[i];
  }
  int artefacts = std::clamp(g_mapHooks.objects->ArtefactTypeCount(), 0, 1000);
  g_regionSettings.artefactDeployOffset.assign(static_cast<size_t>(artefacts), 0);
  for (int i = 0; i < artefacts; ++i) {
    std::string key = "ArtefactDeployOffset_" + std::to_string(i);
    std::vector<double> value = config.List(key.c_str(), kOffsetDelimiters);
    g_regionSettings.artefactDeployOffset[static_cast<size_t>(i)] = value.empty() ? 0 : platform::RealToInt(value[0]);
    if (i < map_table::kMaxArtefactOffsets)
      g_map.mapTable[i] = g_regionSettings.artefactDeployOffset[static_cast<size_t>(i)];
  }
  g_map.mapTable[map_table::kManaSpriteRegenRate] = g_regionSettings.manaSpriteRegenRate;
  g_map.mapTable[map_table::kMaxManaSprites] = g_map.maxManaSprites;
}

namespace {

struct SectionHeader {
  int32_t words[19] = {};
  int Width() const { return words[1]; }
  int Height() const { return words[2]; }
  int Levels() const { return words[3]; }
  int BlocksX() const { return words[6]; }
  int BlocksY() const { return words[7]; }
};

bool EdgeIdsInRange(const SectionHeader& header) {
  for (int i = 8; i <= 15; ++i)
    if (header.words[i] < 0 || header.words[i] > kMaxEdgeId) return false;
  return true;
}

// The first 76 bytes of a section file; a file that cannot be read ends the program.
SectionHeader ReadSectionHeader(const std::string& path) {
  CDataFile file;
  if (!file.Open(path.c_str(), "rb")) {
    platform::ShowMessageBox(path, "Could not open file.", ErrorBox());
    platform::ExitProcess(1);
  }
  uint8_t bytes[kHeaderBytes];
  if (!file.Read(bytes, sizeof bytes)) {
    platform::ShowMessageBox(path, "Could read in file.", ErrorBox());
    platform::ExitProcess(1);
  }
  SectionHeader header;
  bytes::Reader in(bytes, sizeof bytes);
  for (int32_t& word : header.words) word = in.I32();
  return header;
}

}  // namespace

void CMapMaker::ReadHeaders(std::vector<Entry>& entries) {
  std::vector<SectionHeader> headers;
  std::vector<Entry> kept;
  bool blockSizeSet = false;
  for (const Entry& entry : entries) {
    std::string path;
    if (!FindSectionFile(entry.secNo, path)) {
      ContinueOrEnd("Could not find map section specified in config file.\n Shall I continue anyway?", "Map Cfg Error");
      continue;
    }
    SectionHeader header = ReadSectionHeader(path);
    if (header.Width() <= 0 || header.Height() <= 0 || header.BlocksX() <= 0 || header.BlocksY() <= 0) {
      ContinueOrEnd("Map Section: " + std::to_string(entry.secNo) + " has no size set.\nShall I continue anyway",
                    "Mapping Error");
      continue;
    }
    if (header.BlocksX() > 2 || header.BlocksY() > 2) {
      // Blocks are joined to their neighbours inside a section of at most 2 x 2.
      droppedEntries.push_back("Section " + std::to_string(entry.secNo) + " dropped: it is " +
                               std::to_string(header.BlocksX()) + " x " + std::to_string(header.BlocksY()) +
                               " blocks, more than 2 x 2");
      continue;
    }
    if (!EdgeIdsInRange(header)) {
      droppedEntries.push_back("Section " + std::to_string(entry.secNo) +
                               " dropped: a connection id lies outside 0 to " + std::to_string(kMaxEdgeId));
      continue;
    }
    int bx = header.Width() / header.BlocksX(), by = header.Height() / header.BlocksY();
    if (!blockSizeSet) {
      blockX = bx;
      blockY = by;
      blockSizeSet = true;
    } else if (bx != blockX || by != blockY) {
      // Its blocks would not fit the grid's squares: the section is left out.
      droppedEntries.push_back("Section " + std::to_string(entry.secNo) + " dropped: its blocks are " +
                               std::to_string(bx) + " x " + std::to_string(by) + ", not " + std::to_string(blockX) +
                               " x " + std::to_string(blockY));
      continue;
    }
    headers.push_back(header);
    kept.push_back(entry);
  }
  int largest = 0;
  for (const SectionHeader& header : headers)
    for (int i = 8; i <= 15; ++i) largest = std::max(largest, header.words[i]);
  internalBase = largest + 1;
  for (int i = 0; i < 4; ++i) counters[i] = internalBase + i;
  entries = kept;
  headers_.clear();
  for (const SectionHeader& header : headers) {
    std::array<int32_t, 19> words;
    std::copy(header.words, header.words + 19, words.begin());
    headers_.push_back(words);
  }
}

void CMapMaker::ExpandEntries(const std::vector<Entry>& entries) {
  int used = 0;
  for (size_t e = 0; e < entries.size(); ++e) {
    const Entry& entry = entries[e];
    SectionHeader header;
    std::copy(headers_[e].begin(), headers_[e].end(), header.words);
    const int wide = header.BlocksX(), high = header.BlocksY();
    bool tooLarge = (sizeX < wide && sizeX < high) || (sizeY < wide && sizeY < high);
    if (tooLarge) {
      ContinueOrEnd("Specific Section No: " + std::to_string(entry.secNo) + ". Is to large for map.\nContinue anyway?",
                    "Map Cfg Error");
      continue;
    }
    // -1 places the section anywhere; any other coordinate must lie on the grid.
    const bool offMap = entry.x >= sizeX || entry.y >= sizeY || entry.x < -1 || entry.y < -1;
    if (entry.specific && offMap) {
      ContinueOrEnd("Specific Section No: " + std::to_string(entry.secNo) + ". Is placed off map.\nContinue anyway?",
                    "Map Cfg Error");
      continue;
    }
    if (used + wide * high > kMaxInfos) {
      // The tables hold 50 blocks: the entry is left out.
      droppedEntries.push_back("Section " + std::to_string(entry.secNo) + " dropped: more than 50 blocks");
      continue;
    }
    // The joins inside the section: each gets one number from its counter, used on both sides.
    int joinRight[2] = {-1, -1}, joinDown[2] = {-1, -1};
    if (wide == 2) {
      joinRight[0] = counters[0];
      counters[0] += 4;
      if (high == 2) {
        joinRight[1] = counters[2];
        counters[2] += 4;
      }
    }
    if (high == 2) {
      joinDown[0] = counters[3];
      counters[3] += 4;
      if (wide == 2) {
        joinDown[1] = counters[1];
        counters[1] += 4;
      }
    }
    for (int row = 0; row < high; ++row) {
      for (int column = 0; column < wide; ++column) {
        SecInfo& info = infos[used++];
        info = SecInfo{};
        info.SecNo = entry.secNo;
        info.specific = entry.specific ? 1 : 0;
        info.large = wide > 1 || high > 1 ? 1 : 0;
        info.maxOcc = entry.specific ? 1 : entry.maxOcc;
        info.mapCrdX = entry.specific ? entry.x : -1;
        info.mapCrdY = entry.specific ? entry.y : -1;
        info.rot = entry.specific ? entry.rot : -1;
        if (info.mapCrdX == -1 || info.mapCrdY == -1) info.mapCrdX = info.mapCrdY = -1;
        info.secPartX = column;
        info.secPartY = row;
        info.secSizeX = wide;
        info.secSizeY = high;
        info.levels = header.Levels();
        info.ids[kNorth] = row == 0 ? header.words[8 + std::min(column, 1)] : joinDown[column > 1 ? 1 : column];
        info.ids[kSouth] = row == high - 1 ? header.words[12 + std::min(column, 1)] : joinDown[column > 1 ? 1 : column];
        info.ids[kEast] = column == wide - 1 ? header.words[10 + std::min(row, 1)] : joinRight[row > 1 ? 1 : row];
        info.ids[kWest] = column == 0 ? header.words[14 + std::min(row, 1)] : joinRight[row > 1 ? 1 : row];
        levels = std::max(levels, info.levels);
        if (!info.large) {
          for (int side = 0; side < 4 && !info.DeadEnd; ++side) {
            int id = info.ids[side];
            bool elsewhere = false;
            for (int other = 0; other < 4; ++other) elsewhere |= other != side && info.ids[other] == id;
            info.DeadEnd = id != 0 && !elsewhere ? 1 : 0;
          }
        }
      }
    }
  }
}

bool CMapMaker::FindSectionFile(int secNo, std::string& path) const {
  std::string number = std::to_string(secNo);
  for (const std::string& name : platform::ListDirectory(folder, prefix + number + ".map")) {
    size_t dot = name.rfind('.');
    size_t start = dot;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(name[start - 1]))) --start;
    if (dot == std::string::npos || start == dot) continue;
    if (platform::TextToInt(name.substr(start, dot - start)) != secNo) continue;
    path = folder + name;
    return true;
  }
  return false;
}

void CMapMaker::WriteLog() const {
  std::string text = "Data stored in SecInfo array...\n\n";
  for (const SecInfo& i : infos) {
    text += Format("SecNo_ %i\n", i.SecNo);
    text += Format(" specific_ %i", i.specific) + Format(" large_ %i", i.large) + Format(" maxOcc_ %i", i.maxOcc) +
            Format(" currOcc_ %i", i.currOcc) + Format(" mapCrdX_ %i", i.mapCrdX) + Format(" mapCrdY_ %i", i.mapCrdY) +
            Format(" secPartX_ %i", i.secPartX) + Format(" secPartY_ %i", i.secPartY) +
            Format(" secSizeX_ %i", i.secSizeX) + Format(" secSizeY_ %i", i.secSizeY) +
            Format(" IDNorth_ %i", i.ids[kNorth]) + Format(" IDEast_ %i", i.ids[kEast]) +
            Format(" IDSouth_ %i", i.ids[kSouth]) + Format(" IDWest_ %i", i.ids[kWest]) + Format(" rot_ %i", i.rot) +
            Format(" DeadEnd_ %i\n", i.DeadEnd);
  }
  for (const std::string& line : droppedEntries) text += line + "\n";
  AppendMapLog("Map Genration.log", text, true);
}

// --- placing --------------------------------------------------------------------------------

int CMapMaker::Draw(int choices, int which) const {
  // Every pick starts a generator from the map seed: the first number chooses, the next
  // chooses a rotation.
  CRandom random(static_cast<uint32_t>(seed));
  uint32_t value = random.Next();
  if (which == 1) value = random.Next();
  return choices <= 0 ? 0 : static_cast<int>((value & 0x7FFFFFFF) % static_cast<uint32_t>(choices));
}

void CMapMaker::Select(int info, int rotation) {
  piece.info = info;
  piece.secNo = infos[info].SecNo;
  piece.rot = ((rotation % 4) + 4) % 4;
  Turn(infos[info].ids, piece.rot, piece.edges);
}

int CMapMaker::EdgeOfNeighbour(int x, int y, int edge) const {
  const MapGridSquare& next = grid[Wrap(x + kStepX[edge], sizeX)][Wrap(y + kStepY[edge], sizeY)];
  return next.occupied ? next.edges[(edge + 2) % 4] : -2;  // -2: an empty neighbour
}

bool CMapMaker::SquareAccepts(int x, int y, const int32_t edges[4]) const {
  if (grid[x][y].occupied) return false;
  for (int edge = 0; edge < 4; ++edge) {
    int facing = EdgeOfNeighbour(x, y, edge);
    if (facing != -2 && facing != edges[edge]) return false;
  }
  if (sizeX == 1 && edges[kEast] != edges[kWest]) return false;
  if (sizeY == 1 && edges[kNorth] != edges[kSouth]) return false;
  return true;
}

bool CMapMaker::FitsAt(int x, int y) const {
  const SecInfo& info = infos[piece.info];
  if (info.currOcc >= info.maxOcc) return false;
  bool even = piece.rot % 2 == 0;
  if ((even ? sizeX : sizeY) < info.secSizeX || (even ? sizeY : sizeX) < info.secSizeY) return false;
  std::vector<int> visited;
  return BlocksFit(piece.info, piece.rot, x, y, visited);
}

// A block at (x, y) turned by the rotation, and through its inner edges every other block of
// its section in the neighbouring squares.
bool CMapMaker::BlocksFit(int info, int rotation, int x, int y, std::vector<int>& visited) const {
  x = Wrap(x, sizeX);
  y = Wrap(y, sizeY);
  int32_t edges[4];
  Turn(infos[info].ids, rotation, edges);
  if (!SquareAccepts(x, y, edges)) return false;
  visited.push_back(info);
  if (!infos[info].large) return true;
  for (int edge = 0; edge < 4; ++edge) {
    if (edges[edge] < internalBase) continue;
    int partner = FindPartnerPiece(edges[edge], info);
    if (partner < 0 || std::find(visited.begin(), visited.end(), partner) != visited.end()) continue;
    if (!BlocksFit(partner, rotation, x + kStepX[edge], y + kStepY[edge], visited)) return false;
  }
  return true;
}

int CMapMaker::ChooseRotation(int x, int y) {
  int info = piece.info;
  int fitting[4], count = 0;
  for (int r = 0; r < 4; ++r) {
    Select(info, r);
    if (FitsAt(x, y)) fitting[count++] = r;
  }
  if (count == 0) return -1;
  int chosen = fitting[Draw(count, 0)];
  Select(info, chosen);
  return chosen;
}

void CMapMaker::BuildCandidates(int x, int y, int deadEndKey) {
  SectionCandidate* list = candidates[x][y];
  for (int i = 0; i < kMaxCandidates; ++i) list[i] = SectionCandidate{};
  int count = 0;
  for (int i = 0; i < kMaxInfos && count < kMaxCandidates; ++i) {
    const SecInfo& info = infos[i];
    if (info.SecNo == -1 || info.specific || info.DeadEnd != deadEndKey) continue;
    SectionCandidate candidate;
    candidate.info = i;
    for (int r = 0; r < 4; ++r) {
      Select(i, r);
      candidate.rotations[r] = FitsAt(x, y) ? 1 : 0;
      candidate.valid |= candidate.rotations[r];
    }
    if (candidate.valid) list[count++] = candidate;
  }
}

bool CMapMaker::PickCandidate(int x, int y, int& info, int& rotation) const {
  const SectionCandidate* list = candidates[x][y];
  int valid[kMaxCandidates], count = 0;
  for (int i = 0; i < kMaxCandidates; ++i)
    if (list[i].valid) valid[count++] = i;
  if (count == 0) return false;
  const SectionCandidate& chosen = list[valid[Draw(count, 0)]];
  int fitting[4], fits = 0;
  for (int r = 0; r < 4; ++r)
    if (chosen.rotations[r]) fitting[fits++] = r;
  if (fits == 0) return false;
  info = chosen.info;
  rotation = fitting[Draw(fits, 1)];
  return true;
}

void CMapMaker::FindValidSquares(int info, int rotation) {
  locationCount = 0;
  for (int y = 0; y < sizeY; ++y) {
    for (int x = 0; x < sizeX && locationCount < kMaxLocations; ++x) {
      Location location;
      location.x = x;
      location.y = y;
      bool any = false;
      for (int r = 0; r < 4; ++r) {
        if (rotation != -1 && r != rotation) continue;
        Select(info, r);
        location.rotations[r] = FitsAt(x, y) ? 1 : 0;
        any |= location.rotations[r] != 0;
      }
      if (any) locations[locationCount++] = location;
    }
  }
}

bool CMapMaker::PickValidSquare(int& x, int& y, int& rotation) const {
  if (locationCount == 0) return false;
  const Location& location = locations[Draw(locationCount, 0)];
  int fitting[4], fits = 0;
  for (int r = 0; r < 4; ++r)
    if (location.rotations[r]) fitting[fits++] = r;
  x = location.x;
  y = location.y;
  rotation = fitting[Draw(fits, 1)];
  return true;
}

void CMapMaker::PutPiece(int x, int y) {
  MapGridSquare& square = grid[x][y];
  const SecInfo& info = infos[piece.info];
  square.occupied = 1;
  square.secNo = piece.secNo;
  square.info = piece.info;
  square.rot = piece.rot;
  square.column = info.secPartX;
  square.row = info.secPartY;
  std::copy(piece.edges, piece.edges + 4, square.edges);
  ++infos[piece.info].currOcc;
}

int CMapMaker::FindPartnerPiece(int internalId, int currentInfo) const {
  for (int i = 0; i < kMaxInfos; ++i) {
    if (i == currentInfo || infos[i].SecNo == -1) continue;
    for (int edge = 0; edge < 4; ++edge)
      if (infos[i].ids[edge] == internalId && infos[i].currOcc == infos[currentInfo].currOcc - 1) return i;
  }
  // Not yet placed this time round (the current block's count is not raised yet).
  for (int i = 0; i < kMaxInfos; ++i) {
    if (i == currentInfo || infos[i].SecNo == -1) continue;
    for (int edge = 0; edge < 4; ++edge)
      if (infos[i].ids[edge] == internalId && infos[i].currOcc == infos[currentInfo].currOcc) return i;
  }
  return -1;
}

void CMapMaker::PlaceSection(int info, int rotation, int x, int y) {
  Select(info, rotation);
  PutPiece(x, y);
  if (!infos[info].large) return;
  const int blocks = infos[info].secSizeX * infos[info].secSizeY;
  for (int placed = 1; placed < blocks; ++placed) {
    bool moved = false;
    for (int edge = 0; edge < 4 && !moved; ++edge) {
      int id = piece.edges[edge];
      if (id < internalBase) continue;
      int nx = Wrap(x + kStepX[edge], sizeX), ny = Wrap(y + kStepY[edge], sizeY);
      if (grid[nx][ny].occupied) continue;
      int partner = FindPartnerPiece(id, piece.info);
      if (partner < 0) continue;
      Select(partner, piece.rot);
      x = nx;
      y = ny;
      PutPiece(x, y);
      moved = true;
    }
    if (!moved) break;
  }
}

void CMapMaker::PlaceSpecificSections() {
  const unsigned warning = platform::kBoxOk | platform::kBoxIconWarning | platform::kBoxTopMost;
  for (int i = 0; i < kMaxInfos; ++i) {
    SecInfo& info = infos[i];
    if (info.SecNo == -1 || !info.specific || info.currOcc >= info.maxOcc || info.mapCrdX == -1) continue;
    int x = info.mapCrdX, y = info.mapCrdY;
    if (info.rot != -1) {
      Select(i, info.rot);
      if (FitsAt(x, y)) {
        PlaceSection(i, info.rot, x, y);
        continue;
      }
      platform::ShowMessageBox(
          "Section could not be placed in it`s current rotation.\n\nMAPMAKER will attempt to place section at another "
          "rotation.",
          "Config File Error!", warning);
    }
    Select(i, 0);
    int rotation = ChooseRotation(x, y);
    if (rotation < 0) {
      platform::ShowMessageBox(
          "Section could not be placed in any rotation.\n\nMAPMAKER will attempt to place section at a random "
          "location.",
          "Config File Error!", warning);
      info.mapCrdX = info.mapCrdY = -1;
      continue;
    }
    // The rotation that was found to fit is the one used.
    PlaceSection(i, rotation, x, y);
  }
  for (int i = 0; i < kMaxInfos; ++i) {
    SecInfo& info = infos[i];
    if (info.SecNo == -1 || !info.specific || info.currOcc >= info.maxOcc || info.mapCrdX != -1) continue;
    int x, y, rotation;
    bool found = false;
    if (info.rot != -1) {
      FindValidSquares(i, info.rot);
      found = PickValidSquare(x, y, rotation);
      if (!found)
        platform::ShowMessageBox(
            "No valid locations found for this section.\n\nMAPMAKER will attempt to place section at another rotation.",
            "Config File Error!", warning);
    }
    if (!found) {
      FindValidSquares(i, -1);
      found = PickValidSquare(x, y, rotation);
    }
    if (!found) {
      platform::ShowMessageBox("No valid locations found for this section.\n\nSection will not be in final map.",
                               "Config File Error!", warning);
      info.currOcc = info.maxOcc;
      continue;
    }
    PlaceSection(i, rotation, x, y);
  }
}

void CMapMaker::RemovePiece(int& x, int& y, bool& wasLarge) {
  MapGridSquare& square = grid[x][y];
  int info = square.info;
  wasLarge = infos[info].large != 0;
  if (!wasLarge) {
    --infos[info].currOcc;
    square = MapGridSquare{};
    return;
  }
  // Every square of this copy of the large section: the squares of its blocks that touch
  // through its inner edges. Work goes on at its top-left square.
  std::vector<std::pair<int, int>> copy{{x, y}};
  for (size_t k = 0; k < copy.size(); ++k) {
    const MapGridSquare& here = grid[copy[k].first][copy[k].second];
    for (int edge = 0; edge < 4; ++edge) {
      if (here.edges[edge] < internalBase) continue;
      int nx = Wrap(copy[k].first + kStepX[edge], sizeX), ny = Wrap(copy[k].second + kStepY[edge], sizeY);
      const MapGridSquare& next = grid[nx][ny];
      if (!next.occupied || next.secNo != here.secNo || next.edges[(edge + 2) % 4] != here.edges[edge]) continue;
      if (std::find(copy.begin(), copy.end(), std::pair{nx, ny}) == copy.end()) copy.push_back({nx, ny});
    }
  }
  std::pair<int, int> topLeft = copy[0];
  for (const auto& square : copy) {
    --infos[grid[square.first][square.second].info].currOcc;
    grid[square.first][square.second] = MapGridSquare{};
    if (square.second < topLeft.second || (square.second == topLeft.second && square.first < topLeft.first))
      topLeft = square;
  }
  x = topLeft.first;
  y = topLeft.second;
}

void CMapMaker::StrikeCandidates(int x, int y, const MapGridSquare& removed, bool wasLarge) {
  SectionCandidate* list = candidates[x][y];
  bool empty = true;
  for (int i = 0; i < kMaxCandidates; ++i) empty &= !list[i].valid;
  if (wasLarge || empty) {
    BuildCandidates(x, y, 0);
    bool none = true;
    for (int i = 0; i < kMaxCandidates; ++i) none &= !list[i].valid;
    if (none) BuildCandidates(x, y, 1);
  }
  for (int i = 0; i < kMaxCandidates; ++i) {
    SectionCandidate& candidate = list[i];
    if (!candidate.valid) continue;
    for (int r = 0; r < 4; ++r) {
      if (!candidate.rotations[r]) continue;
      bool same = candidate.info == removed.info && (wasLarge || r == removed.rot);
      int32_t turned[4];
      Turn(infos[candidate.info].ids, r, turned);
      same |= std::equal(turned, turned + 4, removed.edges);
      if (same) candidate.rotations[r] = 0;
    }
    const SecInfo& info = infos[candidate.info];
    bool any = false;
    for (uint8_t flag : candidate.rotations) any |= flag != 0;
    candidate.valid = any && info.currOcc < info.maxOcc ? 1 : 0;
  }
}

bool CMapMaker::Backtrack(int& x, int& y, int& steps) {
  for (;;) {
    if (++steps > kMaxBacktracks) return false;
    if (x == 0 && y == 0) return false;
    if (--x < 0) {
      x = sizeX - 1;
      --y;
    }
    if (grid[x][y].occupied && infos[grid[x][y].info].specific) {
      if (x != 0 || y == 0) return false;
      x = sizeX - 1;  // past a fixed section in the first column, to the previous row
      --y;
      if (grid[x][y].occupied && infos[grid[x][y].info].specific) return false;
    }
    if (!grid[x][y].occupied) continue;
    MapGridSquare removed = grid[x][y];
    bool wasLarge = false;
    RemovePiece(x, y, wasLarge);
    StrikeCandidates(x, y, removed, wasLarge);
    int info, rotation;
    if (PickCandidate(x, y, info, rotation)) {
      PlaceSection(info, rotation, x, y);
      return true;
    }
  }
}

bool CMapMaker::PlaceSections() {
  int steps = 0;
  int x = 0, y = 0;
  while (y < sizeY) {
    if (!grid[x][y].occupied) {
      int info, rotation;
      BuildCandidates(x, y, 0);
      bool picked = PickCandidate(x, y, info, rotation);
      if (!picked) {
        BuildCandidates(x, y, 1);
        picked = PickCandidate(x, y, info, rotation);
      }
      if (picked)
        PlaceSection(info, rotation, x, y);
      else if (!Backtrack(x, y, steps))
        return false;
    }
    if (++x >= sizeX) {
      x = 0;
      ++y;
    }
  }
  return true;
}

void CMapMaker::ClearAttempt() {
  for (SecInfo& info : infos) info.currOcc = 0;
  for (auto& column : grid)
    for (MapGridSquare& square : column) square = MapGridSquare{};
  locationCount = 0;
  for (auto& column : candidates)
    for (auto& list : column)
      for (SectionCandidate& candidate : list) candidate = SectionCandidate{};
  piece = Piece{};
}

int CMapMaker::Generate(const char* configFile, int region, int newSeed) {
  seed = newSeed;
  for (SecInfo& info : infos) info = SecInfo{};
  droppedEntries.clear();
  ReadConfig(configFile, region);
  WriteLog();
  bool filled = false;
  for (int attempt = 0; attempt < kMaxAttempts && !filled; ++attempt) {
    if (attempt > 0) seed += 500;
    ClearAttempt();
    PlaceSpecificSections();
    filled = PlaceSections();
  }
  return filled ? 1 : 0;
}
