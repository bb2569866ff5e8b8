#include "NewsWindow.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "ControlCommon.h"
#include "GdiHolders.h"

const wchar_t kNewsWindowClass[] = L"WebInfBrower_Cls";
const wchar_t kNewsWindowProperty[] = L"WebInfBrower_ThisObj";

namespace {

// Between the last item and the first.
const wchar_t kSeparatorRow[] = L"-----------------------------------------";
// Bytes enough for kTitleChars characters in any ANSI code page, UTF-8's
// four bytes a character included.
const int kTitleBytes = 4 * NewsWindow::kTitleChars;

int RowHeightFor(HFONT font) {
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW logFont = {};
    int height = 0;
    if (GetObjectW(font, sizeof(logFont), &logFont) == sizeof(logFont)) height = std::abs(logFont.lfHeight);
    if (height == 0) {
        // A font of the default size names no height: ask the font itself.
        WindowDCHolder screen(nullptr);
        TEXTMETRICW metrics = {};
        // Declared after the DC, so the font is put back before it goes.
        ScopedSelect select(screen.Get(), font);
        if (GetTextMetricsW(screen.Get(), &metrics)) height = metrics.tmHeight;
    }
    return height + 6;
}

// The first kTitleChars characters of a title in the ANSI code page. Only
// as many bytes are converted as those characters can take; a character
// the cut splits falls beyond them.
void ConvertTitle(const char* title, wchar_t* out) {
    out[0] = L'\0';
    if (!title) return;
    const size_t length = strnlen(title, kTitleBytes);
    wchar_t wide[kTitleBytes + 1];
    int chars = MultiByteToWideChar(CP_ACP, 0, title, static_cast<int>(length), wide, kTitleBytes);
    if (chars > NewsWindow::kTitleChars) chars = NewsWindow::kTitleChars;
    for (int i = 0; i < chars; i++)
        out[i] = wide[i];
    out[chars > 0 ? chars : 0] = L'\0';
}

}  // namespace

bool RegisterNewsWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &NewsWindow::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kNewsWindowClass;
    return RegisterClassExW(&wc) != 0;
}

NewsWindow::~NewsWindow() {
    if (window_) DestroyWindow(window_);
    FreeItems();
}

void NewsWindow::FreeItems() {
    items_.reset();
    itemCount_ = 0;
}

void NewsWindow::SetFont(HFONT font) {
    font_ = font;
    rowHeight_ = RowHeightFor(font);
}

bool NewsWindow::AddItem(const char* title, const char* link) {
    if (itemCount_ >= kMaxItems) return false;
    if (!items_) {
        items_.reset(new (std::nothrow) Item[kMaxItems]);
        if (!items_) return false;
    }
    Item& item = items_[itemCount_];
    item.link.reset();
    if (link && *link) {
        const size_t size = std::strlen(link) + 1;
        item.link.reset(new (std::nothrow) char[size]);
        if (!item.link) return false;
        std::memcpy(item.link.get(), link, size);
    }
    ConvertTitle(title, item.title);
    itemCount_++;
    return true;
}

bool NewsWindow::Create(int id, int x, int y, int width, HWND parent) {
    const int rows = itemCount_ < kMaxRows ? itemCount_ : kMaxRows;
    if (rows == 0 || window_) return false;
    if (rowHeight_ == 0) rowHeight_ = RowHeightFor(font_);

    // With more items than rows the ninth row waits below the eight shown.
    const int shownRows = itemCount_ <= kMaxRows ? rows : rows - 1;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    const DWORD exStyle = WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT;
    // The rows fill the client area; the borders come on top of it.
    RECT frame = {0, 0, width, shownRows * rowHeight_};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    window_ = CreateWindowExW(exStyle, kNewsWindowClass, nullptr, style, x, y, width, frame.bottom - frame.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!window_) return false;

    rows_.reset(new (std::nothrow) LinkLabel[rows]);
    if (!rows_) {
        DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    SetPropW(window_, kNewsWindowProperty, this);
    RECT client;
    GetClientRect(window_, &client);
    for (int i = 0; i < rows; i++) {
        LinkLabel& row = rows_[i];
        row.SetFont(font_);
        if (!row.Create(i, 0, i * rowHeight_, client.right, rowHeight_, window_)) continue;
        row.SetText(items_[i].title);
        row.SetAddress(items_[i].link.get());
    }
    rowCount_ = rows;
    nextItem_ = rows - 1;
    SetTimer(window_, kTickerTimer, kTickerMs, nullptr);
    return true;
}

int NewsWindow::Height() const {
    if (!window_) return 0;
    RECT r;
    return GetWindowRect(window_, &r) ? r.bottom - r.top : 0;
}

const LinkLabel* NewsWindow::Row(int index) const {
    return index >= 0 && index < rowCount_ ? &rows_[index] : nullptr;
}

bool NewsWindow::PointerInside() const {
    POINT pointer;
    RECT r;
    if (!GetCursorPos(&pointer) || !GetWindowRect(window_, &r)) return false;
    return pointer.x > r.left && pointer.x < r.right && pointer.y > r.top && pointer.y < r.bottom;
}

void NewsWindow::ShowNextItem(LinkLabel& row) {
    if (nextItem_ + 1 < itemCount_) {
        nextItem_++;
        row.SetText(items_[nextItem_].title);
        row.SetAddress(items_[nextItem_].link.get());
    } else {
        nextItem_ = -1;
        row.SetText(kSeparatorRow);
        row.SetAddress(nullptr);
    }
}

void NewsWindow::Tick() {
    if (rowCount_ == itemCount_ || PointerInside()) return;
    for (int i = 0; i < rowCount_; i++) {
        LinkLabel& row = rows_[i];
        if (!row.Window()) continue;
        const RECT r = GetRectInParent(row.Window());
        int top = r.top - 1;
        if (top <= -rowHeight_) {
            top = (rowCount_ - 1) * rowHeight_;
            ShowNextItem(row);
        }
        SetWindowPos(row.Window(), nullptr, r.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT NewsWindow::OnDestroy() {
    HWND hwnd = window_;
    KillTimer(hwnd, kTickerTimer);
    // The labels' own destructors take their windows down with them.
    rows_.reset();
    rowCount_ = 0;
    RemovePropW(hwnd, kNewsWindowProperty);
    window_ = nullptr;
    return DefWindowProcW(hwnd, WM_DESTROY, 0, 0);
}

LRESULT CALLBACK NewsWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    NewsWindow* news = ObjectFromWindow<NewsWindow>(hwnd, kNewsWindowProperty);
    if (news) {
        switch (msg) {
            case WM_TIMER:
                if (wParam == kTickerTimer) news->Tick();
                return 0;
            case WM_DESTROY:
                return news->OnDestroy();
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
