#include "Scenario.h"

#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "BiosImage.h"
#include "CardModel.h"
#include "ChipModels.h"
#include "DriverAbi.h"

namespace vcard {

namespace {

const char* const kDefaultLevels[] = {
    "1 0x1 core:300000/200000/600000 memory:900000/600000/1100000 shader:750000/500000/1500000",
    "3 0x4 core:600000/400000/800000 memory:900000/600000/1100000 shader:1500000/1000000/2000000",
};
const char* const kDefaultStable = "core:715000 memory:1030000 shader:1780000";

enum ChipKind { kChipNone, kChipMonitor, kChipAdt };

// What a [gpu] section says, before it becomes a powered-up GPU.
struct GpuDescription {
    uint16_t deviceId;
    uint16_t subsystemVendor;
    uint16_t subsystemDevice;
    bool subsystemGiven;
    uint16_t boardId;
    uint32_t revision;
    int chip;
    uint8_t chipAddress;
    int chipBias;
    int fan;  // FanDrive, -1 = follow the chip
    int fanPercent;
    int fanMaxRpm;
    int tach;  // -1 = follow the fan
    int coolers;
    uint32_t coolerMin, coolerMax, coolerPolicy;
    int signature;
    uint32_t signatureOffset;
    double ambient, temperature;
    bool boardSensorFirst;
    bool levelsGiven;
    bool stableGiven;
    int registerCount;
    uint8_t registerAt[64];
    uint8_t registerValue[64];
};

class Parser {
public:
    Parser(CardState* state, char* error, size_t errorSize) : state_(state), error_(error), errorSize_(errorSize) {}

    bool Run(const char* text);

private:
    bool Fail(const char* format, ...);
    bool ParseLine(char* line);
    bool ParseGlobal(const char* key, char* value);
    bool ParseGpuKey(const char* key, char* value);
    bool ParseLevel(char* value, GpuState& gpu);
    bool ParseStable(char* value, GpuState& gpu);
    bool ParseDomainName(const char* text, uint32_t* id);
    bool StartGpu();
    bool FinishGpu();

    CardState* state_;
    char* error_;
    size_t errorSize_;
    int line_ = 0;
    bool driverPresent_ = true;
    int gpu_ = -1;
    GpuDescription described_ = {};
};

bool ParseNumber(const char* text, long* out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    long value = strtol(text, &end, 0);
    if (!end || *end != '\0') return false;
    *out = value;
    return true;
}

bool ParseUnsigned(const char* text, unsigned long max, uint32_t* out) {
    if (!text || !*text || *text == '-') return false;
    char* end = nullptr;
    unsigned long value = strtoul(text, &end, 0);
    if (!end || *end != '\0' || value > max) return false;
    *out = (uint32_t)value;
    return true;
}

char* Trim(char* text) {
    while (*text && isspace((unsigned char)*text))
        ++text;
    size_t n = strlen(text);
    while (n > 0 && isspace((unsigned char)text[n - 1]))
        text[--n] = '\0';
    return text;
}

// Splits off the next blank-separated word; null at the end.
char* NextWord(char** cursor) {
    char* p = *cursor;
    while (*p && isspace((unsigned char)*p))
        ++p;
    if (!*p) return nullptr;
    char* word = p;
    while (*p && !isspace((unsigned char)*p))
        ++p;
    if (*p) *p++ = '\0';
    *cursor = p;
    return word;
}

bool Parser::Fail(const char* format, ...) {
    char message[200];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    if (line_ > 0) {
        snprintf(error_, errorSize_, "line %d: %s", line_, message);
    } else {
        snprintf(error_, errorSize_, "%s", message);
    }
    return false;
}

bool Parser::Run(const char* text) {
    state_->gpuCount = 0;
    size_t length = strlen(text);
    char* copy = (char*)malloc(length + 1);
    if (!copy) return Fail("out of memory");
    memcpy(copy, text, length + 1);
    bool ok = true;
    char* p = copy;
    while (ok && *p) {
        char* end = p;
        while (*end && *end != '\n')
            ++end;
        bool last = *end == '\0';
        *end = '\0';
        ++line_;
        ok = ParseLine(p);
        p = last ? end : end + 1;
    }
    free(copy);
    if (ok) {
        line_ = 0;
        ok = FinishGpu();
    }
    if (ok) state_->driverPresent = driverPresent_ ? 1 : 0;
    return ok;
}

bool Parser::ParseLine(char* raw) {
    char* hash = strchr(raw, '#');
    if (hash) *hash = '\0';
    char* line = Trim(raw);
    if (!*line) return true;
    if (*line == '[') {
        if (strcmp(line, "[gpu]") != 0) return Fail("unknown section '%s' (only [gpu] exists)", line);
        return FinishGpu() && StartGpu();
    }
    char* equals = strchr(line, '=');
    if (!equals) return Fail("expected 'key = value', found '%s'", line);
    *equals = '\0';
    char* key = Trim(line);
    char* value = Trim(equals + 1);
    for (char* k = key; *k; ++k)
        *k = (char)tolower((unsigned char)*k);
    if (gpu_ < 0) return ParseGlobal(key, value);
    return ParseGpuKey(key, value);
}

bool Parser::ParseGlobal(const char* key, char* value) {
    if (strcmp(key, "driver") == 0) {
        if (strcmp(value, "present") == 0)
            driverPresent_ = true;
        else if (strcmp(value, "absent") == 0)
            driverPresent_ = false;
        else
            return Fail("driver must be 'present' or 'absent'");
        return true;
    }
    return Fail("unknown key '%s' before the first [gpu]", key);
}

bool Parser::StartGpu() {
    if (state_->gpuCount >= kMaxGpus) return Fail("at most %d GPUs", kMaxGpus);
    gpu_ = state_->gpuCount++;
    GpuState& gpu = state_->gpu[gpu_];
    memset(&gpu, 0, sizeof(gpu));
    GpuDescription fresh = {};
    fresh.deviceId = 0x0611;
    fresh.subsystemVendor = 0x10DE;
    fresh.boardId = 0x2001;
    fresh.revision = 0xA2;
    fresh.chip = kChipMonitor;
    fresh.chipAddress = 0x5C;
    fresh.chipBias = -6;
    fresh.fan = -1;
    fresh.fanPercent = 60;
    fresh.fanMaxRpm = 3200;
    fresh.tach = -1;
    fresh.coolers = 1;
    fresh.coolerMin = 30;
    fresh.coolerMax = 100;
    fresh.coolerPolicy = 8;
    fresh.signature = kSignatureNone;
    fresh.signatureOffset = kDefaultSignatureOffset;
    fresh.ambient = 30;
    fresh.temperature = 45;
    described_ = fresh;

    gpu.thermal.heatPerMHz[0] = 0.05;   // core
    gpu.thermal.heatPerMHz[1] = 0.02;   // shader
    gpu.thermal.heatPerMHz[2] = 0.015;  // memory
    gpu.thermal.idleLoad = 0.35;
    gpu.thermal.resistanceStill = 1.1;
    gpu.thermal.resistanceFull = 0.35;
    gpu.thermal.timeConstantMs = 8000;
    gpu.fan.timeConstantMs = 1200;
    gpu.perf.trialLevel = -1;
    for (size_t i = 0; i < sizeof(kDefaultLevels) / sizeof(kDefaultLevels[0]); ++i) {
        char text[200];
        snprintf(text, sizeof(text), "%s", kDefaultLevels[i]);
        if (!ParseLevel(text, gpu)) return false;
    }
    char stable[100];
    snprintf(stable, sizeof(stable), "%s", kDefaultStable);
    return ParseStable(stable, gpu);
}

bool Parser::ParseDomainName(const char* text, uint32_t* id) {
    if (strcmp(text, "core") == 0)
        *id = kDomainCore;
    else if (strcmp(text, "memory") == 0)
        *id = kDomainMemory;
    else if (strcmp(text, "shader") == 0)
        *id = kDomainShader;
    else if (!ParseUnsigned(text, 31, id))
        return Fail("unknown clock domain '%s'", text);
    return true;
}

bool Parser::ParseLevel(char* value, GpuState& gpu) {
    PerfState& perf = gpu.perf;
    if (perf.levelCount >= (uint32_t)kMaxLevels) return Fail("at most %d levels", kMaxLevels);
    char* cursor = value;
    char* idText = NextWord(&cursor);
    char* flagsText = NextWord(&cursor);
    uint32_t id, flags;
    if (!ParseUnsigned(idText, 0xFFFFFFFFul, &id) || !ParseUnsigned(flagsText, 0xFFFFFFFFul, &flags)) {
        return Fail("level needs 'ID FLAGS domain:freq/lower/upper ...'");
    }
    int level = (int)perf.levelCount;
    bool first = level == 0;
    int domains = 0;
    while (char* word = NextWord(&cursor)) {
        char* colon = strchr(word, ':');
        if (!colon) return Fail("'%s' is not domain:freq/lower/upper", word);
        *colon = '\0';
        uint32_t domainId = 0;
        if (!ParseDomainName(word, &domainId)) return false;
        uint32_t values[3];
        char* part = colon + 1;
        for (int i = 0; i < 3; ++i) {
            char* slash = i < 2 ? strchr(part, '/') : nullptr;
            if (i < 2 && !slash) return Fail("domain '%s' needs freq/lower/upper in kHz", word);
            if (slash) *slash = '\0';
            if (!ParseUnsigned(part, 0xFFFFFFFFul, &values[i])) return Fail("bad number '%s'", part);
            if (slash) part = slash + 1;
        }
        if (values[1] > values[2] || values[0] < values[1] || values[0] > values[2]) {
            return Fail("domain '%s': frequency must lie within lower..upper", word);
        }
        if (domains >= kMaxDomains) return Fail("at most %d domains", kMaxDomains);
        if (first) {
            perf.domainId[domains] = domainId;
        } else if (domains >= (int)perf.domainCount || perf.domainId[domains] != domainId) {
            return Fail("every level must list the same domains in the same order");
        }
        perf.frequency[level][domains] = values[0];
        perf.defaultFrequency[level][domains] = values[0];
        perf.lower[level][domains] = values[1];
        perf.upper[level][domains] = values[2];
        ++domains;
    }
    if (domains == 0) return Fail("a level needs at least one domain");
    if (!first && domains != (int)perf.domainCount) {
        return Fail("every level must list the same domains in the same order");
    }
    perf.domainCount = (uint32_t)domains;
    perf.levelId[level] = id;
    perf.levelFlags[level] = flags;
    perf.levelCount++;
    return true;
}

bool Parser::ParseStable(char* value, GpuState& gpu) {
    PerfState& perf = gpu.perf;
    char* cursor = value;
    while (char* word = NextWord(&cursor)) {
        char* colon = strchr(word, ':');
        if (!colon) return Fail("'%s' is not domain:limit", word);
        *colon = '\0';
        uint32_t domainId = 0, limit = 0;
        if (!ParseDomainName(word, &domainId)) return false;
        if (!ParseUnsigned(colon + 1, 0xFFFFFFFFul, &limit)) return Fail("bad number '%s'", colon + 1);
        int d = DomainIndex(gpu, domainId);
        if (d < 0) return Fail("stable limit for domain '%s', which no level has", word);
        perf.stableLimit[d] = limit;
    }
    return true;
}

bool Parser::ParseGpuKey(const char* key, char* value) {
    GpuState& gpu = state_->gpu[gpu_];
    GpuDescription& s = described_;
    uint32_t u = 0;
    long n = 0;
    if (strcmp(key, "device") == 0) {
        if (!ParseUnsigned(value, 0xFFFF, &u)) return Fail("device must be a 16-bit PCI device id");
        s.deviceId = (uint16_t)u;
    } else if (strcmp(key, "subsystem") == 0) {
        char* colon = strchr(value, ':');
        uint32_t vendor, device;
        if (!colon) return Fail("subsystem must be VENDOR:DEVICE");
        *colon = '\0';
        if (!ParseUnsigned(value, 0xFFFF, &vendor) || !ParseUnsigned(colon + 1, 0xFFFF, &device)) {
            return Fail("subsystem must be VENDOR:DEVICE");
        }
        s.subsystemVendor = (uint16_t)vendor;
        s.subsystemDevice = (uint16_t)device;
        s.subsystemGiven = true;
    } else if (strcmp(key, "board") == 0) {
        if (!ParseUnsigned(value, 0xFFFF, &u)) return Fail("board must be a 16-bit number");
        s.boardId = (uint16_t)u;
    } else if (strcmp(key, "revision") == 0) {
        if (!ParseUnsigned(value, 0xFF, &u)) return Fail("revision must be a byte");
        s.revision = u;
    } else if (strcmp(key, "chip") == 0) {
        if (strcmp(value, "none") == 0)
            s.chip = kChipNone;
        else if (strcmp(value, "monitor") == 0)
            s.chip = kChipMonitor;
        else if (strcmp(value, "adt7473") == 0)
            s.chip = kChipAdt;
        else
            return Fail("chip must be none, monitor or adt7473");
    } else if (strcmp(key, "chip_address") == 0) {
        if (!ParseUnsigned(value, 0xFE, &u) || u == 0 || (u & 1)) {
            return Fail("chip_address must be an 8-bit I2C address (even, not 0)");
        }
        s.chipAddress = (uint8_t)u;
    } else if (strcmp(key, "chip_bias") == 0) {
        if (!ParseNumber(value, &n) || n < -40 || n > 40) return Fail("chip_bias must be -40..40");
        s.chipBias = (int)n;
    } else if (strcmp(key, "fan") == 0) {
        if (strcmp(value, "fixed") == 0)
            s.fan = kFanFixed;
        else if (strcmp(value, "chip") == 0)
            s.fan = kFanMonitorChip;
        else if (strcmp(value, "pwm1") == 0)
            s.fan = kFanAdtPwm1;
        else if (strcmp(value, "pwm2") == 0)
            s.fan = kFanAdtPwm2;
        else if (strcmp(value, "driver") == 0)
            s.fan = kFanDriver;
        else
            return Fail("fan must be fixed, chip, pwm1, pwm2 or driver");
    } else if (strcmp(key, "fan_percent") == 0) {
        if (!ParseUnsigned(value, 100, &u)) return Fail("fan_percent must be 0..100");
        s.fanPercent = (int)u;
    } else if (strcmp(key, "fan_max_rpm") == 0) {
        if (!ParseUnsigned(value, 20000, &u) || u < 500) return Fail("fan_max_rpm must be 500..20000");
        s.fanMaxRpm = (int)u;
    } else if (strcmp(key, "tach") == 0) {
        if (strcmp(value, "none") == 0)
            s.tach = 0;
        else if (ParseUnsigned(value, 4, &u) && u >= 1)
            s.tach = (int)u;
        else
            return Fail("tach must be none or 1..4");
    } else if (strcmp(key, "coolers") == 0) {
        if (!ParseUnsigned(value, 1, &u)) return Fail("coolers must be 0 or 1");
        s.coolers = (int)u;
    } else if (strcmp(key, "cooler_min") == 0) {
        if (!ParseUnsigned(value, 100, &u)) return Fail("cooler_min must be 0..100");
        s.coolerMin = u;
    } else if (strcmp(key, "cooler_max") == 0) {
        if (!ParseUnsigned(value, 100, &u)) return Fail("cooler_max must be 0..100");
        s.coolerMax = u;
    } else if (strcmp(key, "cooler_policy") == 0) {
        if (!ParseUnsigned(value, 0xFFFF, &u) || u == 0) return Fail("cooler_policy must be a non-zero policy");
        s.coolerPolicy = u;
    } else if (strcmp(key, "signature") == 0) {
        if (strcmp(value, "none") == 0)
            s.signature = kSignatureNone;
        else if (strcmp(value, "nofan") == 0)
            s.signature = kSignatureNoFan;
        else if (strcmp(value, "pwm2") == 0)
            s.signature = kSignaturePwm2;
        else
            return Fail("signature must be none, nofan or pwm2");
    } else if (strcmp(key, "signature_offset") == 0) {
        // The text goes after the image's header blocks and within the part searched.
        if (!ParseUnsigned(value, kSignatureTextLimit - 8, &u) || u < kDefaultSignatureOffset) {
            return Fail("signature_offset must be %u..%u", kDefaultSignatureOffset, kSignatureTextLimit - 8);
        }
        s.signatureOffset = u;
    } else if (strcmp(key, "ambient") == 0) {
        if (!ParseNumber(value, &n) || n < -20 || n > 60) return Fail("ambient must be -20..60");
        s.ambient = n;
    } else if (strcmp(key, "temperature") == 0) {
        if (!ParseNumber(value, &n) || n < -20 || n > 125) return Fail("temperature must be -20..125");
        s.temperature = n;
    } else if (strcmp(key, "sensors") == 0) {
        if (strcmp(value, "gpu") == 0)
            s.boardSensorFirst = false;
        else if (strcmp(value, "board-first") == 0)
            s.boardSensorFirst = true;
        else
            return Fail("sensors must be gpu or board-first");
    } else if (strcmp(key, "level") == 0) {
        if (!s.levelsGiven) {
            if (s.stableGiven) return Fail("put 'stable' after the level lines");
            memset(&gpu.perf, 0, sizeof(gpu.perf));
            gpu.perf.trialLevel = -1;
            s.levelsGiven = true;
            s.stableGiven = false;
        }
        return ParseLevel(value, gpu);
    } else if (strcmp(key, "stable") == 0) {
        s.stableGiven = true;
        return ParseStable(value, gpu);
    } else if (strcmp(key, "register") == 0) {
        char* cursor = value;
        char* regText = NextWord(&cursor);
        char* valueText = NextWord(&cursor);
        uint32_t reg, byte;
        if (!ParseUnsigned(regText, 0xFF, &reg) || !ParseUnsigned(valueText, 0xFF, &byte) || NextWord(&cursor)) {
            return Fail("register needs 'REG VALUE', both bytes");
        }
        if (s.registerCount >= 64) return Fail("at most 64 register lines per GPU");
        s.registerAt[s.registerCount] = (uint8_t)reg;
        s.registerValue[s.registerCount] = (uint8_t)byte;
        s.registerCount++;
    } else {
        return Fail("unknown key '%s'", key);
    }
    return true;
}

bool Parser::FinishGpu() {
    if (gpu_ < 0) return true;
    GpuState& gpu = state_->gpu[gpu_];
    GpuDescription& s = described_;
    int section = gpu_;
    gpu_ = -1;

    if (s.fan < 0) {
        s.fan = s.chip == kChipMonitor ? kFanMonitorChip : s.chip == kChipAdt ? kFanAdtPwm1 : kFanDriver;
    }
    if (s.fan == kFanMonitorChip && s.chip != kChipMonitor)
        return Fail("GPU %d: fan = chip needs chip = monitor", section);
    if ((s.fan == kFanAdtPwm1 || s.fan == kFanAdtPwm2) && s.chip != kChipAdt) {
        return Fail("GPU %d: fan = pwm1/pwm2 needs chip = adt7473", section);
    }
    if (s.tach < 0) s.tach = s.fan == kFanAdtPwm2 ? 2 : s.chip == kChipAdt ? 1 : 0;
    if (s.tach > 0 && s.chip != kChipAdt) return Fail("GPU %d: tach applies to the adt7473 only", section);
    if (s.coolerMin > s.coolerMax) return Fail("GPU %d: cooler_min above cooler_max", section);
    if (s.fan == kFanDriver && s.coolers == 0) return Fail("GPU %d: fan = driver needs a cooler", section);
    if (s.registerCount > 0 && s.chip == kChipNone) return Fail("GPU %d: register lines need a chip", section);

    gpu.deviceId = s.deviceId;
    gpu.subsystemVendor = s.subsystemVendor;
    gpu.subsystemDevice = s.subsystemGiven ? s.subsystemDevice : s.deviceId;
    gpu.boardId = s.boardId;
    gpu.revision = s.revision;

    PerfState& perf = gpu.perf;
    for (uint32_t d = 0; d < perf.domainCount; ++d) {
        uint32_t top = 0;
        for (uint32_t l = 0; l < perf.levelCount; ++l)
            top = perf.upper[l][d] > top ? perf.upper[l][d] : top;
        // Without a stated limit the card is stable up to its upper limits.
        if (perf.stableLimit[d] == 0) perf.stableLimit[d] = top;
    }

    gpu.thermal.ambient = s.ambient;
    gpu.thermal.die = s.temperature;
    gpu.thermal.boardSensorFirst = s.boardSensorFirst ? 1 : 0;

    gpu.fan.drive = (uint32_t)s.fan;
    gpu.fan.fixedPercent = (uint32_t)s.fanPercent;
    gpu.fan.maxRpm = s.fanMaxRpm;

    if (s.chip == kChipMonitor) {
        gpu.monitor.present = 1;
        gpu.monitor.address = s.chipAddress;
        gpu.monitor.sensorBias = s.chipBias;
        MonitorPowerUp(gpu);
        for (int i = 0; i < s.registerCount; ++i)
            gpu.monitor.reg[s.registerAt[i]] = s.registerValue[i];
    } else if (s.chip == kChipAdt) {
        gpu.adt.present = 1;
        gpu.adt.tachInput = (uint8_t)s.tach;
        AdtPowerUp(gpu);
        for (int i = 0; i < s.registerCount; ++i)
            gpu.adt.reg[s.registerAt[i]] = s.registerValue[i];
        gpu.adt.bootConfig = gpu.adt.reg[adt::kPwmConfig1];
    }

    CoolerState& cooler = gpu.cooler;
    if (s.coolers == 0)
        cooler.backend = kCoolerNone;
    else if (s.fan == kFanDriver)
        cooler.backend = kCoolerDirect;
    else if (s.chip == kChipAdt)
        cooler.backend = kCoolerAdtPwm1;
    else
        cooler.backend = kCoolerStored;
    cooler.controller = s.chip == kChipAdt ? 1 : 2;
    cooler.minLevel = s.coolerMin;
    cooler.maxLevel = s.coolerMax;
    cooler.defaultPolicy = s.coolerPolicy;
    // A card whose default policy is manual still powers up automatic.
    cooler.policy = s.coolerPolicy == kCoolerPolicyManual ? 2 : s.coolerPolicy;
    cooler.manualLevel = s.coolerMax;

    BiosIdentity identity = {};
    identity.deviceId = gpu.deviceId;
    identity.subsystemVendor = gpu.subsystemVendor;
    identity.subsystemDevice = gpu.subsystemDevice;
    identity.boardId = gpu.boardId;
    gpu.biosSize = BuildBiosImage(identity, (BiosSignature)s.signature, s.signatureOffset, gpu.bios);

    // Let the fan start where its controller points, as after a warm boot.
    gpu.fan.rpm = FanTargetRpm(gpu, &gpu.fan.dutyPercent);
    gpu.fan.targetRpm = gpu.fan.rpm;
    return true;
}

}  // namespace

void PowerUpWithoutDriver(CardState* state) {
    memset(state->gpu, 0, sizeof(state->gpu));
    state->gpuCount = 0;
    state->driverPresent = 0;
}

bool LoadScenarioText(const char* text, CardState* state, char* error, size_t errorSize) {
    if (errorSize > 0) error[0] = '\0';
    memset(state->gpu, 0, sizeof(state->gpu));
    Parser parser(state, error, errorSize);
    if (!parser.Run(text)) {
        PowerUpWithoutDriver(state);
        return false;
    }
    return true;
}

}  // namespace vcard
