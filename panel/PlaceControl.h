#pragma once
// Makes a control where the layout puts it, with the faces the layout
// gives: the build's one way of placing controls, for every section.

#include "CheckBox.h"
#include "PanelLayout.h"
#include "Slider.h"
#include "StaticText.h"
#include "TextButton.h"

namespace layout {

inline int CreateSlider(Slider& slider, const SliderPlace& p, HWND parent) {
    return slider.Create(p.trackId, p.handleId, p.popupId, p.x, p.y, p.popupX, p.popupY, p.trackWidth, parent,
                         p.popupBitmap, kHandleFaces.normal, kHandleFaces.hot, kHandleFaces.disabled);
}

inline void CreateCheck(CheckBox& box, const Box& b, HWND parent) {
    box.Create(b.id, b.x, b.y, b.width, b.height, parent, kCheckFaces.normal, kCheckFaces.hot, kCheckFaces.disabled);
}

inline void CreateButton(TextButton& button, const Box& b, const wchar_t* caption, const Faces& faces, HWND parent) {
    button.Create(b.id, caption, b.x, b.y, b.width, b.height, parent, faces.normal, faces.hot, faces.disabled);
}

inline void CreateDisplay(StaticText& display, const Box& b, HWND parent, HFONT font) {
    display.Create(b.id, b.x, b.y, b.width, b.height, parent);
    display.SetFont(font);
}

}  // namespace layout
