// The video BIOS: its signatures as PMReader.dll shows them at 0xC0000, and
// nvflash.exe's backup and update run as child processes, answered on stdin
// or with 'Y' keys posted to its window as the program does.
#include <stdio.h>

#include <vector>

#include "WindowUtils.h"
#include "BiosImage.h"
#include "ChildProcess.h"
#include "SimFixture.h"

using namespace simtest;

namespace {

typedef bool(__stdcall* InitWinIoFn)();
typedef void(__stdcall* ShutdownWinIoFn)();
typedef bool(__stdcall* GetPhysLongFn)(uint8_t*, DWORD*);

std::vector<uint8_t> ReadFileBytes(const wchar_t* name) {
    std::vector<uint8_t> bytes;
    FILE* file = _wfopen(name, L"rb");
    if (!file) return bytes;
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(file);
    return bytes;
}

bool WriteFileBytes(const wchar_t* name, const std::vector<uint8_t>& bytes) {
    FILE* file = _wfopen(name, L"wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

// An image for a card; the subsystem device defaults to the device id, as
// the scenarios' cards have it.
std::vector<uint8_t> MakeImage(uint16_t device, vcard::BiosSignature signature, uint16_t subsystemDevice = 0) {
    std::vector<uint8_t> image(vcard::kBiosImageSize);
    vcard::BiosIdentity id = {};
    id.deviceId = device;
    id.subsystemVendor = 0x10DE;
    id.subsystemDevice = subsystemDevice ? subsystemDevice : device;
    id.boardId = 0x2001;
    vcard::BuildBiosImage(id, signature, vcard::kDefaultSignatureOffset, image.data());
    return image;
}

// A top-level window of the process, found as the program finds the flash
// tool's.
HWND TopLevelWindowOf(DWORD pid) {
    HWND found = nullptr;
    return FindProcessWindow(pid, &found) ? found : nullptr;
}

class BiosFlashTest : public CardTest {
protected:
    static void SetUpTestSuite() { UseState(L"sim-bios-test.state"); }

    void PowerUpFast(const char* scenario) {
        PowerUp(scenario);
        ASSERT_TRUE(VcardSetFlashDurations(50, 100));
    }
    std::vector<uint8_t> CardImage(int gpu = 0) {
        std::vector<uint8_t> image(0x20000);
        size_t size = 0;
        EXPECT_TRUE(VcardGetBiosImage(gpu, image.data(), image.size(), &size));
        image.resize(size);
        return image;
    }
    // The first 600 bytes as the program reads them through PMReader.dll.
    std::vector<uint8_t> PhysicalBiosText() {
        std::vector<uint8_t> text(600, 0);
        HMODULE pm = LoadLibraryW(L"PMReader.dll");
        EXPECT_NE(nullptr, pm);
        if (!pm) return text;
        InitWinIoFn init = (InitWinIoFn)(void*)GetProcAddress(pm, "InitializeWinIo");
        ShutdownWinIoFn shutdown = (ShutdownWinIoFn)(void*)GetProcAddress(pm, "ShutdownWinIo");
        GetPhysLongFn get = (GetPhysLongFn)(void*)GetProcAddress(pm, "GetPhysLong");
        EXPECT_TRUE(init && shutdown && get && GetProcAddress(pm, "GetPortVal") && GetProcAddress(pm, "SetPortVal") &&
                    GetProcAddress(pm, "SetPhysLong"));
        if (init && init()) {
            for (int i = 0; i < 150; ++i) {
                DWORD word = 0;
                if (!get((uint8_t*)(uintptr_t)(0xC0000 + 4 * i), &word)) break;
                memcpy(&text[4 * i], &word, 4);
            }
            shutdown();
        }
        FreeLibrary(pm);
        return text;
    }
};

TEST_F(BiosFlashTest, ImagesCarryTheFanWiringSignaturesTheScenariosName) {
    struct Case {
        const char* scenario;
        vcard::BiosSignature signature;
    };
    const Case cases[] = {{"monitorchip", vcard::kSignatureNone},
                          {"adt7473", vcard::kSignatureNone},
                          {"adt7473-pwm2", vcard::kSignaturePwm2},
                          {"no-fan", vcard::kSignatureNoFan},
                          {"driver-fan", vcard::kSignatureNone}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        PowerUp(c.scenario);
        std::vector<uint8_t> text = PhysicalBiosText();
        EXPECT_EQ(c.signature, vcard::FindSignature(text.data(), text.size()));
        std::vector<uint8_t> image = CardImage();
        ASSERT_EQ(0x10000u, image.size());
        EXPECT_TRUE(std::equal(text.begin(), text.end(), image.begin()));
        EXPECT_EQ(vcard::kImageOk, vcard::CheckBiosImage(image.data(), image.size(), 0x20000, nullptr));
    }
}

TEST_F(BiosFlashTest, PhysicalMemoryNeedsInitialisationAndCanRefuseIt) {
    PowerUp("monitorchip");
    HMODULE pm = LoadLibraryW(L"PMReader.dll");
    ASSERT_NE(nullptr, pm);
    InitWinIoFn init = (InitWinIoFn)(void*)GetProcAddress(pm, "InitializeWinIo");
    GetPhysLongFn get = (GetPhysLongFn)(void*)GetProcAddress(pm, "GetPhysLong");
    DWORD word = 0;
    EXPECT_FALSE(get((uint8_t*)(uintptr_t)0xC0000, &word));
    ASSERT_TRUE(VcardFailWinIo(2));
    EXPECT_FALSE(init());
    EXPECT_FALSE(init());
    EXPECT_TRUE(init());
    ASSERT_TRUE(get((uint8_t*)(uintptr_t)0xC0000, &word));
    EXPECT_EQ(0xAA55u, word & 0xFFFF);
    FreeLibrary(pm);
}

TEST_F(BiosFlashTest, BackupWritesTheCardsImage) {
    PowerUpFast("adt7473-pwm2");
    DeleteFileW(L"sim-backup.rom");
    ChildResult r = RunChild(L"NVFLASH --index=0 -b sim-backup.rom");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(0u, r.exitCode) << r.output;
    EXPECT_EQ(CardImage(), ReadFileBytes(L"sim-backup.rom"));
}

TEST_F(BiosFlashTest, UpdateConfirmedOnStdinReplacesTheImage) {
    PowerUpFast("monitorchip");
    std::vector<uint8_t> image = MakeImage(0x0611, vcard::kSignatureNoFan);
    ASSERT_TRUE(WriteFileBytes(L"sim-update.rom", image));
    ChildResult r = RunChild(L"nvflash --index=0 -4 -5 -6 sim-update.rom", "y\n");
    EXPECT_EQ(0u, r.exitCode) << r.output;
    EXPECT_EQ(image, CardImage());
    std::vector<uint8_t> text = PhysicalBiosText();
    EXPECT_EQ(vcard::kSignatureNoFan, vcard::FindSignature(text.data(), text.size())) << "seen at once";

    ChildResult back = RunChild(L"nvflash --index=0 -b sim-update-back.rom");
    EXPECT_EQ(0u, back.exitCode);
    EXPECT_EQ(image, ReadFileBytes(L"sim-update-back.rom")) << "backup and update round trip";
}

TEST_F(BiosFlashTest, UpdateAnsweredWithKeysPostedToItsWindow) {
    PowerUpFast("sli");
    std::vector<uint8_t> image = MakeImage(0x0600, vcard::kSignaturePwm2);
    ASSERT_TRUE(WriteFileBytes(L"sim-update-keys.rom", image));
    Child child;
    ASSERT_TRUE(child.Start(L"nvflash --index=1 -4 -5 -6 sim-update-keys.rom"));
    Sleep(800);
    HWND window = TopLevelWindowOf(child.processId());
    ASSERT_NE(nullptr, window) << child.Peek();
    DWORD code = STILL_ACTIVE;
    DWORD start = GetTickCount();
    while (GetExitCodeProcess(child.process(), &code) && code == STILL_ACTIVE && GetTickCount() - start < 20000) {
        PostMessageW(window, WM_KEYDOWN, 'Y', 1);
        Sleep(10);
    }
    ChildResult r = child.Finish(5000);
    EXPECT_EQ(0u, r.exitCode) << r.output;
    EXPECT_EQ(image, CardImage(1));
    EXPECT_NE(image, CardImage(0));
}

TEST_F(BiosFlashTest, UpdateRefusalsLeaveTheImage) {
    PowerUpFast("monitorchip");
    std::vector<uint8_t> before = CardImage();
    ASSERT_TRUE(WriteFileBytes(L"sim-other.rom", MakeImage(0x0622, vcard::kSignatureNone, 0x0611)));
    ASSERT_TRUE(WriteFileBytes(L"sim-same.rom", MakeImage(0x0611, vcard::kSignaturePwm2)));
    std::vector<uint8_t> broken = MakeImage(0x0611, vcard::kSignatureNone);
    broken[0x300] ^= 1;
    ASSERT_TRUE(WriteFileBytes(L"sim-broken.rom", broken));
    ASSERT_TRUE(WriteFileBytes(L"sim-text.rom", std::vector<uint8_t>(4096, 'x')));

    struct Case {
        const wchar_t* command;
        const char* input;
        DWORD exitCode;
    };
    const Case cases[] = {
        {L"nvflash --index=0 sim-same.rom", "n\n", 7},
        {L"nvflash --index=0 sim-other.rom", "y\n", 6},
        {L"nvflash --index=0 -5 sim-other.rom", "yn", 7},
        {L"nvflash --index=0 sim-broken.rom", "y\n", 4},
        {L"nvflash --index=0 sim-text.rom", "y\n", 4},
        {L"nvflash --index=0 sim-missing.rom", "y\n", 3},
        {L"nvflash --index=1 sim-same.rom", "y\n", 5},
        {L"nvflash --index=0 --bogus sim-same.rom", "y\n", 1},
        {L"nvflash", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        ChildResult r = RunChild(c.command, c.input);
        EXPECT_EQ(c.exitCode, r.exitCode) << r.output;
        EXPECT_EQ(before, CardImage());
    }
    ChildResult r = RunChild(L"nvflash --index=0 -5 sim-other.rom", "yy");
    EXPECT_EQ(0u, r.exitCode) << "a mismatch the option allows asks once more" << r.output;
    EXPECT_NE(before, CardImage());
}

TEST_F(BiosFlashTest, NoAdapterWithoutDriver) {
    PowerUpFast("no-driver");
    ChildResult r = RunChild(L"nvflash --index=0 -b sim-none.rom");
    EXPECT_EQ(5u, r.exitCode) << r.output;
}

TEST_F(BiosFlashTest, FlashToolFaults) {
    PowerUpFast("monitorchip");
    std::vector<uint8_t> before = CardImage();
    ASSERT_TRUE(WriteFileBytes(L"sim-fault.rom", MakeImage(0x0611, vcard::kSignaturePwm2)));

    ASSERT_TRUE(VcardSetFlashFault(kVcardFlashFail, 9));
    ChildResult failed = RunChild(L"nvflash --index=0 sim-fault.rom", "y");
    EXPECT_EQ(9u, failed.exitCode) << failed.output;
    EXPECT_EQ(before, CardImage());

    ASSERT_TRUE(VcardSetFlashFault(kVcardFlashHang, 0, 2500));
    Child hung;
    ASSERT_TRUE(hung.Start(L"nvflash --index=0 sim-fault.rom", "y"));
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(hung.process(), 1500)) << "still busy";
    ChildResult late = hung.Finish(20000);
    EXPECT_EQ(0u, late.exitCode) << "a finite hang ends in a normal run" << late.output;

    ASSERT_TRUE(VcardSetFlashFault(kVcardFlashNoWindow));
    Child windowless;
    ASSERT_TRUE(windowless.Start(L"nvflash --index=0 sim-fault.rom", "n"));
    Sleep(800);
    EXPECT_EQ(nullptr, TopLevelWindowOf(windowless.processId()));
    EXPECT_EQ(7u, windowless.Finish(20000).exitCode);
}

TEST_F(BiosFlashTest, FlashedBiosStaysFlashedForTheNextRun) {
    // A state file no process of this test holds: each tool starts the card
    // from the file and leaves it there.
    wchar_t saved[MAX_PATH];
    GetEnvironmentVariableW(L"VEXA_VCARD_STATE", saved, MAX_PATH);
    DeleteFileW(L"sim-persist.state");
    SetEnvironmentVariableW(L"VEXA_VCARD_STATE", L"sim-persist.state");
    std::vector<uint8_t> image = MakeImage(0x0622, vcard::kSignatureNoFan);
    ASSERT_TRUE(WriteFileBytes(L"sim-persist.rom", image));

    EXPECT_EQ(0u, RunChild(L"vcard reset adt7473").exitCode);
    ChildResult update = RunChild(L"nvflash --index=0 sim-persist.rom", "y");
    EXPECT_EQ(0u, update.exitCode) << update.output;
    ChildResult save = RunChild(L"vcard bios 0 sim-persist-back.rom");
    EXPECT_EQ(0u, save.exitCode) << save.output;
    ChildResult show = RunChild(L"vcard show");
    SetEnvironmentVariableW(L"VEXA_VCARD_STATE", saved);

    EXPECT_EQ(image, ReadFileBytes(L"sim-persist-back.rom"));
    EXPECT_NE(std::string::npos, show.output.find("scenario \"adt7473\"")) << show.output;
}

}  // namespace
