// Feeds arbitrary text to the grimoire's text reader, then sorts and builds the contents of
// every chapter: no read strays past the text, and every section text it hands out starts
// inside the buffer and ends within it.
#include <cstdint>
#include <cstring>

#include "GameDataFuzz.h"
#include "battle/GrimoireText.h"
#include "platform/MessageBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    platform::SetMessageBoxHandler([](const platform::MessageBoxCall&) { return platform::kAnswerOk; });
    return true;
  }();
  (void)quiet;
  CGrimoireText database;
  database.text.assign(data, data + size);
  database.text.push_back('\0');
  ParseGrimoireText(database);
  const char* begin = database.text.data();
  const char* end = begin + database.text.size();
  for (int c = 0; c < kGrimoireChapters; ++c) {
    CGrimoireChapter& chapter = database.chapters[static_cast<size_t>(c)];
    SortGrimoireChapter(chapter);
    BuildGrimoireContents(chapter, c);
    for (const auto& section : chapter.sections) {
      if (!section) continue;
      fuzz::Expect(!section->name || section->name->size() <= static_cast<size_t>(kGrimoireNameLimit));
      for (const char* text : section->texts) {
        if (!text || text == chapter.contents.get()) continue;
        fuzz::Expect(text >= begin && text < end);
        fuzz::Expect(std::memchr(text, '\0', static_cast<size_t>(end - text)) != nullptr);
      }
    }
  }
  return 0;
}
