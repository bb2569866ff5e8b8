// The register sequences of the two chips, transaction by transaction, over
// a recording register file: the order the chips need (latched tachometer
// bytes, manual mode before the duty, a conversion before the reading), and
// what a failing transaction leaves undone.

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <utility>
#include <vector>

#include "Adt7473.h"
#include "MonitorChip.h"

namespace {

const NvStatus kFault = -5;

// Logs each transaction as "r16" or "w60=03"; the transaction named by
// failing ("r1a", "w60") fails with kFault and changes nothing.
class RecordedRegisters : public ChipRegisters {
public:
    explicit RecordedRegisters(const char* failing) : failing_(failing) {}

    NvStatus Read(uint8_t reg, uint8_t* value) override {
        char entry[8];
        snprintf(entry, sizeof(entry), "r%02x", reg);
        if (Record(entry)) {
            return kFault;
        }
        *value = file[reg];
        return kNvOk;
    }

    NvStatus Write(uint8_t reg, uint8_t value) override {
        char entry[8];
        snprintf(entry, sizeof(entry), "w%02x", reg);
        bool fails = Record(entry);
        snprintf(entry, sizeof(entry), "=%02x", value);
        log += entry;
        if (fails) {
            return kFault;
        }
        file[reg] = value;
        return kNvOk;
    }

    uint8_t file[256] = {};
    std::string log;

private:
    bool Record(const char* entry) {
        log += log.empty() ? "" : " ";
        log += entry;
        return failing_ == entry;
    }

    std::string failing_;
};

struct SequenceCase {
    const char* name;
    std::vector<std::pair<uint8_t, uint8_t>> preset;
    const char* failing;
    NvStatus (*run)(ChipRegisters& registers);
    const char* log;
    NvStatus status;
};

void RunCases(const std::vector<SequenceCase>& cases) {
    for (const SequenceCase& c : cases) {
        RecordedRegisters registers(c.failing);
        for (const auto& p : c.preset) {
            registers.file[p.first] = p.second;
        }
        EXPECT_EQ(c.status, c.run(registers)) << c.name;
        EXPECT_EQ(c.log, registers.log) << c.name;
    }
}

const uint32_t kTemps[4] = {85, 70, 55, 0};
const uint32_t kSpeeds[5] = {3000, 2250, 1500, 1500, 1500};

}  // namespace

// One case a line or two, read as a table.
// clang-format off
TEST(ChipSequence, MonitorChip) {
    RunCases({
        {"tachometer: the high byte latches the low one", {}, "",
         [](ChipRegisters& r) { uint32_t v; return MonitorChip(r).ReadFanRpm(&v); }, "r16 r17", kNvOk},
        {"temperature: a conversion first", {{0x01, 0x10}}, "",
         [](ChipRegisters& r) { uint8_t t; return MonitorChip(r).ReadTemperature(&t); },
         "r01 w01=14 r14 r1a", kNvOk},
        {"manual target: a failed mode write still writes the target", {{0x60, 0x06}}, "w60",
         [](ChipRegisters& r) { return MonitorChip(r).SetTargetRpm(3000); }, "r60 w60=03 w74=01 w75=f4", kFault},
        {"manual target: nothing written without the mode", {}, "r60",
         [](ChipRegisters& r) { return MonitorChip(r).SetTargetRpm(3000); }, "r60", kFault},
        {"curve: the mode first, a failing point ends it", {{0x60, 0x07}}, "wa1",
         [](ChipRegisters& r) { return MonitorChip(r).SetCurve(kTemps, kSpeeds); },
         "r60 w60=02 wa0=55 wa1=46", kFault},
        {"start-up: forced full speed lifted", {{0x60, 0x07}}, "",
         [](ChipRegisters& r) { return MonitorChip(r).ClearForcedFullSpeed(); }, "r60 w60=05", kNvOk},
        {"start-up: no write from a failed read", {}, "r60",
         [](ChipRegisters& r) { return MonitorChip(r).ClearForcedFullSpeed(); }, "r60", kFault},
        {"prepare with status bit 0", {{0x02, 0x81}}, "",
         [](ChipRegisters& r) { return MonitorChip(r).Prepare(); }, "r02 w02=01 r92", kNvOk},
        {"prepare without it", {{0x02, 0x80}}, "",
         [](ChipRegisters& r) { return MonitorChip(r).Prepare(); }, "r02 r92", kNvOk},
    });
    // clang-format on

    // Values only from a whole sequence.
    RecordedRegisters registers("r1a");
    registers.file[0x14] = 60;
    uint8_t byte = 7;
    EXPECT_EQ(kFault, MonitorChip(registers).ReadTemperature(&byte));
    EXPECT_EQ(7, byte);
    registers.file[0x16] = 0x05;
    registers.file[0x17] = 0xDC;
    uint32_t rpm = 0;
    ASSERT_EQ(kNvOk, MonitorChip(registers).ReadFanRpm(&rpm));
    EXPECT_EQ(1000u, rpm);
}

// clang-format off
TEST(ChipSequence, Adt7473) {
    RunCases({
        {"identified and set up", {{0x3D, 0x73}, {0x3E, 0x41}}, "",
         [](ChipRegisters& r) { return Adt7473(r).Identify() ? kNvOk : kFault; }, "r3d r3e w7b=55", kNvOk},
        {"another company's chip is left alone", {{0x3D, 0x73}, {0x3E, 0x5C}}, "",
         [](ChipRegisters& r) { return Adt7473(r).Identify() ? kNvOk : kFault; }, "r3d r3e", kFault},
        {"tachometer: the low byte freezes the high one", {{0x28, 0xD0}, {0x29, 0x07}}, "",
         [](ChipRegisters& r) { uint32_t v; return Adt7473(r).ReadTachometerRpm(&v); }, "r28 r29", kNvOk},
        {"tachometer test: a failed low byte ends the pass", {{0x29, 0x07}}, "r28",
         [](ChipRegisters& r) { return Adt7473(r).TachometerAnswers() ? kNvOk : kFault; }, "r28", kFault},
        {"tachometer test: all ones is no fan", {{0x28, 0x12}, {0x29, 0xFF}}, "",
         [](ChipRegisters& r) { return Adt7473(r).TachometerAnswers() ? kNvOk : kFault; }, "r28 r29", kFault},
        {"manual duty: limit lifted, manual mode, then the duty", {{0x5D, 0x02}}, "",
         [](ChipRegisters& r) { return Adt7473(r).SetManualDuty(kAdtPwm2, 45, true); },
         "w39=ff r5d w5d=e2 w31=73", kNvOk},
        {"manual duty: no duty unless the mode is manual", {{0x5C, 0x02}}, "w5c",
         [](ChipRegisters& r) { return Adt7473(r).SetManualDuty(kAdtPwm1, 100, false); }, "r5c w5c=e2", kFault},
        {"automatic: the saved limit back first", {{0x5D, 0xE2}}, "",
         [](ChipRegisters& r) { return Adt7473(r).SetAutomatic(kAdtPwm2, 0xE6); }, "w39=e6 r5d w5d=02", kNvOk},
        {"automatic: nothing saved, no limit written", {{0x5D, 0xE2}}, "",
         [](ChipRegisters& r) { return Adt7473(r).SetAutomatic(kAdtPwm2, kAdtNoSavedMaximumDuty); },
         "r5d w5d=02", kNvOk},
        {"a limit below bit 7 is not saved", {{0x38, 0x40}}, "",
         [](ChipRegisters& r) { uint8_t d; return Adt7473(r).ReadBiosMaximumDuty(kAdtPwm1, &d) ? kNvOk : kFault; },
         "r38", kFault},
    });
}
// clang-format on
