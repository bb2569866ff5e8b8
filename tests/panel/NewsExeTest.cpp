// The About dialog's news list in the built program, fed by the loopback
// server of the news tests (news_server.py, started around this program by
// with-news-server.sh) through VEXA_TEST_NEWS_URL. The rows are read from
// outside, as a screen reader would, and the pointer is moved with real
// input.

#include <cstdio>
#include <string>
#include <vector>

#include "AboutDialog.h"
#include "PanelExeFixture.h"

namespace {

// Where the tests' build of the program writes the addresses it would open.
const wchar_t kLaunchLog[] = L"news-exe-launches.txt";

const char kPageFolder[] = "news-exe-pages";
const std::wstring kSeparator(41, L'-');

int ServerPort() {
    char value[64] = {};
    int port = 0;
    if (GetEnvironmentVariableA("VEXA_NEWS_SERVER", value, sizeof(value))) std::sscanf(value, "%d", &port);
    return port;
}

// A news page of `count` items titled "Item 0", "Item 1"... served as
// /pages/name.
void WritePage(const std::string& name, int count) {
    std::string page = "<html><body><ul><!--AAA-->\n";
    for (int i = 0; i < count; i++) {
        const std::string n = std::to_string(i);
        page += "<li><a href='n" + n + ".html' title='Item " + n + "'>Item " + n + "</a></li>\n";
    }
    page += "<!--BBB--></ul></body></html>\n";
    FILE* f = std::fopen((std::string(kPageFolder) + "\\" + name).c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(page.data(), 1, page.size(), f);
    std::fclose(f);
}

bool WaitGone(HWND window) {
    for (DWORD start = GetTickCount(); IsWindow(window); Sleep(50))
        if (GetTickCount() - start > 5000) return false;
    return true;
}

// The list's rows (child ids 0, 1, ...), in the order they were made.
std::vector<HWND> Rows(HWND list) {
    std::vector<HWND> rows;
    for (int id = 0; HWND row = GetDlgItem(list, id); id++)
        rows.push_back(row);
    return rows;
}

// The rows' tops between two ticks: a tick moves the rows one at a time, so
// a read that overlaps one sees some rows a pixel ahead of the others.
std::vector<int> Tops(const std::vector<HWND>& rows) {
    std::vector<int> tops;
    for (int attempt = 0; attempt < 50; attempt++, Sleep(5)) {
        tops.clear();
        bool even = true;
        for (HWND row : rows) {
            RECT r;
            GetWindowRect(row, &r);
            const int height = r.bottom - r.top;
            if (!tops.empty() && height > 0 && (r.top - tops[0]) % height != 0) even = false;
            tops.push_back(r.top);
        }
        if (even) break;
    }
    return tops;
}

std::vector<std::wstring> Texts(const std::vector<HWND>& rows) {
    std::vector<std::wstring> texts;
    for (HWND row : rows)
        texts.push_back(DisplayText(row));
    return texts;
}

int RowHeight(HWND row) {
    RECT r;
    GetWindowRect(row, &r);
    return r.bottom - r.top;
}

// Whether every row went up by the same number of pixels, at least one; a
// row that left at the top and came back at the bottom counts as having
// gone up by the height of all the rows.
bool MovedUpTogether(const std::vector<int>& before, const std::vector<int>& after, int rowHeight) {
    const int loop = static_cast<int>(before.size()) * rowHeight;
    int step = 0;
    for (size_t i = 0; i < before.size(); i++) {
        int moved = before[i] - after[i];
        if (moved < 0) moved += loop;
        if (moved <= 0 || (step != 0 && moved != step)) return false;
        step = moved;
    }
    return !before.empty();
}

}  // namespace

class NewsExe : public PanelExe {
protected:
    // Starts the panel on a page of `count` items and opens About once the
    // download has brought them, with the pointer put away from the list.
    // The list's window, or NULL.
    HWND StartWithNews(int count) {
        const std::string name = std::to_string(count) + "-items.html";
        WritePage(name, count);
        const int port = ServerPort();
        EXPECT_NE(0, port) << "no news server";
        const std::wstring address =
            L"http://127.0.0.1:" + std::to_wstring(port) + L"/pages/" + std::wstring(name.begin(), name.end());
        SetEnvironmentVariableW(L"VEXA_TEST_NEWS_URL", address.c_str());
        SetEnvironmentVariableW(L"VEXA_TEST_LAUNCH_LOG", kLaunchLog);
        HWND main = Start("monitorchip");
        SetEnvironmentVariableW(L"VEXA_TEST_NEWS_URL", NULL);
        SetEnvironmentVariableW(L"VEXA_TEST_LAUNCH_LOG", NULL);
        if (!main) return NULL;
        // The dialog takes the items the download holds when it opens.
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(300)) {
            ClickAt(main, kAboutButton.x, kAboutButton.y);
            dialog_ = Shown();
            if (!dialog_) return NULL;
            HWND list = GetDlgItem(dialog_, kNewsListId);
            if (list && DisplayText(GetDlgItem(list, 0)) == L"Item 0") {
                PointerAway();
                return list;
            }
            PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (!WaitGone(dialog_)) return NULL;
        }
        return NULL;
    }
    HWND Shown() {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
            HWND dialog = panel_.FindWindowOfClass(L"#32770");
            if (dialog && IsWindowVisible(dialog)) return dialog;
        }
        return NULL;
    }
    // Onto the dialog's caption, well clear of the list.
    void PointerAway() {
        RECT r;
        GetWindowRect(dialog_, &r);
        PointerToScreen(r.left + 30, r.top + 8);
    }
    void PointerOver(HWND list) {
        RECT r;
        GetWindowRect(list, &r);
        PointerToScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    HWND dialog_ = NULL;
};

// Nine items fit the nine rows: all shown in order, and nothing moves.
TEST_F(NewsExe, NineItemsStandStill) {
    HWND list = StartWithNews(9);
    ASSERT_TRUE(list != NULL);
    std::vector<HWND> rows = Rows(list);
    ASSERT_EQ(9u, rows.size());
    const std::vector<int> before = Tops(rows);
    for (size_t i = 0; i < rows.size(); i++) {
        EXPECT_EQ(L"Item " + std::to_wstring(i), DisplayText(rows[i]));
        if (i > 0) {
            EXPECT_EQ(before[i - 1] + RowHeight(rows[i]), before[i]) << i;
        }
    }
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(9 * RowHeight(rows[0]), client.bottom) << "some rows hidden";
    Sleep(1200);
    EXPECT_EQ(before, Tops(rows));

    // A click on a row opens its address, resolved against the page's.
    DeleteFileW(kLaunchLog);
    RECT row;
    GetWindowRect(rows[3], &row);
    PointerToScreen(row.left + 8, (row.top + row.bottom) / 2);
    LeftButton(true);
    LeftButton(false);
    std::string launched;
    for (DWORD start = GetTickCount(); launched.empty() && GetTickCount() - start < 3000; Sleep(50)) {
        FILE* log = _wfopen(kLaunchLog, L"rb");
        if (!log) continue;
        char line[512] = {};
        if (fgets(line, sizeof(line), log)) launched = line;
        fclose(log);
    }
    EXPECT_NE(std::string::npos, launched.find("http://127.0.0.1:" + std::to_string(ServerPort()) + "/pages/n3.html"))
        << launched;
}

// Ten items make a ticker: the rows move up together, the last item is
// followed by one separator row and then the first item again, and the
// pointer over the list holds the ticker until it leaves.
TEST_F(NewsExe, TenItemsTickAndWaitForThePointer) {
    HWND list = StartWithNews(10);
    ASSERT_TRUE(list != NULL);
    std::vector<HWND> rows = Rows(list);
    ASSERT_EQ(9u, rows.size());
    const int rowHeight = RowHeight(rows[0]);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(8 * rowHeight, client.bottom) << "the ninth row should wait below";

    // The dialog may open under a pointer an earlier test left there, which
    // would hold the ticker.
    PointerToScreen(0, 0);
    std::vector<int> before = Tops(rows);
    Sleep(1000);
    EXPECT_TRUE(MovedUpTogether(before, Tops(rows), rowHeight)) << "no ticker";

    // Row texts as rows are refilled at the bottom, one row height at a time.
    std::vector<std::wstring> shown = Texts(rows);
    std::vector<std::wstring> entered;
    for (DWORD start = GetTickCount(); entered.size() < 3 && GetTickCount() - start < 20000; Sleep(60)) {
        const std::vector<std::wstring> now = Texts(rows);
        for (size_t i = 0; i < rows.size(); i++)
            if (now[i] != shown[i]) entered.push_back(now[i]);
        shown = now;
    }
    const std::vector<std::wstring> expected = {L"Item 9", kSeparator, L"Item 0"};
    EXPECT_EQ(expected, entered);

    PointerOver(list);
    Sleep(300);  // a tick already on its way may still land
    before = Tops(rows);
    Sleep(1200);
    EXPECT_EQ(before, Tops(rows)) << "the ticker ran under the pointer";

    PointerAway();
    before = Tops(rows);
    Sleep(1000);
    EXPECT_TRUE(MovedUpTogether(before, Tops(rows), rowHeight)) << "the ticker did not resume";
}
