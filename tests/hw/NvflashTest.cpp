// The flash tool runs against the virtual card's nvflash.exe: backup,
// update through the dialog, failure, absence and a hang.

#include "VcardFixture.h"

#include <process.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "FlashBiosDialog.h"
#include "LanguageState.h"
#include "NvFlash.h"

namespace {

// Closes the first message box captioned "Vexa Panel" that appears and
// remembers its text.
class MessageBoxWatcher {
public:
    MessageBoxWatcher() : thread_(NULL), stop_(0) { text_[0] = 0; }
    ~MessageBoxWatcher() { Join(); }

    void Start() { thread_ = (HANDLE)_beginthreadex(NULL, 0, Main, this, 0, NULL); }
    // Waits for a box to be seen and closed; false after timeoutMs.
    bool Join(DWORD timeoutMs = 20000) {
        if (!thread_) {
            return text_[0] != 0;
        }
        // Pump meanwhile, as the GUI thread does: the box's owner window
        // belongs to this thread and the box waits on it.
        bool done = PumpUntil(thread_, timeoutMs);
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = NULL;
        return done && text_[0] != 0;
    }
    std::wstring Text() const { return text_; }

    static bool PumpUntil(HANDLE handle, DWORD timeoutMs) {
        DWORD start = GetTickCount();
        for (;;) {
            DWORD left = timeoutMs - (GetTickCount() - start);
            if ((int)left <= 0) {
                return false;
            }
            DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
            if (r == WAIT_OBJECT_0) {
                return true;
            }
            MSG msg;
            while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }

private:
    static unsigned __stdcall Main(void* self) {
        MessageBoxWatcher* w = static_cast<MessageBoxWatcher*>(self);
        while (!w->stop_) {
            // Taken only once it shows its text: FindWindow can see the box
            // while it is still being built.
            HWND box = FindWindowW(L"#32770", L"Vexa Panel");
            if (box && IsWindowVisible(box) && GetDlgItemTextW(box, 0xFFFF, w->text_, 256) > 0) {
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            Sleep(50);
        }
        return 0;
    }

    HANDLE thread_;
    volatile LONG stop_;
    wchar_t text_[256];
};

std::vector<uint8_t> BiosImage(int gpu) {
    static uint8_t buffer[0x20000];
    size_t size = 0;
    EXPECT_TRUE(VcardGetBiosImage(gpu, buffer, sizeof(buffer), &size));
    return std::vector<uint8_t>(buffer, buffer + size);
}

void WriteFile(const wchar_t* name, const std::vector<uint8_t>& data) {
    FILE* f = _wfopen(name, L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

void WaitForWorker(const FlashRequest& request) {
    for (int i = 0; i < 400 && request.workerRunning; i++) {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        Sleep(25);
    }
}

// Whether a process of the virtual flash tool exists.
bool FlashToolRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
        found = _wcsicmp(entry.szExeFile, L"nvflash.exe") == 0;
    }
    CloseHandle(snapshot);
    return found;
}

int g_restored = 0;
void CountRestore(void*) {
    g_restored++;
}

}  // namespace

class Nvflash : public VcardTest {
protected:
    void SetUp() override {
        Reset("monitorchip");
        ASSERT_TRUE(VcardSetFlashDurations(300, 600));
    }
};

TEST_F(Nvflash, BackupSavesTheBiosText) {
    std::vector<uint8_t> image = BiosImage(0);
    ASSERT_GE(image.size(), 600u);
    uint8_t text[600];
    bool read = false;
    EXPECT_EQ(0u, BackupImage(0, text, &read));
    ASSERT_TRUE(read);
    EXPECT_EQ(0, memcmp(image.data(), text, 600));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"VPCurr.rom"));  // stays on disk

    // An index the card lacks fails: no text.
    EXPECT_NE(0u, BackupImage(1, text, &read));
    EXPECT_FALSE(read);
}

TEST_F(Nvflash, MissingToolAndHang) {
    EXPECT_EQ(kNvflashNotStarted, RunNvflash(L"hw_no_such_flash_tool --index=0 -b x.rom", 100, true));

    ASSERT_TRUE(VcardSetFlashFault(kVcardFlashHang, 0, 0));
    DWORD start = GetTickCount();
    uint8_t text[600];
    bool read = false;
    EXPECT_EQ((DWORD)STILL_ACTIVE, BackupImage(0, text, &read, 2000));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_FALSE(read);
    EXPECT_GE(elapsed, 2000u);
    EXPECT_LT(elapsed, 6000u);
    // The killed tool is gone before the backup returns, so the next one
    // cannot meet it holding the image file.
    EXPECT_FALSE(FlashToolRunning());
    ASSERT_TRUE(VcardSetFlashFault(kVcardFlashNormal, 0, 0));
    EXPECT_EQ(0u, BackupImage(0, text, &read));
    EXPECT_TRUE(read);
}

TEST_F(Nvflash, UpdateThroughTheDialog) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(main != NULL);
    CreateDirectoryW(L"hw flash dir", NULL);
    std::vector<uint8_t> image = BiosImage(0);
    for (size_t i = 600; i < 700 && i < image.size(); i++) {
        image[i] ^= 0x5A;  // a different image of the same card
    }
    // Keep the option ROM's checksum: its bytes add up to 0.
    size_t romSize = (size_t)image[2] * 512;
    ASSERT_TRUE(romSize > 700 && romSize <= image.size());
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < romSize; i++) {
        sum = (uint8_t)(sum + image[i]);
    }
    image[romSize - 1] = (uint8_t)(0x100 - sum);
    WriteFile(L"hw flash dir\\new image.rom", image);

    struct Case {
        const char* name;
        VcardFlashFault fault;
        int textId;
        bool flashed;
    } cases[] = {
        {"succeeds", kVcardFlashNormal, 76, true},
        {"fails", kVcardFlashFail, 75, false},
    };
    for (const Case& c : cases) {
        Reset("monitorchip");
        ASSERT_TRUE(VcardSetFlashDurations(300, 600));
        ASSERT_TRUE(VcardSetFlashFault(c.fault, 1, 0));
        std::vector<uint8_t> before = BiosImage(0);
        FlashRequest request;
        InitFlashRequest(&request, main, 0);
        wchar_t full[MAX_PATH];
        GetFullPathNameW(L"hw flash dir\\new image.rom", MAX_PATH, full, NULL);
        wcscpy(request.path, full);
        g_restored = 0;
        request.restoreButton = CountRestore;
        MessageBoxWatcher watcher;
        watcher.Start();
        ShowFlashBiosDialog(&request);
        ASSERT_TRUE(watcher.Join()) << c.name;
        EXPECT_EQ(LangText(c.textId), watcher.Text()) << c.name;
        WaitForWorker(request);
        EXPECT_EQ(0, request.workerRunning) << c.name;
        EXPECT_EQ(1, g_restored) << c.name;
        EXPECT_EQ(c.flashed ? image : before, BiosImage(0)) << c.name;
        EXPECT_TRUE(IsWindowEnabled(main)) << c.name;
    }
    DestroyWindow(main);
}

TEST_F(Nvflash, UpdateOfAMissingFileFails) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    FlashRequest request;
    InitFlashRequest(&request, main, 0);
    // No such file, so no short form: the quoted long path reaches the tool.
    wcscpy(request.path, L"C:\\no such folder\\gone.rom");
    std::vector<uint8_t> before = BiosImage(0);
    MessageBoxWatcher watcher;
    watcher.Start();
    ShowFlashBiosDialog(&request);
    ASSERT_TRUE(watcher.Join());
    EXPECT_EQ(LangText(75), watcher.Text());
    WaitForWorker(request);
    EXPECT_EQ(before, BiosImage(0));
    DestroyWindow(main);
}
