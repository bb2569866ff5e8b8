// The flash tool runs against the virtual card's nvflash.exe: backup,
// failure, absence and a hang.

#include "VcardFixture.h"

#include <process.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "NvFlash.h"

namespace {

std::vector<uint8_t> BiosImage(int gpu) {
    static uint8_t buffer[0x20000];
    size_t size = 0;
    EXPECT_TRUE(VcardGetBiosImage(gpu, buffer, sizeof(buffer), &size));
    return std::vector<uint8_t>(buffer, buffer + size);
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
