// nvflash.exe of the virtual card: saves and writes the video BIOS image of an
// adapter of the shared card. Like a real flash tool it asks before writing
// and waits for a 'Y' key, either typed on its console (or stdin) or posted
// as WM_KEYDOWN / WM_CHAR to its hidden top-level window, which is how a
// program that runs it with a hidden console answers.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "BiosImage.h"
#include "FlashCommand.h"
#include "KeyPrompt.h"
#include "SharedCard.h"
#include "vcard/VirtualCardControl.h"

using namespace vcard;

namespace {

const uint32_t kPromptTimeoutMs = 120000;

const char kUsage[] =
    "usage: nvflash --index=N -b FILE             save adapter N's BIOS image to FILE\n"
    "       nvflash --index=N [-4] [-5] [-6] FILE write FILE to adapter N\n"
    "       nvflash --list                        list the adapters\n"
    "  -4  allow an image with another subsystem id\n"
    "  -5  allow an image with another PCI device id\n"
    "  -6  allow an image with another board id\n";

struct FlashSettings {
    int gpuCount;
    bool driverPresent;
    int faultMode;
    int faultExitCode;
    uint32_t hangMs;
    uint32_t backupMs;
    uint32_t updateMs;
};

bool ReadSettings(FlashSettings* s) {
    CardLock lock;
    if (!lock) return false;
    s->gpuCount = lock->gpuCount;
    s->driverPresent = lock->driverPresent != 0;
    s->faultMode = lock->faults.flashMode;
    s->faultExitCode = lock->faults.flashExitCode;
    s->hangMs = lock->faults.flashHangMs;
    s->backupMs = lock->flashBackupMs;
    s->updateMs = lock->flashUpdateMs;
    return true;
}

int List(const FlashSettings& s) {
    if (!s.driverPresent || s.gpuCount == 0) {
        printf("No display adapters found.\n");
        return kFlashExitNoAdapter;
    }
    CardLock lock;
    for (int g = 0; g < s.gpuCount && lock; ++g) {
        const GpuState& gpu = lock->gpu[g];
        printf("<%d> PCI device %04X, subsystem %04X:%04X, board %04X, image %u bytes\n", g, gpu.deviceId,
               gpu.subsystemVendor, gpu.subsystemDevice, gpu.boardId, gpu.biosSize);
    }
    return kFlashExitOk;
}

int Backup(const FlashCommand& command, const FlashSettings& s, KeyPrompt& keys) {
    static uint8_t image[kBiosCapacity];
    uint32_t size;
    {
        CardLock lock;
        if (!lock) return kFlashExitNoAdapter;
        size = lock->gpu[command.index].biosSize;
        memcpy(image, lock->gpu[command.index].bios, size);
    }
    printf("Reading adapter %d's firmware image (%u bytes)...\n", command.index, size);
    fflush(stdout);
    keys.Pump(s.backupMs);
    FILE* file = _wfopen(command.file, L"wb");
    if (!file) {
        printf("ERROR: cannot create '%ls'.\n", command.file);
        return kFlashExitFile;
    }
    bool ok = fwrite(image, 1, size, file) == size;
    ok = fclose(file) == 0 && ok;
    if (!ok) {
        printf("ERROR: cannot write '%ls'.\n", command.file);
        return kFlashExitFile;
    }
    printf("Firmware image saved to %ls.\n", command.file);
    return kFlashExitOk;
}

// Asks one question; true when it was answered with 'Y'.
bool Confirm(KeyPrompt& keys, const char* question) {
    printf("%s\nPress 'y' to confirm (any other key to abort): ", question);
    fflush(stdout);
    KeyAnswer answer = keys.Wait(kPromptTimeoutMs);
    printf("%s\n", answer == kKeyYes ? "Y" : answer == kKeyNo ? "N" : "(no answer)");
    return answer == kKeyYes;
}

int Update(const FlashCommand& command, const FlashSettings& s, KeyPrompt& keys) {
    static uint8_t image[kBiosCapacity + 1];
    FILE* file = _wfopen(command.file, L"rb");
    if (!file) {
        printf("ERROR: cannot open '%ls'.\n", command.file);
        return kFlashExitFile;
    }
    size_t size = fread(image, 1, sizeof(image), file);
    fclose(file);

    BiosIdentity identity;
    ImageCheck check = CheckBiosImage(image, size, kBiosCapacity, &identity);
    if (check != kImageOk) {
        printf("ERROR: %ls: %s.\n", command.file, ImageCheckText(check));
        return kFlashExitBadImage;
    }

    uint16_t device, subVendor, subDevice, board;
    {
        CardLock lock;
        if (!lock) return kFlashExitNoAdapter;
        const GpuState& gpu = lock->gpu[command.index];
        device = gpu.deviceId;
        subVendor = gpu.subsystemVendor;
        subDevice = gpu.subsystemDevice;
        board = gpu.boardId;
    }
    printf("Adapter %d: PCI device %04X, subsystem %04X:%04X, board %04X\n", command.index, device, subVendor,
           subDevice, board);
    printf("Image:     PCI device %04X, subsystem %04X:%04X, board %04X, %u bytes\n", identity.deviceId,
           identity.subsystemVendor, identity.subsystemDevice, identity.boardId, (unsigned)size);

    struct Mismatch {
        bool differs;
        bool allowed;
        const char* what;
        const char* option;
    };
    bool hasIdentity = identity.subsystemVendor != 0 || identity.subsystemDevice != 0;
    const Mismatch mismatches[3] = {
        {identity.deviceId != device, command.allowDeviceMismatch, "PCI device id", "-5"},
        {hasIdentity && (identity.subsystemVendor != subVendor || identity.subsystemDevice != subDevice),
         command.allowSubsystemMismatch, "subsystem id", "-4"},
        {hasIdentity && identity.boardId != board, command.allowBoardMismatch, "board id", "-6"},
    };
    for (const Mismatch& m : mismatches) {
        if (!m.differs) continue;
        if (!m.allowed) {
            printf("ERROR: the image's %s does not match the adapter (%s allows it).\n", m.what, m.option);
            return kFlashExitMismatch;
        }
        char question[120];
        snprintf(question, sizeof(question), "WARNING: the image's %s does not match the adapter. Continue?", m.what);
        if (!Confirm(keys, question)) return kFlashExitDeclined;
    }
    char question[120];
    snprintf(question, sizeof(question), "Update the firmware of adapter %d with this image?", command.index);
    if (!Confirm(keys, question)) {
        printf("Update aborted; the adapter keeps its firmware.\n");
        return kFlashExitDeclined;
    }

    printf("Erasing and programming the EEPROM...\n");
    fflush(stdout);
    keys.Pump(s.updateMs);
    if (s.faultMode == kVcardFlashFail) {
        printf("ERROR: the EEPROM did not verify; the adapter keeps its firmware.\n");
        return s.faultExitCode;
    }
    {
        CardLock lock;
        if (!lock) return kFlashExitNoAdapter;
        GpuState& gpu = lock->gpu[command.index];
        memcpy(gpu.bios, image, size);
        gpu.biosSize = (uint32_t)size;
    }
    printf("Update successful. Restart the computer for the new firmware to take effect.\n");
    return kFlashExitOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    printf("Virtual card flash tool (Vexa Panel test bench)\n");
    FlashCommand command;
    char error[200];
    if (!ParseFlashCommand(argc - 1, argv + 1, &command, error, sizeof(error))) {
        printf("ERROR: %s\n%s", error, kUsage);
        return kFlashExitUsage;
    }
    if (command.action == kFlashHelp) {
        printf("%s", kUsage);
        return kFlashExitUsage;
    }
    FlashSettings settings;
    if (!ReadSettings(&settings)) {
        printf("ERROR: the card cannot be reached: %s\n", SharedCard::OpenError());
        return kFlashExitNoAdapter;
    }
    if (command.action == kFlashList) return List(settings);
    if (!settings.driverPresent || command.index >= settings.gpuCount) {
        printf("ERROR: no display adapter with index %d.\n", command.index);
        return kFlashExitNoAdapter;
    }

    KeyPrompt keys;
    if (settings.faultMode != kVcardFlashNoWindow) keys.CreateKeyWindow();
    if (settings.faultMode == kVcardFlashHang) {
        // Busy with something it never finishes: it neither reads keys nor exits.
        printf("Waiting for the adapter...\n");
        Sleep(settings.hangMs ? settings.hangMs : INFINITE);
    }
    return command.action == kFlashBackup ? Backup(command, settings, keys) : Update(command, settings, keys);
}
