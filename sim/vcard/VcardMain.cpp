// vcard.exe: watch and steer the virtual card from a console, while the panel
// runs or on its own. Every command works on the shared card state; see
// sim/README.md for the list.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "BiosImage.h"
#include "NumberText.h"
#include "vcard/VirtualCardControl.h"

namespace {

const int kExitOk = 0;
const int kExitUsage = 1;
const int kExitFailed = 2;

const char kUsage[] =
    "usage: vcard COMMAND [ARGS]   (numbers: decimal or 0x-hex)\n"
    "  show                              every GPU: temperatures, fan, clocks, levels\n"
    "  reg GPU ADDR REG                  print a chip register (two hex digits)\n"
    "  reg GPU ADDR REG VALUE            write a chip register\n"
    "  temp GPU CELSIUS [free]           set the die temperature (held unless 'free')\n"
    "  temp GPU release                  let the thermal model move it again\n"
    "  ambient GPU CELSIUS               set the air temperature around the card\n"
    "  load GPU busy|idle                3D load (3D level) or idle (2D level)\n"
    "  fan GPU stall|free                the fan stops and stays still, or turns again\n"
    "  reset [SCENARIO]                  power up afresh (default: VEXA_VCARD)\n"
    "  scenarios                         list the built-in scenarios\n"
    "  time real|manual                  follow the wall clock, or freeze\n"
    "  advance MS | settle               step the model (settle: until steady)\n"
    "  counters [reset]                  driver calls and I2C transactions\n"
    "  bios GPU FILE                     save the GPU's BIOS image to FILE\n"
    "  fault i2c GPU|any ADDR REG|any once|always [read|write|any] [STATUS]\n"
    "  fault status ID|any GPU|any STATUS   next matching driver call returns STATUS\n"
    "  fault handles                     invalidate the GPU handles (-10 until re-enumerated)\n"
    "  fault enum COUNT TIMES            the next TIMES enumerations list COUNT GPUs\n"
    "  fault nth call|i2c N [STATUS]     the Nth driver call or I2C transaction from now fails\n"
    "  fault clocks refuse [STATUS]|accept\n"
    "  fault flash normal|fail [CODE]|hang [MS]|nowindow\n"
    "  fault winio COUNT                 InitializeWinIo fails COUNT times\n"
    "  fault clear                       remove every fault\n"
    "  hold-i2c MS                       hold the mutex HwObj_I2cMutex for MS ms\n";

int Usage() {
    fputs(kUsage, stderr);
    return kExitUsage;
}

int Failed(const char* what) {
    fprintf(stderr, "vcard: %s%s%s\n", what, VcardLastError()[0] ? ": " : "", VcardLastError());
    return kExitFailed;
}

struct Args {
    int count;
    char** items;
    const char* at(int i) const { return i < count ? items[i] : nullptr; }
};

bool Number(const char* text, long* value) {
    return text && ParseNumberText(text, value);
}

bool GpuIndex(const char* text, long* gpu) {
    if (!Number(text, gpu)) return false;
    if (*gpu < 0 || *gpu >= VcardGpuCount()) {
        fprintf(stderr, "vcard: no GPU %s on the card\n", text);
        return false;
    }
    return true;
}

// "any" or a number.
bool NumberOrAny(const char* text, long* value) {
    if (text && strcmp(text, "any") == 0) {
        *value = -1;
        return true;
    }
    return Number(text, value);
}

const char* DomainName(uint32_t id) {
    switch (id) {
        case 0:
            return "core";
        case 4:
            return "memory";
        case 7:
            return "shader";
        default:
            return "domain";
    }
}

const char* DriveName(int drive) {
    switch (drive) {
        case kVcardFanMonitorChip:
            return "monitor chip target speed";
        case kVcardFanAdtPwm1:
            return "ADT7473 PWM 1";
        case kVcardFanAdtPwm2:
            return "ADT7473 PWM 2";
        case kVcardFanDriver:
            return "driver cooler control";
        default:
            return "fixed (no control)";
    }
}

void ShowGpu(int gpu) {
    VcardCardInfo info;
    if (!VcardGetCardInfo(gpu, &info)) return;
    printf("GPU %d: PCI device 0x%04X, subsystem %04X:%04X\n", gpu, info.deviceId, info.subsystemVendor,
           info.subsystemDevice);
    printf("  temperature: die %.1f C%s, driver reports %d C\n", info.dieCelsius, info.dieHeld ? " (held)" : "",
           info.driverCelsius);
    if (info.monitorChipAddress) {
        uint8_t temp = 0, offset = 0, mode = 0;
        VcardReadRegister(gpu, info.monitorChipAddress, 0x14, &temp);
        VcardReadRegister(gpu, info.monitorChipAddress, 0x64, &offset);
        VcardReadRegister(gpu, info.monitorChipAddress, 0x60, &mode);
        printf("  monitor chip at 0x%02X: temperature %u C (offset %d), fan mode 0x%02X (%s)\n",
               info.monitorChipAddress, temp, (int8_t)offset, mode, (mode & 1) ? "manual" : "automatic");
    }
    if (info.hasAdt7473) {
        uint8_t c1 = 0, c2 = 0, d1 = 0, d2 = 0, m1 = 0, m2 = 0;
        VcardReadRegister(gpu, 0x5C, 0x5C, &c1);
        VcardReadRegister(gpu, 0x5C, 0x5D, &c2);
        VcardReadRegister(gpu, 0x5C, 0x30, &d1);
        VcardReadRegister(gpu, 0x5C, 0x31, &d2);
        VcardReadRegister(gpu, 0x5C, 0x38, &m1);
        VcardReadRegister(gpu, 0x5C, 0x39, &m2);
        printf("  ADT7473 at 0x5C: PWM1 config 0x%02X duty %u max %u (%s), PWM2 config 0x%02X duty %u max %u (%s)\n",
               c1, d1, m1, (c1 >> 5) == 7 ? "manual" : "automatic", c2, d2, m2,
               (c2 >> 5) == 7 ? "manual" : "automatic");
    }
    printf("  fan: %.0f rpm heading for %.0f rpm, drive %.0f %%, by %s, %s\n", info.fanRpm, info.fanTargetRpm,
           info.fanDutyPercent, DriveName(info.fanDrive), info.fanManual ? "manual" : "automatic");
    if (info.coolerPolicy) {
        printf("  driver cooler: level %u %%, policy %u%s\n", info.coolerLevel, info.coolerPolicy,
               info.coolerPolicy == 1 ? " (manual)" : "");
    }
    printf("  clocks: core %u MHz, shader %u MHz, memory %u MHz; %s, running level %d\n", info.coreKHz / 1000,
           info.shaderKHz / 1000, info.memoryKHz / 1000, info.busy ? "busy" : "idle", info.runningLevel);
    for (int l = 0; l < info.levelCount; ++l) {
        const VcardLevelInfo& level = info.level[l];
        printf("  level %d: id %u flags 0x%X", l, level.id, level.flags);
        for (int d = 0; d < info.domainCount; ++d) {
            printf(" | %s(%u) %u", DomainName(info.domainId[d]), info.domainId[d], level.frequency[d]);
            if (level.trial[d]) printf(" trial %u", level.trial[d]);
            printf(" [%u..%u]", level.lower[d], level.upper[d]);
        }
        printf("\n");
    }
    static uint8_t image[0x20000];
    size_t size = 0;
    const char* signature = "none";
    if (VcardGetBiosImage(gpu, image, sizeof(image), &size)) {
        switch (vcard::FindSignature(image, size)) {
            case vcard::kSignatureNoFan:
                signature = "no fan control (DM)";
                break;
            case vcard::kSignaturePwm2:
                signature = "fan on PWM 2 (-F)";
                break;
            default:
                break;
        }
    }
    printf("  BIOS image: %u bytes, fan-wiring signature: %s\n", info.biosSize, signature);
}

int Show() {
    char scenario[260], error[260];
    if (!VcardGetScenario(scenario, sizeof(scenario), error, sizeof(error))) return Failed("cannot open the card");
    wchar_t path[MAX_PATH] = L"";
    VcardGetStatePath(path, MAX_PATH);
    printf("Virtual card: scenario \"%s\", state %ls, time %s\n", scenario, path,
           VcardGetTimeMode() == kVcardTimeManual ? "manual" : "real");
    if (!VcardDriverPresent()) {
        printf("Driver: absent (NvAPI_Initialize fails)\n");
        return kExitOk;
    }
    int gpus = VcardGpuCount();
    if (gpus == 0) printf("Driver: present, no GPU enumerated\n");
    for (int g = 0; g < gpus; ++g)
        ShowGpu(g);
    char faults[2000];
    if (VcardDescribeFaults(faults, sizeof(faults)) && faults[0]) printf("Faults in force:\n%s", faults);
    return kExitOk;
}

int Register(const Args& a) {
    long gpu, address, reg, value;
    if (a.count < 4 || a.count > 5) return Usage();
    if (!GpuIndex(a.at(1), &gpu) || !Number(a.at(2), &address) || !Number(a.at(3), &reg) || address < 0 ||
        address > 255 || reg < 0 || reg > 255) {
        return Usage();
    }
    if (a.count == 4) {
        uint8_t byte;
        if (!VcardReadRegister((int)gpu, (int)address, (int)reg, &byte)) return Failed("read failed");
        printf("%02X\n", byte);
        return kExitOk;
    }
    if (!Number(a.at(4), &value) || value < 0 || value > 255) return Usage();
    if (!VcardWriteRegister((int)gpu, (int)address, (int)reg, (uint8_t)value)) return Failed("write failed");
    return kExitOk;
}

int Temperature(const Args& a) {
    long gpu, celsius;
    if (a.count < 3 || !GpuIndex(a.at(1), &gpu)) return Usage();
    if (strcmp(a.at(2), "release") == 0) {
        return VcardReleaseDieTemperature((int)gpu) ? kExitOk : Failed("release failed");
    }
    if (!Number(a.at(2), &celsius) || celsius < -40 || celsius > 150) return Usage();
    bool hold = !(a.count > 3 && strcmp(a.at(3), "free") == 0);
    return VcardSetDieTemperature((int)gpu, (double)celsius, hold) ? kExitOk : Failed("cannot set it");
}

int Ambient(const Args& a) {
    long gpu, celsius;
    if (a.count != 3 || !GpuIndex(a.at(1), &gpu) || !Number(a.at(2), &celsius)) return Usage();
    return VcardSetAmbient((int)gpu, (double)celsius) ? kExitOk : Failed("cannot set it");
}

int Load(const Args& a) {
    long gpu;
    if (a.count != 3 || !GpuIndex(a.at(1), &gpu)) return Usage();
    bool busy = strcmp(a.at(2), "busy") == 0;
    if (!busy && strcmp(a.at(2), "idle") != 0) return Usage();
    return VcardSetBusy((int)gpu, busy) ? kExitOk : Failed("cannot set it");
}

int Fan(const Args& a) {
    long gpu;
    if (a.count != 3 || !GpuIndex(a.at(1), &gpu)) return Usage();
    bool stall = strcmp(a.at(2), "stall") == 0;
    if (!stall && strcmp(a.at(2), "free") != 0) return Usage();
    return VcardStallFan((int)gpu, stall) ? kExitOk : Failed("cannot set it");
}

int Reset(const Args& a) {
    if (a.count > 2) return Usage();
    if (!VcardReset(a.at(1))) {
        fprintf(stderr, "vcard: %s\nvcard: the card now reports the driver as absent\n", VcardLastError());
        return kExitFailed;
    }
    return kExitOk;
}

int Scenarios() {
    for (int i = 0; VcardScenarioName(i); ++i)
        printf("%s\n", VcardScenarioName(i));
    return kExitOk;
}

int Time(const Args& a) {
    if (a.count != 2) return Usage();
    if (strcmp(a.at(1), "real") == 0) return VcardSetTimeMode(kVcardTimeRealtime) ? kExitOk : Failed("failed");
    if (strcmp(a.at(1), "manual") == 0) return VcardSetTimeMode(kVcardTimeManual) ? kExitOk : Failed("failed");
    return Usage();
}

int Advance(const Args& a) {
    long ms;
    if (a.count != 2 || !Number(a.at(1), &ms) || ms < 0) return Usage();
    return VcardAdvance((uint32_t)ms) ? kExitOk : Failed("failed");
}

int CountersCommand(const Args& a) {
    if (a.count == 2 && strcmp(a.at(1), "reset") == 0) return VcardResetCounters() ? kExitOk : Failed("failed");
    if (a.count != 1) return Usage();
    VcardCounters c;
    if (!VcardGetCounters(&c)) return Failed("cannot open the card");
    static const char* const kNames[kVcardCallCount] = {"initialize", "enumerate", "pci ids",    "thermal",
                                                        "i2c read",   "i2c write", "cooler get", "cooler set",
                                                        "perf get",   "perf set"};
    printf("driver calls %u, lookups %u, I2C transactions %u (failed %u), physical reads %u\n", c.driverCalls,
           c.queryInterface, c.i2cTransactions, c.i2cFailures, c.physReads);
    for (int i = 0; i < kVcardCallCount; ++i)
        printf("  %-10s %u\n", kNames[i], c.calls[i]);
    return kExitOk;
}

int SaveBios(const Args& a) {
    long gpu;
    if (a.count != 3 || !GpuIndex(a.at(1), &gpu)) return Usage();
    static uint8_t image[0x20000];
    size_t size = 0;
    if (!VcardGetBiosImage((int)gpu, image, sizeof(image), &size)) return Failed("cannot read the image");
    wchar_t name[MAX_PATH];
    if (!MultiByteToWideChar(CP_UTF8, 0, a.at(2), -1, name, MAX_PATH)) return Usage();
    FILE* file = _wfopen(name, L"wb");
    if (!file) return Failed("cannot create the file");
    bool ok = fwrite(image, 1, size, file) == size;
    ok = fclose(file) == 0 && ok;
    return ok ? kExitOk : Failed("cannot write the file");
}

int Fault(const Args& a) {
    const char* kind = a.at(1);
    if (!kind) return Usage();
    if (strcmp(kind, "clear") == 0) return VcardClearFaults() ? kExitOk : Failed("failed");
    if (strcmp(kind, "handles") == 0) return VcardInvalidateHandles() ? kExitOk : Failed("failed");
    if (strcmp(kind, "enum") == 0) {
        long count, times;
        if (a.count != 4 || !Number(a.at(2), &count) || !Number(a.at(3), &times)) return Usage();
        return VcardShortenEnumeration((int)count, (int)times) ? kExitOk : Failed("failed");
    }
    if (strcmp(kind, "nth") == 0) {
        long n, status = -1;
        if (a.count < 4 || a.count > 5 || !Number(a.at(3), &n) || (a.count == 5 && !Number(a.at(4), &status)))
            return Usage();
        VcardCountedFault which = strcmp(a.at(2), "call") == 0 ? kVcardNthDriverCall : kVcardNthI2c;
        if (which == kVcardNthI2c && strcmp(a.at(2), "i2c") != 0) return Usage();
        return VcardFailNth(which, (int)n, (int)status) ? kExitOk : Failed("failed");
    }
    if (strcmp(kind, "i2c") == 0) {
        long gpu, address, reg, status = -1;
        if (a.count < 6 || !NumberOrAny(a.at(2), &gpu) || !Number(a.at(3), &address) || !NumberOrAny(a.at(4), &reg)) {
            return Usage();
        }
        bool always = strcmp(a.at(5), "always") == 0;
        if (!always && strcmp(a.at(5), "once") != 0) return Usage();
        int op = kVcardI2cAny;
        if (a.count > 6) {
            if (strcmp(a.at(6), "read") == 0)
                op = kVcardI2cRead;
            else if (strcmp(a.at(6), "write") == 0)
                op = kVcardI2cWrite;
            else if (strcmp(a.at(6), "any") != 0)
                return Usage();
        }
        if (a.count > 7 && !Number(a.at(7), &status)) return Usage();
        return VcardFailI2c((int)gpu, (int)address, (int)reg, always, op, (int)status) ? kExitOk : Failed("failed");
    }
    if (strcmp(kind, "status") == 0) {
        long id, gpu, status;
        if (a.count != 5 || !NumberOrAny(a.at(2), &id) || !NumberOrAny(a.at(3), &gpu) || !Number(a.at(4), &status)) {
            return Usage();
        }
        uint32_t interfaceId = strcmp(a.at(2), "any") == 0 ? 0 : (uint32_t)(unsigned long)id;
        return VcardInjectStatusOnce(interfaceId, (int)gpu, (int)status) ? kExitOk : Failed("failed");
    }
    if (strcmp(kind, "clocks") == 0) {
        long status = -1;
        if (a.count >= 3 && strcmp(a.at(2), "accept") == 0) {
            return VcardRefuseClockSettings(false) ? kExitOk : Failed("failed");
        }
        if (a.count < 3 || strcmp(a.at(2), "refuse") != 0 || (a.count > 3 && !Number(a.at(3), &status))) {
            return Usage();
        }
        return VcardRefuseClockSettings(true, (int)status) ? kExitOk : Failed("failed");
    }
    if (strcmp(kind, "flash") == 0) {
        const char* mode = a.at(2);
        long value = 0;
        if (!mode || (a.count > 3 && !Number(a.at(3), &value))) return Usage();
        if (strcmp(mode, "normal") == 0) return VcardSetFlashFault(kVcardFlashNormal) ? kExitOk : Failed("failed");
        if (strcmp(mode, "fail") == 0) {
            return VcardSetFlashFault(kVcardFlashFail, a.count > 3 ? (int)value : 1) ? kExitOk : Failed("failed");
        }
        if (strcmp(mode, "hang") == 0) {
            return VcardSetFlashFault(kVcardFlashHang, 0, (uint32_t)value) ? kExitOk : Failed("failed");
        }
        if (strcmp(mode, "nowindow") == 0) {
            return VcardSetFlashFault(kVcardFlashNoWindow) ? kExitOk : Failed("failed");
        }
        return Usage();
    }
    if (strcmp(kind, "winio") == 0) {
        long count;
        if (a.count != 3 || !Number(a.at(2), &count) || count < 0) return Usage();
        return VcardFailWinIo((int)count) ? kExitOk : Failed("failed");
    }
    return Usage();
}

int HoldI2c(const Args& a) {
    long ms;
    if (a.count != 2 || !Number(a.at(1), &ms) || ms <= 0) return Usage();
    VcardI2cMutexHold hold;
    if (!hold.Start((uint32_t)ms)) return Failed("cannot take HwObj_I2cMutex");
    printf("held\n");
    fflush(stdout);
    Sleep((DWORD)ms);
    hold.Release();
    printf("released\n");
    return kExitOk;
}

// Says so when the scenario did not load, whatever the command.
void ReportScenarioError() {
    char scenario[260], error[260];
    if (VcardGetScenario(scenario, sizeof(scenario), error, sizeof(error)) && error[0]) {
        fprintf(stderr, "vcard: %s\nvcard: the card reports the driver as absent\n", error);
    }
}

int Run(const Args& a) {
    const char* command = a.at(0);
    if (!command || strcmp(command, "help") == 0 || strcmp(command, "-h") == 0) return Usage();
    if (strcmp(command, "scenarios") == 0) return Scenarios();
    if (strcmp(command, "reset") == 0) return Reset(a);
    ReportScenarioError();
    if (strcmp(command, "show") == 0) return Show();
    if (strcmp(command, "reg") == 0) return Register(a);
    if (strcmp(command, "temp") == 0) return Temperature(a);
    if (strcmp(command, "ambient") == 0) return Ambient(a);
    if (strcmp(command, "load") == 0) return Load(a);
    if (strcmp(command, "fan") == 0) return Fan(a);
    if (strcmp(command, "time") == 0) return Time(a);
    if (strcmp(command, "advance") == 0) return Advance(a);
    if (strcmp(command, "settle") == 0) return VcardSettle() ? kExitOk : Failed("failed");
    if (strcmp(command, "counters") == 0) return CountersCommand(a);
    if (strcmp(command, "bios") == 0) return SaveBios(a);
    if (strcmp(command, "fault") == 0) return Fault(a);
    if (strcmp(command, "hold-i2c") == 0) return HoldI2c(a);
    fprintf(stderr, "vcard: unknown command '%s'\n", command);
    return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Arguments travel as UTF-8, the encoding scenario names use.
    char** items = (char**)calloc(argc > 1 ? argc : 1, sizeof(char*));
    if (!items) return kExitFailed;
    Args args = {0, items};
    for (int i = 1; i < argc; ++i) {
        int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        items[args.count] = (char*)malloc(n > 0 ? n : 1);
        if (!items[args.count]) break;
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, items[args.count], n, nullptr, nullptr);
        args.count++;
    }
    int code = Run(args);
    for (int i = 0; i < args.count; ++i)
        free(items[i]);
    free(items);
    fflush(stdout);
    return code;
}
