#pragma once
// What a widget of a screen layout file becomes on the screen: the control of its type (text
// and standard buttons, edit boxes, slider bars, radio buttons, list and message list boxes),
// or the label or picture box a screen draws itself. Each takes the widget's rectangle for the
// resolution in use, its font (the body font when it names none), its text and its art, and
// draws on the back buffer. The layout screens and the front-end menus share this.

#include <memory>

#include "ui/Control.h"
#include "ui/MenuScreen.h"
#include "ui/TextLabel.h"

class CRadioGroup;

// The control of a widget type, created (registered) with the id and the callback; a radio
// button joins the group. Null for the types that make no control (labels, picture boxes,
// stat and sprite bars).
std::unique_ptr<CControl> MakeWidgetControl(int type, const CWidgetConfig& config, int id, CCallback* callback,
                                            CRadioGroup& radioGroup);
// A TEXT widget's label: font, rectangle, text, alignment and its first colour.
CTextLabel MakeWidgetLabel(const CWidgetConfig& config);
// A PICTUREBOX widget's frame of the shared button sprite.
CPictureBox MakeWidgetPicture(const CWidgetConfig& config);
