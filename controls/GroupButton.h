// A text button that stays pressed while it is the selected member of its
// ButtonGroup: a tab or mode button.
#pragma once

#include "TextButton.h"

class ButtonGroup;

class GroupButton : public TextButton {
public:
    int Create(int id, const wchar_t* caption, int x, int y, int width, int height, HWND parent, WORD normalId,
               WORD hotId, WORD disabledId) override;
    // Selects this button in its group and reports 1037 with the object.
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnPaint() override;

    void JoinGroup(ButtonGroup* newGroup);
    void SetSelected(int select);
    int IsSelected() const { return selected; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    ButtonGroup* group = nullptr;
    int selected = 0;
};

// Members are not owned. Holds at most kCapacity buttons; more are ignored.
class ButtonGroup {
public:
    static constexpr int kCapacity = 20;

    void Add(GroupButton* button);
    // Selects the button and unselects the previous one; null unselects all.
    void Select(GroupButton* button);
    GroupButton* Selected() const { return selectedMember; }
    int Count() const { return count; }

    int count = 0;
    GroupButton* members[kCapacity] = {};
    GroupButton* selectedMember = nullptr;
};

extern const wchar_t kGroupButtonClass[];
extern const wchar_t kGroupButtonProperty[];
