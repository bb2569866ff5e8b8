// The virtual card's pure logic: the scenario parser, the console tools'
// number and command-line parsing, and the BIOS image checks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BiosImage.h"
#include "CardState.h"
#include "ChipModels.h"
#include "FlashCommand.h"
#include "NumberText.h"
#include "Scenario.h"

using namespace vcard;

namespace {

struct Loaded {
    std::unique_ptr<CardState> state{new CardState()};
    bool ok = false;
    std::string error;
};

Loaded Load(const char* text) {
    Loaded r;
    char error[260];
    r.ok = LoadScenarioText(text, r.state.get(), error, sizeof(error));
    r.error = error;
    return r;
}

TEST(ScenarioTest, EveryBuiltinParses) {
    for (int i = 0; BuiltinScenarioName(i); ++i) {
        SCOPED_TRACE(BuiltinScenarioName(i));
        Loaded r = Load(BuiltinScenarioText(BuiltinScenarioName(i)));
        EXPECT_TRUE(r.ok) << r.error;
    }
    EXPECT_EQ(nullptr, BuiltinScenarioText("nonesuch"));
    EXPECT_NE(nullptr, BuiltinScenarioText(kDefaultScenario));
}

TEST(ScenarioTest, EmptyGpuSectionIsTheDefaultCard) {
    Loaded r = Load("[gpu]\n");
    ASSERT_TRUE(r.ok) << r.error;
    const CardState& s = *r.state;
    EXPECT_EQ(1, s.driverPresent);
    ASSERT_EQ(1, s.gpuCount);
    const GpuState& g = s.gpu[0];
    EXPECT_EQ(0x0611, g.deviceId);
    EXPECT_EQ(1, g.monitor.present);
    EXPECT_EQ(0x5C, g.monitor.reg[monitor::kAddress]);
    EXPECT_EQ(0, g.adt.present);
    EXPECT_EQ((uint32_t)kFanMonitorChip, g.fan.drive);
    ASSERT_EQ(2u, g.perf.levelCount);
    EXPECT_EQ(3u, g.perf.domainCount);
    EXPECT_EQ(7u, g.perf.domainId[2]);
    EXPECT_EQ(kSignatureNone, FindSignature(g.bios, g.biosSize));
}

TEST(ScenarioTest, KeysDescribeAGpu) {
    Loaded r = Load(
        "driver = present   # comment\n"
        "[gpu]\n"
        "  DEVICE = 0x0290\n"
        "subsystem = 0x1043:0x8123\n"
        "chip = adt7473\n"
        "fan = pwm2\n"
        "register = 0x39 0xC0\n"
        "signature = pwm2\n"
        "signature_offset = 592\n"
        "level = 5 0x1 core:300000/200000/400000 memory:500000/400000/600000\n"
        "level = 6 0x6 core:350000/200000/450000 memory:500000/400000/600000\n"
        "stable = core:420000\n"
        "[gpu]\n"
        "chip = none\n"
        "coolers = 0\n"
        "fan = fixed\n");
    ASSERT_TRUE(r.ok) << r.error;
    const CardState& s = *r.state;
    ASSERT_EQ(2, s.gpuCount);
    const GpuState& g = s.gpu[0];
    EXPECT_EQ(0x0290, g.deviceId);
    EXPECT_EQ(0x1043, g.subsystemVendor);
    EXPECT_EQ(0x8123, g.subsystemDevice);
    EXPECT_EQ((uint32_t)kFanAdtPwm2, g.fan.drive);
    EXPECT_EQ(2, g.adt.tachInput) << "follows the fan's output";
    EXPECT_EQ(0xC0, g.adt.reg[0x39]);
    EXPECT_EQ((uint32_t)kCoolerAdtPwm1, g.cooler.backend);
    EXPECT_EQ(kSignaturePwm2, FindSignature(g.bios, g.biosSize)) << "a signature at 592 is still seen";
    EXPECT_EQ('V', g.bios[592]);
    EXPECT_EQ(2u, g.perf.domainCount);
    EXPECT_EQ(420000u, g.perf.stableLimit[0]);
    EXPECT_EQ(600000u, g.perf.stableLimit[1]) << "no stated limit: the highest upper limit";
    EXPECT_EQ(6u, g.perf.levelFlags[1]);
    EXPECT_EQ((uint32_t)kCoolerNone, s.gpu[1].cooler.backend);
}

TEST(ScenarioTest, ZeroSectionsIsADriverWithoutGpusAndAbsentDriverStaysAbsent) {
    Loaded none = Load("# nothing\n");
    ASSERT_TRUE(none.ok);
    EXPECT_EQ(0, none.state->gpuCount);
    EXPECT_EQ(1, none.state->driverPresent);
    Loaded absent = Load("driver = absent\n[gpu]\n");
    ASSERT_TRUE(absent.ok);
    EXPECT_EQ(0, absent.state->driverPresent);
}

TEST(ScenarioTest, ErrorsNameTheLineAndLeaveNoDriver) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"[gpu]\nfann = pwm1\n", "line 2: unknown key 'fann'"},
        {"[card]\n", "line 1: unknown section '[card]'"},
        {"device = 0x0611\n", "line 1: unknown key 'device' before the first [gpu]"},
        {"[gpu]\ndevice\n", "line 2: expected 'key = value'"},
        {"[gpu]\ndevice = 0x10000\n", "device must be a 16-bit"},
        {"[gpu]\ndevice = twelve\n", "device must be a 16-bit"},
        {"[gpu]\nchip_address = 0x5D\n", "chip_address must be"},
        {"[gpu]\nfan = pwm1\n", "fan = pwm1/pwm2 needs chip = adt7473"},
        {"[gpu]\nchip = none\nfan = chip\n", "fan = chip needs chip = monitor"},
        {"[gpu]\ntach = 1\n", "tach applies to the adt7473 only"},
        {"[gpu]\nchip = none\nregister = 1 2\n", "register lines need a chip"},
        {"[gpu]\nregister = 0x100 2\n", "register needs 'REG VALUE'"},
        {"[gpu]\nlevel = 1 0x1 core:300000/400000/500000\n", "must lie within lower..upper"},
        {"[gpu]\nlevel = 1 0x1 core:300000/200000\n", "needs freq/lower/upper"},
        {"[gpu]\nlevel = 1 0x1 warp:1/1/1\n", "unknown clock domain 'warp'"},
        {"[gpu]\nlevel = 1 0x1\n", "at least one domain"},
        {"[gpu]\nlevel = 1 0x1 core:3/1/5\nlevel = 2 0x4 memory:3/1/5\n", "same domains in the same order"},
        {"[gpu]\nlevel = 1 0x1 core:3/1/5 memory:3/1/5\nlevel = 2 0x4 core:3/1/5\n", "same domains"},
        {"[gpu]\nstable = shader:5\nlevel = 1 0x1 core:3/1/5\n", "put 'stable' after the level lines"},
        {"[gpu]\nlevel = 1 0x1 core:3/1/5\nstable = shader:5\n", "which no level has"},
        {"[gpu]\ncooler_min = 80\ncooler_max = 50\n", "cooler_min above cooler_max"},
        {"[gpu]\n[gpu]\n[gpu]\n[gpu]\n[gpu]\n", "at most 4 GPUs"},
        {"driver = maybe\n", "driver must be 'present' or 'absent'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Loaded r = Load(c.text);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(std::string::npos, r.error.find(c.message)) << r.error;
        EXPECT_EQ(0, r.state->driverPresent);
        EXPECT_EQ(0, r.state->gpuCount);
    }
}

TEST(NumberTextTest, DecimalAndHexOnly) {
    struct Case {
        const char* text;
        bool ok;
        long value;
    };
    const Case cases[] = {
        {"0", true, 0},       {"92", true, 92},     {"010", true, 10},  {"0x5C", true, 0x5C},      {"0X5c", true, 0x5C},
        {"-118", true, -118}, {"-0x10", true, -16}, {"", false, 0},     {"0x", false, 0},          {"12a", false, 0},
        {" 1", false, 0},     {"--1", false, 0},    {"0x-1", false, 0}, {"99999999999", false, 0}, {"-", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        long value = 12345;
        EXPECT_EQ(c.ok, ParseNumberText(c.text, &value));
        if (c.ok) {
            EXPECT_EQ(c.value, value);
        }
    }
    long id = 0;
    ASSERT_TRUE(ParseNumberText("0xE3640A56", &id));
    EXPECT_EQ(0xE3640A56u, (uint32_t)(unsigned long)id) << "interface ids keep their bits";
}

TEST(FlashCommandTest, TheProgramsCommandLinesAndMore) {
    struct Case {
        std::vector<const wchar_t*> args;
        bool ok;
        FlashAction action;
        int index;
        bool allow4, allow5, allow6;
        const wchar_t* file;
    };
    const Case cases[] = {
        {{L"--index=0", L"-b", L"VPCurr.rom"}, true, kFlashBackup, 0, false, false, false, L"VPCurr.rom"},
        {{L"--index=1", L"-4", L"-5", L"-6", L"C:\\PROGRA~1\\X.ROM"},
         true,
         kFlashUpdate,
         1,
         true,
         true,
         true,
         L"C:\\PROGRA~1\\X.ROM"},
        {{L"-i", L"1", L"x.rom"}, true, kFlashUpdate, 1, false, false, false, L"x.rom"},
        {{L"--list"}, true, kFlashList, 0, false, false, false, nullptr},
        {{}, true, kFlashHelp, 0, false, false, false, nullptr},
        {{L"--index=x", L"a.rom"}, false, kFlashHelp, 0, false, false, false, nullptr},
        {{L"--index=0", L"-b"}, false, kFlashHelp, 0, false, false, false, nullptr},
        {{L"a.rom", L"b.rom"}, false, kFlashHelp, 0, false, false, false, nullptr},
        {{L"a.rom", L"-b", L"b.rom"}, false, kFlashHelp, 0, false, false, false, nullptr},
        {{L"-7", L"a.rom"}, false, kFlashHelp, 0, false, false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        FlashCommand command;
        char error[200] = "";
        bool ok = ParseFlashCommand((int)c.args.size(), c.args.data(), &command, error, sizeof(error));
        ASSERT_EQ(c.ok, ok) << error;
        if (!ok) {
            EXPECT_NE('\0', error[0]);
            continue;
        }
        EXPECT_EQ(c.action, command.action);
        EXPECT_EQ(c.index, command.index);
        EXPECT_EQ(c.allow4, command.allowSubsystemMismatch);
        EXPECT_EQ(c.allow5, command.allowDeviceMismatch);
        EXPECT_EQ(c.allow6, command.allowBoardMismatch);
        if (c.file) {
            EXPECT_STREQ(c.file, command.file);
        }
    }
}

TEST(BiosImageTest, SignatureSearchCoversPositionsUpTo592AndTheFirstWins) {
    struct Case {
        size_t at;
        const char* text;
        BiosSignature found;
    };
    const Case cases[] = {
        {0, "Vxxxx-F", kSignaturePwm2}, {592, "VabcdDM", kSignatureNoFan}, {593, "VabcdDM", kSignatureNone},
        {10, "Vxx", kSignatureNone},    {100, "VxxxxDm", kSignatureNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        std::vector<uint8_t> text(600, 0);
        memcpy(&text[c.at], c.text, strlen(c.text));
        EXPECT_EQ(c.found, FindSignature(text.data(), text.size()));
    }
    std::vector<uint8_t> both(600, ' ');
    memcpy(&both[40], "V1234-F", 7);
    memcpy(&both[300], "V1234DM", 7);
    EXPECT_EQ(kSignaturePwm2, FindSignature(both.data(), both.size()));
}

TEST(BiosImageTest, BuiltImagesCheckAndDamageIsFound) {
    std::vector<uint8_t> image(kBiosImageSize);
    BiosIdentity id = {};
    id.deviceId = 0x0611;
    id.subsystemVendor = 0x10DE;
    id.subsystemDevice = 0x0611;
    id.boardId = 0x2001;
    ASSERT_EQ(kBiosImageSize, BuildBiosImage(id, kSignatureNone, kDefaultSignatureOffset, image.data()));
    EXPECT_EQ(kSignatureNone, FindSignature(image.data(), image.size())) << "no accidental signature";
    BiosIdentity found;
    ASSERT_EQ(kImageOk, CheckBiosImage(image.data(), image.size(), 0x20000, &found));
    EXPECT_EQ(0x0611, found.deviceId);
    EXPECT_EQ(0x2001, found.boardId);

    struct Case {
        size_t offset;
        uint8_t value;
        ImageCheck check;
    };
    const Case cases[] = {
        {0, 0x00, kImageNoRomHeader},  {2, 0x00, kImageNoRomHeader},   {2, 0xFF, kImageNoRomHeader},
        {0x1A0, 'X', kImageNoPciData}, {0x1A4, 0x00, kImageNotNvidia}, {0x8000, 0x12, kImageBadChecksum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        std::vector<uint8_t> damaged = image;
        damaged[c.offset] = c.value;
        EXPECT_EQ(c.check, CheckBiosImage(damaged.data(), damaged.size(), 0x20000, nullptr));
    }
    EXPECT_EQ(kImageTooSmall, CheckBiosImage(image.data(), 512, 0x20000, nullptr));
    EXPECT_EQ(kImageTooLarge, CheckBiosImage(image.data(), image.size(), 0x8000, nullptr));
}

}  // namespace
