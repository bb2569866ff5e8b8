#pragma once
// The panel's fonts, numbered 1 to kPanelFontCount as the painting and the
// controls name them. Pure data: start-up makes them, the text-fit test
// measures with the same ones.

const int kPanelFontCount = 7;

struct PanelFontFace {
    const wchar_t* face;
    int height;  // pixels (the LOGFONT height)
    int weight;  // 0 normal, 700 bold
    bool proofQuality;
};

const PanelFontFace kPanelFonts[kPanelFontCount] = {
    {L"Arial", 14, 700, true},        // 1 captions of the displays
    {L"Arial", 14, 0, false},         // 2 the sections' texts
    {L"DigifaceWide", 16, 0, false},  // 3 the value displays
    {L"Arial", 10, 700, false},       // 4
    // Smaller faces of the same fonts, for texts that would not fit their
    // place in every language: 5 the fan hints, 6 Settings, 7 Restore
    // defaults.
    {L"Arial", 12, 0, false},
    {L"Arial", 12, 700, true},
    {L"Arial", 11, 0, false},
};
