// A borderless round radio button: a small dot whose colour shows whether it
// is selected. Radios belong to a RadioGroup that keeps one selected.
#pragma once

#include <windows.h>

class RadioGroup;

class RoundRadio {
public:
    RoundRadio() = default;
    ~RoundRadio();
    RoundRadio(const RoundRadio&) = delete;
    RoundRadio& operator=(const RoundRadio&) = delete;

    // A dot of diameter trunc(2 * radius). Returns 1, or 0 when the window
    // cannot be made or given to the parent.
    int Create(int id, int x, int y, HWND parent);
    void JoinGroup(RadioGroup* newGroup);
    void Enable(int enable) { EnableWindow(window, enable ? TRUE : FALSE); }
    int IsSelected() const { return selected; }
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    COLORREF selectedColour = 0xBE6400;
    COLORREF unselectedColour = 0xFFFFFF;
    RadioGroup* group = nullptr;
    float radius = 3.9f;
    int selected = 0;

private:
    void OnPress();
    void Paint();
};

// Members are not owned. Holds at most kCapacity radios; more are ignored.
class RadioGroup {
public:
    static constexpr int kCapacity = 10;

    void Add(RoundRadio* radio);
    // Selects the radio and unselects the previous one; null unselects all.
    void Select(RoundRadio* radio);
    void ShowAll(int show);
    void EnableAll(int enable);
    int IsEnabled() const;
    RoundRadio* Selected() const { return selectedMember; }
    int Count() const { return count; }

    int count = 0;
    RoundRadio* members[kCapacity] = {};
    RoundRadio* selectedMember = nullptr;
};

extern const wchar_t kRoundRadioClass[];
extern const wchar_t kRoundRadioProperty[];
