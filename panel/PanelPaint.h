#pragma once
// Texts on the skin, for the paint of the panel and of its sections. Grey
// marks what the user cannot change right now.

#include <windows.h>

#include <stdint.h>

#include "PaintedTexts.h"

const COLORREF kSkinWhite = 0xFFFFFF;
const COLORREF kSkinGrey = 9145207;

inline COLORREF Shade(bool enabled) {
    return enabled ? kSkinWhite : kSkinGrey;
}

struct SkinText {
    HDC dc;
    const HFONT* fonts;  // the panel's, numbered from 1
    void At(int x, int y, const wchar_t* text) const;
    // A text of the table in its own font.
    void At(const PaintedText& t) const;
    void In(COLORREF colour, const PaintedText& t) const;
    // A slider value in kHz as whole MHz.
    void Mhz(int x, int y, int64_t khz) const;
};
