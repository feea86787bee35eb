#pragma once
// Writes grimoire text in its markup: chapter and section headings, the texts of the five
// knowledge levels, comments, and the display codes the page composer reads (statistic bars,
// pictures, contents entries, line, area and page breaks). Plain text may hold no tilde: the
// writer refuses it, so that no text can be read as a code by mistake.

#include <string>
#include <string_view>

namespace forge {

struct BarColours {
  int from[3];
  int to[3];
};

class GrimoireWriter {
 public:
  GrimoireWriter& Comment(std::string_view text);
  // A chapter or section heading; an icon of -1 and an empty name are left out.
  GrimoireWriter& Chapter(int chapter, int icon, std::string_view name);
  GrimoireWriter& Section(int section, int icon, std::string_view name);
  GrimoireWriter& Level(int level);
  GrimoireWriter& Text(std::string_view text);
  GrimoireWriter& NewLine();
  GrimoireWriter& AreaBreak();
  GrimoireWriter& PageBreak();
  GrimoireWriter& Picture(std::string_view fileName);
  GrimoireWriter& Entry(int chapter, int section);
  // A statistic bar at x, y (800 x 600 pixels, from the area's left edge and the pen), of a
  // creature type or spell; a second type for HTH and LRC (-1 for none).
  GrimoireWriter& Bar(std::string_view label, int x, int y, int width, int height, const BarColours& colours,
                      std::string_view keyword, int number, int second = -1);
  const std::string& Result() const { return text_; }

 private:
  std::string text_;
};

}  // namespace forge
