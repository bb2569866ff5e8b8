// The BIOS update as the panel runs it: the file's extension, the flash
// dialog and its worker, against the virtual card's nvflash.exe.

#include <process.h>

#include <string>
#include <vector>

#include "VcardFixture.h"
#include "BiosUpdate.h"
#include "LanguageState.h"

namespace {

const wchar_t kImageFile[] = L"panel flash dir\\new image.rom";

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

void WaitForWorker() {
    for (int i = 0; i < 400 && BiosUpdateRunning(); i++) {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        Sleep(25);
    }
}

// A different image of the same card, with the option ROM's checksum kept
// (its bytes add up to 0), written to kImageFile.
void WriteOtherImage(std::vector<uint8_t>* image) {
    CreateDirectoryW(L"panel flash dir", NULL);
    *image = BiosImage(0);
    for (size_t i = 600; i < 700 && i < image->size(); i++) {
        (*image)[i] ^= 0x5A;
    }
    size_t romSize = (size_t)(*image)[2] * 512;
    ASSERT_TRUE(romSize > 700 && romSize <= image->size());
    uint8_t sum = 0;
    for (size_t i = 0; i + 1 < romSize; i++) {
        sum = (uint8_t)(sum + (*image)[i]);
    }
    (*image)[romSize - 1] = (uint8_t)(0x100 - sum);
    WriteFile(kImageFile, *image);
}

volatile LONG g_restored = 0;
void CountRestore(void*) {
    InterlockedIncrement(&g_restored);
}

// Tries to close the flash dialog every way a user can while the tool
// writes, and to start a second update meanwhile.
struct CloseAttempts {
    HWND mainWindow;
    HWND dialog;
    bool dialogStayed;
    bool panelStayedDisabled;
    INT_PTR secondUpdate;
};

unsigned __stdcall TryToCloseTheDialog(void* argument) {
    CloseAttempts* attempts = static_cast<CloseAttempts*>(argument);
    for (int i = 0; i < 200 && !attempts->dialog; i++) {
        attempts->dialog = FindWindowW(L"#32770", LangText(100));
        Sleep(25);
    }
    if (!attempts->dialog) {
        return 0;
    }
    PostMessageW(attempts->dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(attempts->dialog, WM_CLOSE, 0, 0);
    PostMessageW(attempts->dialog, WM_COMMAND, kFlashBiosCloseCommand, 0);
    FlashRequest second;
    InitFlashRequest(&second, attempts->mainWindow, 0);
    second.restoreButton = CountRestore;
    attempts->secondUpdate = ShowFlashBiosDialog(&second);
    Sleep(800);
    attempts->dialogStayed = IsWindow(attempts->dialog) != 0;
    attempts->panelStayedDisabled = !IsWindowEnabled(attempts->mainWindow);
    return 0;
}

}  // namespace

class BiosUpdate : public VcardTest {
protected:
    void SetUp() override {
        Reset("monitorchip");
        ASSERT_TRUE(VcardSetFlashDurations(300, 600));
    }
};

TEST(BiosUpdateFile, RomExtension) {
    EXPECT_TRUE(HasRomExtension(L"C:\\bios\\new.rom"));
    EXPECT_TRUE(HasRomExtension(L"C:\\bios\\NEW.ROM"));
    EXPECT_FALSE(HasRomExtension(L"C:\\bios\\new.rom.bak"));
    EXPECT_FALSE(HasRomExtension(L"C:\\bios\\newrom"));
    EXPECT_FALSE(HasRomExtension(L"C:\\bios.rom\\image"));
}

TEST_F(BiosUpdate, UpdateThroughTheDialog) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(main != NULL);
    std::vector<uint8_t> image;
    ASSERT_NO_FATAL_FAILURE(WriteOtherImage(&image));

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
        GetFullPathNameW(kImageFile, kChosenPathChars, request.path, NULL);
        g_restored = 0;
        request.restoreButton = CountRestore;
        MessageBoxWatcher watcher;
        watcher.Start();
        ShowFlashBiosDialog(&request);
        ASSERT_TRUE(watcher.Join()) << c.name;
        EXPECT_EQ(LangText(c.textId), watcher.Text()) << c.name;
        WaitForWorker();
        EXPECT_FALSE(BiosUpdateRunning()) << c.name;
        EXPECT_EQ(1, g_restored) << c.name;
        EXPECT_EQ(c.flashed ? image : before, BiosImage(0)) << c.name;
        EXPECT_TRUE(IsWindowEnabled(main)) << c.name;
    }
    DestroyWindow(main);
}

TEST_F(BiosUpdate, UpdateOfAMissingFileFails) {
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
    WaitForWorker();
    EXPECT_EQ(before, BiosImage(0));
    DestroyWindow(main);
}

// While the tool writes, the dialog cannot be closed and the panel stays
// disabled; a second update is refused; and the worker needs nothing of the
// caller's request once the dialog has returned.
TEST_F(BiosUpdate, DialogStaysUntilTheToolEndsAndTheWorkerOwnsWhatItUses) {
    ASSERT_TRUE(VcardSetFlashDurations(300, 2500));
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(main != NULL);
    std::vector<uint8_t> image;
    ASSERT_NO_FATAL_FAILURE(WriteOtherImage(&image));
    FlashRequest* request = new FlashRequest;
    InitFlashRequest(request, main, 0);
    GetFullPathNameW(kImageFile, kChosenPathChars, request->path, NULL);
    g_restored = 0;
    request->restoreButton = CountRestore;

    CloseAttempts attempts = {main, NULL, false, false, -5};
    HANDLE closer = (HANDLE)_beginthreadex(NULL, 0, TryToCloseTheDialog, &attempts, 0, NULL);
    MessageBoxWatcher watcher;
    watcher.Start();
    ShowFlashBiosDialog(request);
    // The dialog returns only once the tool has written the image.
    EXPECT_EQ(image, BiosImage(0));
    memset(request, 0xCC, sizeof(*request));
    delete request;
    WaitForSingleObject(closer, 10000);
    CloseHandle(closer);
    EXPECT_TRUE(attempts.dialog != NULL);
    EXPECT_TRUE(attempts.dialogStayed);
    EXPECT_TRUE(attempts.panelStayedDisabled);
    EXPECT_EQ(0, attempts.secondUpdate);

    ASSERT_TRUE(watcher.Join());
    EXPECT_EQ(LangText(76), watcher.Text());
    WaitForWorker();
    EXPECT_FALSE(BiosUpdateRunning());
    EXPECT_EQ(2, g_restored);  // the refused second update and the first one
    EXPECT_TRUE(IsWindowEnabled(main));
    DestroyWindow(main);
}
