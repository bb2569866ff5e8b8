// The news list as a real window: its rows, the ticker and its pause under
// the pointer, clicks on rows, and what destroying it leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ControlCommon.h"
#include "ControlTestHarness.h"
#include "GdiHolders.h"
#include "NewsWindow.h"

namespace {

const int kRowHeight = 20;  // Arial of height 14, plus 6
const wchar_t kSeparator[] = L"-----------------------------------------";

std::vector<std::string> gLaunched;

void RecordLaunch(const char* argument) {
    gLaunched.push_back(argument);
}

std::wstring Title(int i) {
    return i < 0 ? kSeparator : L"Item " + std::to_wstring(i);
}

std::string Link(int i) {
    return i < 0 ? "" : "http://www.vexapanel.com/07/soft/n" + std::to_string(i) + ".html";
}

class NewsWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterNewsWindowClass(GetModuleHandleW(nullptr)); }

    void SetUp() override {
        LOGFONTW logFont = {};
        logFont.lfHeight = 14;
        logFont.lfWeight = FW_BOLD;
        wcscpy(logFont.lfFaceName, L"Arial");
        font.Reset(CreateFontIndirectW(&logFont));
        gLaunched.clear();
        LinkLabel::SetBrowserLauncher(&RecordLaunch);
        SetCursorPos(700, 700);
    }
    void TearDown() override {
        news.reset();
        LinkLabel::SetBrowserLauncher(nullptr);
    }

    bool Make(int items, HWND owner = nullptr) {
        news.reset(new NewsWindow);
        news->SetFont(font.Get());
        for (int i = 0; i < items; i++) {
            const std::wstring wide = Title(i);
            news->AddItem(std::string(wide.begin(), wide.end()).c_str(), Link(i).c_str());
        }
        const bool made = news->Create(10, 4, 82, 306, owner ? owner : parent.Window());
        Pump();
        return made;
    }

    int Top(int row) const { return GetRectInParent(news->Row(row)->Window()).top; }
    std::vector<int> Tops() const {
        std::vector<int> tops;
        for (int i = 0; i < news->RowCount(); i++)
            tops.push_back(Top(i));
        return tops;
    }
    void Tick() { SendMessageW(news->Window(), WM_TIMER, NewsWindow::kTickerTimer, 0); }
    void Click(int row) {
        HWND label = news->Row(row)->Window();
        PostMouse(label, WM_MOUSEMOVE, 5, 5);
        PostMouse(label, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
        PostMouse(label, WM_LBUTTONUP, 5, 5);
        PostMouse(label, WM_MOUSEMOVE, 500, 500);
    }

    RecordingParent parent{400, 300};
    FontHolder font;
    std::unique_ptr<NewsWindow> news;
};

}  // namespace

TEST_F(NewsWindowTest, ShowsNineRowsAndScrollsOnlyWithMore) {
    const struct {
        int items, rows, shownRows;
        bool scrolls;
    } cases[] = {{1, 1, 1, false}, {9, 9, 9, false}, {10, 9, 8, true}, {200, 9, 8, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.items);
        ASSERT_TRUE(Make(c.items));
        ASSERT_EQ(c.rows, news->RowCount());
        RECT client, frame;
        GetClientRect(news->Window(), &client);
        GetWindowRect(news->Window(), &frame);
        EXPECT_EQ(c.shownRows * kRowHeight, client.bottom);
        // The dialog makes room for the whole list, borders and all.
        EXPECT_EQ(frame.bottom - frame.top, news->Height());
        for (int i = 0; i < c.rows; i++) {
            const RECT r = GetRectInParent(news->Row(i)->Window());
            EXPECT_EQ(i * kRowHeight, r.top);
            EXPECT_EQ(kRowHeight, r.bottom - r.top);
            EXPECT_EQ(client.right, r.right - r.left);
            EXPECT_EQ(Title(i), news->Row(i)->GetText());
            EXPECT_STREQ(Link(i).c_str(), news->Row(i)->GetAddress());
        }
        // The real 120 ms timer, with the pointer away from the list.
        PumpFor(700);
        EXPECT_EQ(c.scrolls, Top(0) <= -2) << Top(0);
    }
    EXPECT_FALSE(Make(0));
    EXPECT_EQ(0, news->Height());
}

TEST_F(NewsWindowTest, TickerRunsEveryItemThenOneSeparatorRow) {
    ASSERT_TRUE(Make(10));
    const int bottom = (news->RowCount() - 1) * kRowHeight;
    int item = 8;  // the last one on a row
    int refills = 0;
    for (int tick = 0; tick < 3 * 11 * kRowHeight; tick++) {
        Tick();
        std::vector<int> tops = Tops();
        std::vector<int> sorted = tops;
        std::sort(sorted.begin(), sorted.end());
        for (size_t i = 1; i < sorted.size(); i++)
            ASSERT_EQ(sorted[i - 1] + kRowHeight, sorted[i]) << "rows apart at tick " << tick;
        // Only a row refilled on this tick sits at the bottom place.
        for (int row = 0; row < news->RowCount(); row++) {
            if (tops[row] != bottom) continue;
            item = item + 1 < 10 ? item + 1 : -1;
            refills++;
            ASSERT_EQ(Title(item), news->Row(row)->GetText()) << "refill " << refills;
            const char* address = news->Row(row)->GetAddress();
            ASSERT_EQ(Link(item), address ? address : "");
            // Item 9 opens its address, the separator row after it nothing.
            if (refills <= 2) Click(row);
        }
    }
    EXPECT_EQ(33, refills);
    ASSERT_EQ(1u, gLaunched.size());
    EXPECT_EQ(Link(9), gLaunched[0]);
}

TEST_F(NewsWindowTest, PausesWhileThePointerIsOverTheList) {
    ASSERT_TRUE(Make(10));
    const std::vector<int> before = Tops();
    RECT r;
    GetWindowRect(news->Window(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pump();
    Tick();
    PumpFor(500);
    EXPECT_EQ(before, Tops());

    SetCursorPos(700, 700);
    Pump();
    Tick();
    std::vector<int> after = Tops();
    for (int i = 0; i < news->RowCount(); i++)
        EXPECT_EQ(before[i] - 1, after[i]) << i;
}

TEST_F(NewsWindowTest, RowsGoWithTheWindow) {
    // The About dialog's way: the dialog goes first, the object after it.
    HWND dialog = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 320, 280, parent.Window(),
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(Make(10, dialog));
    std::vector<HWND> rows;
    for (int i = 0; i < news->RowCount(); i++)
        rows.push_back(news->Row(i)->Window());
    DestroyWindow(dialog);
    for (HWND row : rows)
        EXPECT_FALSE(IsWindow(row));
    EXPECT_EQ(nullptr, news->Window());
    EXPECT_EQ(0, news->RowCount());

    // An object freed while its window stands takes the window down.
    ASSERT_TRUE(Make(3));
    HWND window = news->Window();
    news.reset();
    EXPECT_FALSE(IsWindow(window));
}
