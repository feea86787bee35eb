// The menu screen base: reading widget layout files and screen globals, the frame with its
// fade-out and screen changes, and the keys.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "forge/ScreenLayout.h"
#include "graphics/GraphicsFixtures.h"
#include "platform/Files.h"
#include "ui/Button.h"
#include "ui/DialogBox.h"
#include "ui/MenuScreen.h"

namespace {

constexpr const char* kTestLayout = "Interface\\Test\\screen (Test).cfg";

bool SameRect(const platform::Rect& a, const forge::LayoutRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(WidgetLayout, EveryWidgetOfTheForgedTestLayoutReadsBackAsWritten) {
  ui_test::InForgedData data;
  const forge::ScreenLayout layout = forge::TestScreenLayout();
  for (const forge::Widget& w : layout.Widgets()) {
    SCOPED_TRACE(std::string(forge::WidgetPrefix(w.kind)) + std::to_string(w.number));
    CWidgetConfig record;
    ASSERT_EQ(LoadWidgetConfig(kTestLayout, &record, static_cast<int>(w.kind), w.number), 1);
    EXPECT_TRUE(SameRect(record.rect800, w.rect800));
    EXPECT_TRUE(SameRect(record.rect640, forge::ScaledTo640(w.rect800)));
    EXPECT_EQ(std::string(record.text), w.text.value_or(""));
    CFont* font = w.font == "LARGE"  ? &g_headingFont
                  : w.font == "TINY" ? &g_smallFont
                  : w.font.empty()   ? nullptr
                                     : &g_bodyFont;
    EXPECT_EQ(record.font, font);
    for (size_t i = 0; i < w.spriteIndexes.size(); ++i) EXPECT_EQ(record.spriteIndexes[i], w.spriteIndexes[i]);
    EXPECT_EQ(record.minValue, w.minValue.value_or(0));
    EXPECT_EQ(record.maxValue, w.maxValue.value_or(0));
    EXPECT_EQ(record.step, w.step.value_or(1));
    EXPECT_EQ(record.colours, w.colours);
    const uint8_t flags = w.textFlags.empty()       ? 0
                          : w.textFlags == "CENTRE" ? kTextCentre
                          : (w.textFlags == "left") ? kTextLeft
                                                    : kTextRight;
    EXPECT_EQ(record.textFlags, flags);
  }
  char stem[256] = "unchanged";
  ReadScreenGlobal("BackgroundFile", kTestLayout, stem);
  EXPECT_STREQ(stem, "Test");
  ReadScreenGlobal("NoSuchKey", kTestLayout, stem);
  EXPECT_STREQ(stem, "Test");
}

class HandWrittenLayout : public ::testing::Test {
 protected:
  void Write(const std::string& text) {
    dir_.Write("layout.cfg", text);
    platform::FlushProfileCache();
  }
  std::string Contents() {
    std::vector<uint8_t> bytes;
    platform::ReadWholeFile(dir_.File("layout.cfg"), bytes);
    return std::string(bytes.begin(), bytes.end());
  }
  CWidgetConfig Read(int type = kWidgetText, int number = 1) {
    CWidgetConfig record;
    LoadWidgetConfig("layout.cfg", &record, type, number);
    return record;
  }
  testing_support::TempDir dir_{true};
};

TEST_F(HandWrittenLayout, AMissingRect1IsDerivedFromRect2AndWrittenBack) {
  Write("[TEXT_1]\nRect2=100,50,300,90\n");
  CWidgetConfig record = Read();
  EXPECT_EQ(record.rect640.left, 80);
  EXPECT_EQ(record.rect640.top, 40);
  EXPECT_EQ(record.rect640.right, 240);
  EXPECT_EQ(record.rect640.bottom, 72);
  EXPECT_NE(Contents().find("Rect1=80,40,240,72"), std::string::npos);
  // Odd values are truncated toward zero.
  Write("[TEXT_1]\nRect2=-9,7,11,13\n");
  record = Read();
  EXPECT_EQ(record.rect640.left, -7);
  EXPECT_EQ(record.rect640.top, 5);
  EXPECT_EQ(record.rect640.right, 8);
  EXPECT_EQ(record.rect640.bottom, 10);
}

TEST_F(HandWrittenLayout, AReadOnlyLayoutKeepsItsLinesAndTheDerivedRectangle) {
  const std::string text = "[TEXT_1]\nRect2=100,50,300,90\n";
  Write(text);
  ASSERT_EQ(::chmod(dir_.File("layout.cfg").c_str(), 0444), 0);
  CWidgetConfig record = Read();
  EXPECT_EQ(record.rect640.right, 240);
  EXPECT_EQ(Contents(), text);
  ::chmod(dir_.File("layout.cfg").c_str(), 0644);
}

TEST_F(HandWrittenLayout, TextsFlagsAndFontsAreCutAsTheScreensWriteThem) {
  struct Case {
    const char* line;
    const char* text;
    uint8_t flags;
    CFont* font;
  };
  const Case cases[] = {
      {"Text=\"  Two  blanks \"", "  Two  blanks ", 0, nullptr},
      {"Text=\"Quit; now\"", "Quit", 0, nullptr},  // the ';' cut comes first
      {"Text=\"Hi\" ; a comment", "Hi", 0, nullptr},
      {"Text=Plain words", "Plain words", 0, nullptr},
      {"TextFlags=left", "", kTextLeft, nullptr},
      {"TextFlags=Right ; comment", "", kTextRight, nullptr},
      {"TextFlags=MIDDLE", "", kTextCentre, nullptr},
      {"Font=large", "", 0, &g_headingFont},
      {"Font=TINY ; small", "", 0, &g_smallFont},
      {"Font=Body", "", 0, &g_bodyFont},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Write(std::string("[TEXT_1]\nRect1=0,0,1,1\n") + c.line + "\n");
    CWidgetConfig record = Read();
    EXPECT_STREQ(record.text, c.text);
    EXPECT_EQ(record.textFlags, c.flags);
    EXPECT_EQ(record.font, c.font);
  }
}

TEST_F(HandWrittenLayout, TheColourCountCannotPromiseMoreThanTheLineHolds) {
  struct Case {
    const char* value;
    std::vector<std::array<int, 3>> colours;
  };
  const Case cases[] = {
      {"2,255,0,0,0,255,0", {{255, 0, 0}, {0, 255, 0}}},
      {"1000000000,1,2,3,4", {{1, 2, 3}}},
      {"-5,1,2,3", {}},
      {"0", {}},
      {"2=x,9,8,7", {{9, 8, 7}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Write(std::string("[LISTBOX_3]\nRect1=0,0,1,1\nColours=") + c.value + "\n");
    EXPECT_EQ(Read(kWidgetListBox, 3).colours, c.colours);
  }
}

TEST_F(HandWrittenLayout, AMissingFileOrSectionLeavesTheRecordButItsFont) {
  CWidgetConfig record;
  record.font = &g_bodyFont;
  record.step = 7;
  record.text[0] = 'x';
  EXPECT_EQ(LoadWidgetConfig("missing.cfg", &record, kWidgetEditBox, 1), 1);
  EXPECT_EQ(record.font, nullptr);
  EXPECT_EQ(record.step, 7);
  EXPECT_EQ(record.text[0], 'x');
  EXPECT_FALSE(platform::FileExists("missing.cfg"));
  EXPECT_EQ(LoadWidgetConfig("missing.cfg", &record, 11, 1), 0);
  EXPECT_EQ(LoadWidgetConfig("missing.cfg", &record, -1, 1), 0);
}

// A menu screen that counts its draws and can be asked to change.
class CountingMenu : public CMenuScreen {
 public:
  void Enter() override {
    closeRequested = 0;
    pendingPush = nullptr;
    Load();
  }
  void Exit() override { Unload(); }
  void Load() override { loaded = 1; }
  void Unload() override { loaded = 0; }
  void Draw() override {
    ++draws;
    g_backBuffer.Fill(0xFFFF);
  }
  void AfterDraw() override { ++afterDraws; }
  int draws = 0;
  int afterDraws = 0;
};

class PlainScreen : public CScreen {
 public:
  void Update() override {}
  void Resume() override { ++resumes; }
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
  int resumes = 0;
};

class MenuScreens : public ui_test::UiScreen {
 protected:
  void TearDown() override {
    // The tests' screens are gone by now: the stack is only forgotten.
    for (CScreen*& entry : g_screenStack) entry = nullptr;
    g_screenCount = 0;
    g_currentScreen = nullptr;
    platform::ClearMessageQueue();
    UiScreen::TearDown();
  }
  static uint16_t Corner() { return graphics_test::PixelAt(g_backBuffer, 0, 0); }
  static void Key(CScreen& screen, unsigned message, int key) {
    screen.OnMessage(nullptr, message, static_cast<uintptr_t>(key), 0);
  }
};

TEST_F(MenuScreens, EscapeFadesFiveFramesAndLeavesAtTheNext) {
  PlainScreen below;
  CountingMenu menu;
  PushScreen(&below);
  PushScreen(&menu);
  Key(menu, platform::WM_KEYDOWN, platform::VK_ESCAPE);
  EXPECT_EQ(g_cursorKind, kCursorNone);
  menu.Update();  // one normal frame
  EXPECT_EQ(menu.draws, 1);
  uint16_t expected = 0xFFFF;
  for (int frame = 0; frame < 5; ++frame) {
    menu.Update();
    expected = static_cast<uint16_t>((expected >> 1) & 0x7BEF);
    EXPECT_EQ(Corner(), expected) << frame;
    EXPECT_EQ(g_currentScreen, &menu);
  }
  EXPECT_EQ(menu.draws, 1);
  EXPECT_EQ(menu.afterDraws, 6);
  menu.Update();
  EXPECT_EQ(g_currentScreen, &below);
  EXPECT_EQ(below.resumes, 1);
  // Without fades the screen leaves at its next frame.
  PushScreen(&menu);
  menu.fadesOn = 0;
  Key(menu, platform::WM_KEYDOWN, platform::VK_ESCAPE);
  menu.Update();
  EXPECT_EQ(g_currentScreen, &below);
}

TEST_F(MenuScreens, APendingPushIsMadeOnceAndNotAgainWhenTheScreenIsBack) {
  CountingMenu menu;
  PlainScreen next;
  PushScreen(&menu);
  menu.fadesOn = 0;
  menu.pendingPush = &next;
  menu.Update();
  EXPECT_EQ(g_currentScreen, &next);
  EXPECT_EQ(menu.pendingPush, nullptr);
  PopScreen();
  menu.Update();
  EXPECT_EQ(g_currentScreen, &menu);
  EXPECT_EQ(g_screenCount, 1);
  // A pop back to a screen below.
  CountingMenu top;
  PushScreen(&next);
  PushScreen(&top);
  top.pendingPopTo = &menu;
  top.Update();
  EXPECT_EQ(g_currentScreen, &menu);
  EXPECT_EQ(top.pendingPopTo, nullptr);
}

TEST_F(MenuScreens, EnterWorksTheFocusedControlOnItsRelease) {
  CountingMenu menu;
  PushScreen(&menu);
  CButton first, second;
  first.Create(1, {0, 0, 10, 10}, recorded_.Callback("first"), nullptr, 1);
  second.Create(2, {10, 0, 20, 10}, recorded_.Callback("second"), nullptr, 1);
  menu.controls.Add(&first, 1);
  menu.controls.Add(&second, 0);
  Key(menu, platform::WM_KEYDOWN, platform::VK_RETURN);
  Key(menu, platform::WM_KEYDOWN, platform::VK_RETURN);  // held
  EXPECT_EQ(first.state, kStatePressed);
  EXPECT_TRUE(recorded_.clicks.empty());
  Key(menu, platform::WM_KEYUP, platform::VK_RETURN);
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"first:1"});
  EXPECT_EQ(menu.draws, 1);  // drawn and presented at once
  // A disabled control keeps the focus it was given but Enter never works it.
  Key(menu, platform::WM_KEYDOWN, platform::VK_DOWN);
  EXPECT_EQ(menu.controls.Focused(), &second);
  second.Disable();
  Key(menu, platform::WM_KEYDOWN, platform::VK_RETURN);
  Key(menu, platform::WM_KEYUP, platform::VK_RETURN);
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"first:1"});
  EXPECT_EQ(recorded_.sounds, std::vector<int>{801});
  // An empty screen takes the keys quietly.
  menu.controls.Clear();
  for (unsigned message : {platform::WM_KEYDOWN, platform::WM_KEYUP, platform::WM_CHAR})
    Key(menu, message, platform::VK_RETURN);
}

// A control that records the keys it is given.
class KeyProbe : public CControl {
 public:
  explicit KeyProbe(int type) : type_(type) {}
  void OnMouse(int, CMouseEvent) override {}
  void Draw() override {}
  void Erase() override {}
  int GetType() override { return type_; }
  void OnKey(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) override {
    keys.push_back(std::to_string(message) + ":" + std::to_string(wParam));
  }
  std::vector<std::string> keys;

 private:
  int type_;
};

TEST_F(MenuScreens, CharactersGoToAFocusedEditBoxOnlyAndNowhereWhileABoxIsOpen) {
  CountingMenu menu;
  PushScreen(&menu);
  KeyProbe edit(kControlEditBox), plain(kControlPlain);
  edit.Create(0, {0, 0, 10, 10}, nullptr, nullptr, 1);
  plain.Create(1, {10, 0, 20, 10}, nullptr, nullptr, 1);
  menu.controls.Add(&edit, 1);
  menu.controls.Add(&plain, 0);
  Key(menu, platform::WM_CHAR, 'a');
  Key(menu, platform::WM_KEYDOWN, 'B');
  EXPECT_EQ(edit.keys, (std::vector<std::string>{"258:97", "256:66"}));
  menu.controls.SetFocus(&plain);
  Key(menu, platform::WM_CHAR, 'c');
  EXPECT_TRUE(plain.keys.empty());
  // With a message box open the keys are the box's and the characters nobody's.
  menu.controls.SetFocus(&edit);
  CDialogBox box;
  box.SetSurface(&g_backBuffer);
  box.SetFont(&g_bodyFont);
  box.Open(recorded_.Callback("box"), "Interface\\Test\\MessageBox.bmp", "Sure?", "Yes", "No");
  menu.dialogBox = &box;
  Key(menu, platform::WM_CHAR, 'd');
  Key(menu, platform::WM_KEYDOWN, platform::VK_RIGHT);
  Key(menu, platform::WM_KEYDOWN, platform::VK_RETURN);
  Key(menu, platform::WM_KEYUP, platform::VK_RETURN);
  EXPECT_EQ(edit.keys.size(), 2u);
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"box:1"});
  menu.dialogBox = nullptr;
}

}  // namespace
