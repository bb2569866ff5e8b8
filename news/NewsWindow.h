// The list of news in the About dialog: one link label per row. When there
// are more items than the nine rows hold, the rows move up one pixel every
// 120 ms like a ticker, each refilled at the bottom with the next item or a
// separator row between the last item and the first; the ticker stops
// while the pointer is over the list. The window shows its own copy of the
// items it was given.
#pragma once

#include <windows.h>

#include <memory>

#include "LinkLabel.h"

extern const wchar_t kNewsWindowClass[];     // "WebInfBrower_Cls"
extern const wchar_t kNewsWindowProperty[];  // "WebInfBrower_ThisObj"

bool RegisterNewsWindowClass(HINSTANCE instance);

class NewsWindow {
public:
    static constexpr int kMaxRows = 9;
    static constexpr int kMaxItems = 200;
    // Characters of a title put on a row.
    static constexpr int kTitleChars = 60;
    static constexpr UINT_PTR kTickerTimer = 1;
    static constexpr UINT kTickerMs = 120;

    NewsWindow() = default;
    // Destroys the window if it is still there.
    ~NewsWindow();
    NewsWindow(const NewsWindow&) = delete;
    NewsWindow& operator=(const NewsWindow&) = delete;

    // Not owned. Rows are the font's height + 6 pixels high.
    void SetFont(HFONT font);
    // Before Create: an item as the page gave it, the title in the ANSI code
    // page, the link an address for the label (empty for none). False once
    // kMaxItems are in or without memory.
    bool AddItem(const char* title, const char* link);
    int ItemCount() const { return itemCount_; }

    // Makes the window as child `id` of parent, `width` wide, with one row
    // per item up to nine: all rows showing for nine items or fewer, eight
    // and a ninth waiting below when there are more. False without items or
    // when a window cannot be made.
    bool Create(int id, int x, int y, int width, HWND parent);
    // Height of the list in its parent, border included; 0 without a window.
    int Height() const;
    int RowHeight() const { return rowHeight_; }
    int RowCount() const { return rowCount_; }
    // A row's label, for whoever must look at what it shows.
    const LinkLabel* Row(int index) const;
    HWND Window() const { return window_; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    struct Item {
        wchar_t title[kTitleChars + 1];
        std::unique_ptr<char[]> link;
    };

    void Tick();
    LRESULT OnDestroy();
    void ShowNextItem(LinkLabel& row);
    bool PointerInside() const;
    void FreeItems();

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    int rowHeight_ = 0;
    std::unique_ptr<Item[]> items_;
    int itemCount_ = 0;
    std::unique_ptr<LinkLabel[]> rows_;
    int rowCount_ = 0;
    // The item last put on a row; -1 after the separator row.
    int nextItem_ = 0;
};
