#include "OwnerDrawnMenu.h"

#include <new>

namespace {

const COLORREF kBackground = RGB(94, 105, 111);
const COLORREF kHighlight = RGB(167, 175, 180);
const int kImageSize = 20;
const int kTextWithImage = 23;
const int kTextWithoutImage = 3;

HBITMAP LoadMenuBitmap(WORD id) {
    return id ? LoadBitmapW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(id)) : nullptr;
}

}  // namespace

OwnerDrawnMenu::~OwnerDrawnMenu() {
    Destroy();
}

bool OwnerDrawnMenu::Create() {
    Destroy();
    menu_ = CreatePopupMenu();
    return menu_ != nullptr;
}

void OwnerDrawnMenu::Destroy() {
    if (menu_) DestroyMenu(menu_);
    menu_ = nullptr;
    for (std::unique_ptr<Item>& item : items_)
        item.reset();
}

bool OwnerDrawnMenu::Insert(UINT id, WORD normalBitmap, WORD selectedBitmap, WORD spareBitmap, const wchar_t* text,
                            UINT position, bool byPosition, Kind kind) {
    int slot = 0;
    while (slot < kCapacity && items_[slot])
        slot++;
    if (slot == kCapacity || !menu_) return false;
    int offset = slot == 0 ? 0 : items_[slot - 1]->offset + HeightOf(*items_[slot - 1]);
    std::unique_ptr<Item> item(new (std::nothrow) Item);
    if (!item) return false;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
    info.fType = MFT_OWNERDRAW | (kind == kSeparator ? MFT_SEPARATOR : 0);
    info.wID = id;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    if (!InsertMenuItemW(menu_, position, byPosition ? TRUE : FALSE, &info)) return false;
    if (kind == kNormal) {
        if (text) lstrcpynW(item->text, text, 64);
        item->normal.Reset(LoadMenuBitmap(normalBitmap));
        item->selected.Reset(LoadMenuBitmap(selectedBitmap));
        item->spare.Reset(LoadMenuBitmap(spareBitmap));
    }
    item->kind = kind;
    item->id = id;
    item->offset = offset;
    items_[slot] = std::move(item);
    return true;
}

int OwnerDrawnMenu::Count() const {
    int n = 0;
    for (const std::unique_ptr<Item>& item : items_)
        n += item ? 1 : 0;
    return n;
}

int OwnerDrawnMenu::TotalHeight() const {
    int height = 0;
    for (const std::unique_ptr<Item>& item : items_)
        height += item ? HeightOf(*item) : 0;
    return height;
}

const OwnerDrawnMenu::Item* OwnerDrawnMenu::Find(UINT id) const {
    for (const std::unique_ptr<Item>& item : items_) {
        if (item && item->id == id) return item.get();
    }
    return nullptr;
}

void OwnerDrawnMenu::Measure(MEASUREITEMSTRUCT* measure) const {
    const Item* item = Find(measure->itemID);
    measure->itemWidth = kItemWidth;
    measure->itemHeight = item ? HeightOf(*item) : kItemHeight;
}

void OwnerDrawnMenu::Draw(const DRAWITEMSTRUCT* draw) const {
    HDC dc = draw->hDC;
    RECT r = draw->rcItem;
    BrushHolder background(CreateSolidBrush(kBackground));
    FillRect(dc, &r, background.Get());
    const Item* item = Find(draw->itemID);
    if (!item) return;
    if (item->kind == kSeparator) {
        PenHolder black(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        ScopedSelect pen(dc, black.Get());
        MoveToEx(dc, 0, item->offset + 2, NULL);
        LineTo(dc, r.right, item->offset + 2);
        return;
    }
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    BrushHolder highlight(CreateSolidBrush(kHighlight));
    if (selected) FillRect(dc, &r, highlight.Get());
    if (item->normal) {
        MemoryDC source;
        ScopedSelect picture(source.Get(), selected && item->selected ? item->selected.Get() : item->normal.Get());
        BitBlt(dc, 0, item->offset, kImageSize, kImageSize, source.Get(), 0, 0, SRCCOPY);
    }
    RECT text = {item->normal ? kTextWithImage : kTextWithoutImage, item->offset, kItemWidth,
                 item->offset + kItemHeight};
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, item->text, -1, &text, DT_SINGLELINE | DT_VCENTER);
}
