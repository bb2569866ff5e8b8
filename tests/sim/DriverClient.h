// Test-side access to the virtual driver through its one export, as the
// program reaches it: LoadLibrary("nvapi.dll") and nvapi_QueryInterface.
// Record layouts are the tests' own transcription of the driver ABI.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace simtest {

inline uint32_t Version(size_t size) {
    return (uint32_t)size | (1u << 16);
}

struct I2cInfo {
    uint32_t version;
    uint32_t displayMask;
    uint8_t isDdcPort;
    uint8_t deviceAddress;
    uint8_t* registerBytes;
    uint32_t registerCount;
    uint8_t* data;
    uint32_t dataCount;
    uint32_t speed;
};

struct Cooler {
    uint32_t type, controller, defaultMin, defaultMax, minLevel, maxLevel, currentLevel, defaultPolicy, currentPolicy,
        target, controlType, active;
};
struct CoolerSettings {
    uint32_t version;
    uint32_t count;
    Cooler cooler[3];
};
struct CoolerLevels {
    uint32_t version;
    uint32_t pairs[3][2];
};
struct Sensor {
    uint32_t controller;
    int32_t defaultMin, defaultMax, current;
    uint32_t target;
};
struct ThermalSettings {
    uint32_t version;
    uint32_t count;
    Sensor sensor[3];
};
struct Domain {
    uint32_t id, reserved, frequency, further, lower, upper, flags;
};
struct Level {
    uint32_t id, flags;
    Domain domain[32];
};
struct PerfClocks {
    uint32_t version, levelCount, currentLevel, domainCount, reserved;
    Level level[12];
};
static_assert(sizeof(PerfClocks) == 10868, "perf record");
static_assert(sizeof(CoolerSettings) == 152, "cooler record");
static_assert(sizeof(ThermalSettings) == 68, "thermal record");

typedef void* Gpu;
typedef void*(__cdecl* QueryFn)(uint32_t);
typedef int(__cdecl* InitFn)();
typedef int(__cdecl* EnumFn)(Gpu*, uint32_t*);
typedef int(__cdecl* PciFn)(Gpu, uint32_t*, uint32_t*, uint32_t*, uint32_t*);
typedef int(__cdecl* ThermalFn)(Gpu, uint32_t, ThermalSettings*);
typedef int(__cdecl* I2cFn)(Gpu, I2cInfo*);
typedef int(__cdecl* CoolerGetFn)(Gpu, uint32_t, CoolerSettings*);
typedef int(__cdecl* CoolerSetFn)(Gpu, uint32_t, CoolerLevels*);
typedef int(__cdecl* PerfGetFn)(Gpu, int32_t, PerfClocks*);
typedef int(__cdecl* PerfSetFn)(Gpu, uint32_t, PerfClocks*);

// One loaded driver with its functions and the enumerated handles.
class DriverClient {
public:
    DriverClient() {
        module_ = LoadLibraryW(L"nvapi.dll");
        if (!module_) return;
        query_ = (QueryFn)(void*)GetProcAddress(module_, "nvapi_QueryInterface");
        if (!query_) return;
        init = (InitFn)query_(0x0150E828);
        enumGpus = (EnumFn)query_(0xE5AC921F);
        pci = (PciFn)query_(0x2DDFB66E);
        thermal = (ThermalFn)query_(0xE3640A56);
        i2cRead = (I2cFn)query_(0x2FDE12C5);
        i2cWrite = (I2cFn)query_(0xE812EB07);
        coolerGet = (CoolerGetFn)query_(0xDA141340);
        coolerSet = (CoolerSetFn)query_(0x891FA0AE);
        perfGet = (PerfGetFn)query_(0x1EA54A3B);
        perfSet = (PerfSetFn)query_(0x07BCF4AC);
    }
    ~DriverClient() {
        if (module_) FreeLibrary(module_);
    }
    DriverClient(const DriverClient&) = delete;
    DriverClient& operator=(const DriverClient&) = delete;

    bool loaded() const { return query_ != nullptr; }
    void* Query(uint32_t id) const { return query_ ? query_(id) : nullptr; }

    // Initialise and enumerate; the status of the first failing step.
    int Start() {
        int status = init();
        if (status != 0) return status;
        return Enumerate();
    }
    int Enumerate() {
        count = 0;
        return enumGpus(handles, &count);
    }

    int ReadReg(int gpu, uint8_t address, uint8_t reg, uint8_t* value) {
        I2cInfo info = MakeI2c(address, &reg, value);
        return i2cRead(handles[gpu], &info);
    }
    int WriteReg(int gpu, uint8_t address, uint8_t reg, uint8_t value) {
        I2cInfo info = MakeI2c(address, &reg, &value);
        return i2cWrite(handles[gpu], &info);
    }
    int Temperature(int gpu, int* celsius) {
        ThermalSettings t = {};
        t.version = Version(sizeof(t));
        int status = thermal(handles[gpu], 15, &t);
        if (status != 0) return status;
        for (uint32_t i = 0; i < t.count; ++i) {
            if (t.sensor[i].target == 1) {
                *celsius = t.sensor[i].current;
                return 0;
            }
        }
        return -1;
    }
    int Coolers(int gpu, CoolerSettings* c) {
        memset(c, 0, sizeof(*c));
        c->version = 0x10098;
        return coolerGet(handles[gpu], 7, c);
    }
    int SetCooler(int gpu, uint32_t level, uint32_t policy) {
        CoolerLevels l = {};
        l.version = 0x1001C;
        l.pairs[0][0] = level;
        l.pairs[0][1] = policy;
        return coolerSet(handles[gpu], 0, &l);
    }
    int Perf(int gpu, int32_t level, PerfClocks* p) {
        memset(p, 0, sizeof(*p));
        p->version = 0x12A74;
        return perfGet(handles[gpu], level, p);
    }

    static I2cInfo MakeI2c(uint8_t address, uint8_t* reg, uint8_t* data) {
        I2cInfo info = {};
        info.version = Version(sizeof(I2cInfo));
        info.isDdcPort = 2;
        info.deviceAddress = address;
        info.registerBytes = reg;
        info.registerCount = 1;
        info.data = data;
        info.dataCount = 1;
        info.speed = 30;
        return info;
    }

    InitFn init = nullptr;
    EnumFn enumGpus = nullptr;
    PciFn pci = nullptr;
    ThermalFn thermal = nullptr;
    I2cFn i2cRead = nullptr;
    I2cFn i2cWrite = nullptr;
    CoolerGetFn coolerGet = nullptr;
    CoolerSetFn coolerSet = nullptr;
    PerfGetFn perfGet = nullptr;
    PerfSetFn perfSet = nullptr;
    Gpu handles[64] = {};
    uint32_t count = 0;

private:
    HMODULE module_ = nullptr;
    QueryFn query_ = nullptr;
};

}  // namespace simtest
