#pragma once
// The tray icon's pop-up menu, drawn by the program: items with a picture
// and a text on the panel's grey, and thin separators.

#include <windows.h>

#include <memory>

#include "GdiHolders.h"

class OwnerDrawnMenu {
public:
    static const int kCapacity = 20;
    static const int kItemWidth = 90;
    static const int kItemHeight = 20;
    static const int kSeparatorHeight = 5;
    enum Kind { kNormal = 0, kSeparator = 1 };

    struct Item {
        UINT id = 0;
        BitmapHolder normal, selected, spare;
        int offset = 0;  // the item's top within the menu
        wchar_t text[64] = {};
        Kind kind = kNormal;
    };

    OwnerDrawnMenu() = default;
    ~OwnerDrawnMenu();
    OwnerDrawnMenu(const OwnerDrawnMenu&) = delete;
    OwnerDrawnMenu& operator=(const OwnerDrawnMenu&) = delete;

    bool Create();
    // False when every slot is used, memory runs out or the system refuses
    // the item; the items inserted before stay.
    bool Insert(UINT id, WORD normalBitmap, WORD selectedBitmap, WORD spareBitmap, const wchar_t* text, UINT position,
                bool byPosition, Kind kind);
    int Count() const;
    int TotalHeight() const;
    const Item* Find(UINT id) const;
    static int HeightOf(const Item& item) { return item.kind == kSeparator ? kSeparatorHeight : kItemHeight; }
    void Measure(MEASUREITEMSTRUCT* measure) const;
    void Draw(const DRAWITEMSTRUCT* draw) const;
    HMENU Handle() const { return menu_; }

private:
    void Destroy();

    HMENU menu_ = nullptr;
    std::unique_ptr<Item> items_[kCapacity];
};
