#include "ui/WidgetControls.h"

#include "graphics/Display.h"
#include "ui/Button.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/RadioButton.h"
#include "ui/SharedArt.h"
#include "ui/SliderBar.h"
#include "ui/TextButton.h"

std::unique_ptr<CControl> MakeWidgetControl(int type, const CWidgetConfig& config, int id, CCallback* callback,
                                            CRadioGroup& radioGroup) {
  CFont* font = config.font ? config.font : &g_bodyFont;
  switch (type) {
    case kWidgetTextButton: {
      auto button = std::make_unique<CTextButton>();
      button->SetFont(font);
      button->SetSurface(&g_backBuffer);
      button->Create(id, config.Rect(), callback, nullptr, 1);
      button->SetCaption(config.text);
      return button;
    }
    case kWidgetStandardButton: {
      auto button = std::make_unique<CButton>();
      button->SetSurface(&g_backBuffer);
      button->SetFrameSprite(&g_buttonSprite);
      const int* frames = config.spriteIndexes;
      button->SetFrames(frames[0], frames[1], -1);
      button->SetAltFrames(-1, frames[2] != 0 ? frames[2] : -1, -1);
      button->Create(id, config.Rect(), callback, nullptr, 1);
      return button;
    }
    case kWidgetEditBox: {
      auto box = std::make_unique<CEditBox>();
      box->SetFont(font);
      box->SetSurface(&g_backBuffer);
      box->Create(id, config.Rect(), callback, nullptr, 1);
      box->SetText(config.text);
      return box;
    }
    case kWidgetSliderBar: {
      auto slider = std::make_unique<CSliderBar>();
      slider->SetSurface(&g_backBuffer);
      slider->Create(id, config.Rect(), callback, 1);
      slider->SetRange(config.maxValue, config.minValue);
      slider->arrowStep = config.step;
      return slider;
    }
    case kWidgetRadioButton: {
      auto radio = std::make_unique<CRadioButton>();
      radio->SetFont(font);
      radio->SetSurface(&g_backBuffer);
      radio->Create(id, config.Rect());
      radio->SetCaption(config.text);
      radio->Restore();
      radioGroup.Add(radio.get());
      return radio;
    }
    case kWidgetListBox: {
      auto list = std::make_unique<CListBox>();
      list->SetFont(font);
      list->SetSurface(&g_backBuffer);
      list->Create(id, config.Rect(), callback, 1);
      return list;
    }
    case kWidgetMessageListBox: {
      auto messages = std::make_unique<CMessageListBox>();
      messages->SetFont(font);
      messages->SetSurface(&g_backBuffer);
      messages->id = id;
      messages->Create(config.Rect(), 1);
      if (!config.colours.empty())
        for (int c = 0; c < 3; ++c) messages->blackAs[c] = config.colours[0][static_cast<size_t>(c)];
      return messages;
    }
    default:
      return nullptr;
  }
}

CTextLabel MakeWidgetLabel(const CWidgetConfig& config) {
  CTextLabel label;
  label.SetSurface(&g_backBuffer);
  label.SetFont(config.font ? config.font : &g_bodyFont);
  label.SetRect(config.Rect());
  label.SetText(config.text);
  label.SetFlags(config.textFlags);
  if (!config.colours.empty()) label.SetColour(config.colours[0][0], config.colours[0][1], config.colours[0][2]);
  return label;
}

CPictureBox MakeWidgetPicture(const CWidgetConfig& config) {
  CPictureBox picture;
  picture.Create(config.Rect(), &g_buttonSprite, config.spriteIndexes[0]);
  picture.SetSurface(&g_backBuffer);
  return picture;
}
