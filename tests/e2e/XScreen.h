#pragma once
// Real windows on the virtual X display of the end-to-end tests: screenshots of the whole
// screen, and input sent through the X server as a user's would be.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace e2e {

struct Screenshot {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  const unsigned char* At(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

// The whole X screen, through ImageMagick's import, as binary PPM.
inline bool TakeScreenshot(const std::string& display, const std::string& path, Screenshot& shot) {
  std::string command = "import -display " + display + " -window root -depth 8 ppm:" + path + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) return false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  int maxValue = 0;
  bool ok = std::fscanf(file, "P6 %d %d %d", &shot.width, &shot.height, &maxValue) == 3 && maxValue == 255;
  std::fgetc(file);
  if (ok) {
    shot.rgb.resize(static_cast<size_t>(shot.width) * shot.height * 3);
    ok = std::fread(shot.rgb.data(), 1, shot.rgb.size(), file) == shot.rgb.size();
  }
  std::fclose(file);
  return ok;
}

inline bool Near(const unsigned char* pixel, int r, int g, int b, int tolerance = 8) {
  return std::abs(pixel[0] - r) <= tolerance && std::abs(pixel[1] - g) <= tolerance &&
         std::abs(pixel[2] - b) <= tolerance;
}

inline int Brightness(const unsigned char* pixel) { return pixel[0] + pixel[1] + pixel[2]; }

// Runs xdotool on the display; false when it fails or is not installed.
inline bool XdoTool(const std::string& display, const std::string& arguments) {
  const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
  return std::system(("DISPLAY=" + display + " " + command).c_str()) == 0;
}

// What xdotool prints on the display (empty when it fails or is not installed).
inline std::string XdoToolOutput(const std::string& display, const std::string& arguments) {
  const std::string command = "DISPLAY=" + display + " xdotool " + arguments + " 2>/dev/null";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  return out;
}

inline bool HaveXdoTool() { return std::system("command -v xdotool >/dev/null 2>&1") == 0; }

}  // namespace e2e
