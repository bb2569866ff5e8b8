// vcard.exe beside the real panel: the panel runs on the virtual card, and
// the tool reads what the panel did to the card while it is running.
#include <stdio.h>

#include "ChildProcess.h"
#include "SimFixture.h"

using namespace simtest;

namespace {

class PanelTest : public CardTest {
protected:
    static void SetUpTestSuite() { UseState(L"sim-panel-test.state"); }
};

struct BlockingBox {
    DWORD pid;
    std::wstring text;
};

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    wchar_t text[256];
    if (GetWindowTextW(child, text, 256) > 0) {
        std::wstring* out = (std::wstring*)param;
        *out += text;
        *out += L" ";
    }
    return TRUE;
}

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param) {
    BlockingBox* box = (BlockingBox*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[32];
    if (pid != box->pid || !IsWindowVisible(hwnd) || !GetClassNameW(hwnd, cls, 32) || wcscmp(cls, L"#32770") != 0) {
        return TRUE;
    }
    EnumChildWindows(hwnd, CollectText, (LPARAM)&box->text);
    return FALSE;
}

// The text of a message box the panel stopped at during its start-up, if any.
std::string PanelMessageBox(DWORD pid) {
    BlockingBox box = {pid, L""};
    EnumWindows(FindMessageBox, (LPARAM)&box);
    return std::string(box.text.begin(), box.text.end());
}

uint32_t DriverCalls() {
    VcardCounters c = {};
    VcardGetCounters(&c);
    return c.driverCalls;
}

TEST_F(PanelTest, ToolCommandsWorkWhileThePanelRuns) {
    PowerUp("monitorchip");
    ASSERT_TRUE(VcardSetTimeMode(kVcardTimeRealtime));
    // As a board might come out of reset: full speed requested, which the
    // panel's start-up clears.
    ASSERT_TRUE(VcardWriteRegister(0, 0x5C, 0x60, 0x06));

    Child panel;
    ASSERT_TRUE(panel.Start(L"VexaPanel.exe"));
    // The panel has reached the card once its start-up cleared that bit.
    DWORD start = GetTickCount();
    uint8_t mode = 0x06;
    while ((mode & 0x02) && GetTickCount() - start < 60000) {
        Sleep(500);
        ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x60, &mode));
        ASSERT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(panel.process(), 0)) << "the panel ended early";
        std::string box = (mode & 0x02) ? PanelMessageBox(panel.processId()) : std::string();
        // The program's own start-up failing is its tests' business.
        if (!box.empty()) GTEST_SKIP() << "the panel stopped at a message box: " << box;
    }
    ASSERT_EQ(0, mode & 0x02) << "the panel's start-up never reached the chip";
    EXPECT_GT(DriverCalls(), 5u);
    Sleep(2000);  // past the start-up worker

    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x60, &mode));
    ChildResult reg = RunChild(L"vcard reg 0 0x5C 0x60");
    EXPECT_EQ(0u, reg.exitCode);
    char expected[8];
    snprintf(expected, sizeof(expected), "%02X\n", mode);
    EXPECT_EQ(expected, reg.output) << "what the panel wrote, read by another process";
    ChildResult show = RunChild(L"vcard show");
    EXPECT_EQ(0u, show.exitCode);
    EXPECT_NE(std::string::npos, show.output.find("monitor chip at 0x5C")) << show.output;
    EXPECT_EQ(0u, RunChild(L"vcard temp 0 95").exitCode);
    EXPECT_EQ(0u, RunChild(L"vcard reg 0 0x5C 0x28 100").exitCode);
    EXPECT_EQ("64\n", RunChild(L"vcard reg 0 0x5C 0x28").output);
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(panel.process(), 0)) << "the panel still runs";
    // Child's destructor ends the panel.
}

}  // namespace
