#include <string.h>

#include "Scenario.h"

namespace vcard {

namespace {

struct Builtin {
    const char* name;
    const char* text;
};

// A [gpu] section with no keys is a G92-class card with the hardware-monitor
// chip at 0x5C; the built-ins only say how they differ from it.
const Builtin kBuiltins[] = {
    {"monitorchip", "[gpu]\n"},
    {"monitorchip-5a", "[gpu]\nchip_address = 0x5A\n"},
    {"adt7473",
     "[gpu]\ndevice = 0x0622\nchip = adt7473\nfan = pwm1\ntach = 1\n"
     "# the BIOS limits automatic duty to 90 %; the panel saves and restores it\n"
     "register = 0x38 0xE6\n"},
    {"adt7473-pwm2", "[gpu]\ndevice = 0x0622\nchip = adt7473\nfan = pwm2\ntach = 2\nsignature = pwm2\n"},
    {"adt7473-notach", "[gpu]\ndevice = 0x0622\nchip = adt7473\nfan = pwm1\ntach = none\n"},
    {"driver-fan", "[gpu]\ndevice = 0x0614\nchip = none\nfan = driver\ncooler_min = 25\n"},
    {"no-fan", "[gpu]\ndevice = 0x0610\nchip = none\nfan = fixed\nfan_percent = 70\nsignature = nofan\n"},
    {"sli",
     "[gpu]\n"
     "[gpu]\ndevice = 0x0600\nchip = none\nfan = driver\nsensors = board-first\n"
     "cooler_policy = 1\ntemperature = 50\n"
     "level = 0 0x0 core:300000/250000/500000 memory:800000/500000/1100000 "
     "shader:800000/600000/1300000 5:800000/800000/800000\n"
     "level = 1 0x2 core:450000/300000/600000 memory:800000/500000/1100000 "
     "shader:1100000/800000/1500000 5:800000/800000/800000\n"
     "level = 2 0x4 core:650000/450000/850000 memory:970000/600000/1200000 "
     "shader:1625000/1100000/2100000 5:970000/970000/970000\n"
     "stable = core:742000 memory:1075000 shader:1850000\n"},
    {"3d-only",
     "[gpu]\n"
     "level = 0 0x4 core:600000/400000/800000 memory:900000/600000/1100000 "
     "shader:1500000/1000000/2000000\n"},
    {"no-shader",
     "[gpu]\ndevice = 0x0291\n"
     "level = 0 0x1 core:275000/200000/500000 memory:660000/500000/800000\n"
     "level = 2 0x4 core:450000/300000/600000 memory:660000/500000/800000\n"
     "stable = core:520000 memory:735000\n"},
    {"no-driver", "driver = absent\n[gpu]\n"},
    {"no-gpu", "# the driver loads but enumerates no GPU\n"},
};

const int kBuiltinCount = (int)(sizeof(kBuiltins) / sizeof(kBuiltins[0]));

}  // namespace

const char* BuiltinScenarioName(int index) {
    return index >= 0 && index < kBuiltinCount ? kBuiltins[index].name : nullptr;
}

const char* BuiltinScenarioText(const char* name) {
    if (!name) return nullptr;
    for (int i = 0; i < kBuiltinCount; ++i) {
        if (strcmp(kBuiltins[i].name, name) == 0) return kBuiltins[i].text;
    }
    return nullptr;
}

}  // namespace vcard
