// vcard.exe as a user runs it: beside a process that holds the driver (as
// the panel does), and on its own; scenario errors; the fault commands.
#include <stdio.h>

#include "ChildProcess.h"
#include "DriverClient.h"
#include "SimFixture.h"

using namespace simtest;

namespace {

class ToolTest : public CardTest {
protected:
    static void SetUpTestSuite() { UseState(L"sim-tool-test.state"); }

    void Start(const char* scenario) {
        PowerUp(scenario);
        ASSERT_EQ(0, driver_.Start());
    }
    ChildResult Vcard(const std::wstring& args) { return RunChild(L"vcard " + args); }

    // Runs children against a state file nobody else holds.
    struct AloneState {
        wchar_t saved[MAX_PATH];
        explicit AloneState(const wchar_t* file) {
            GetEnvironmentVariableW(L"VEXA_VCARD_STATE", saved, MAX_PATH);
            DeleteFileW(file);
            SetEnvironmentVariableW(L"VEXA_VCARD_STATE", file);
        }
        ~AloneState() {
            SetEnvironmentVariableW(L"VEXA_VCARD_STATE", saved);
            SetEnvironmentVariableW(L"VEXA_VCARD", nullptr);
        }
    };

    DriverClient driver_;
};

TEST_F(ToolTest, RegisterCommandsBesideARunningDriverUser) {
    Start("monitorchip");
    ChildResult r = Vcard(L"reg 0 0x5C 0x04");
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_EQ("5C\n", r.output);
    EXPECT_EQ("5C\n", Vcard(L"reg 0 92 4").output) << "decimal address";

    EXPECT_EQ(0u, Vcard(L"reg 0 0x5c 0x64 0x07").exitCode);
    uint8_t value = 0;
    ASSERT_EQ(0, driver_.ReadReg(0, 0x5C, 0x64, &value));
    EXPECT_EQ(7, value);
    EXPECT_EQ(0u, Vcard(L"reg 0 0x5C 0x28 010").exitCode);
    EXPECT_EQ("0A\n", Vcard(L"reg 0 0x5C 0x28").output) << "a leading zero is not octal";

    ASSERT_EQ(0, driver_.WriteReg(0, 0x5C, 0x60, 0x01));
    EXPECT_EQ("01\n", Vcard(L"reg 0 0x5C 0x60").output) << "sees what the driver user wrote";

    EXPECT_EQ(2u, Vcard(L"reg 0 0x50 0x00").exitCode) << "no chip there";
    EXPECT_EQ(1u, Vcard(L"reg 3 0x5C 0x00").exitCode) << "no such GPU";
    EXPECT_EQ(1u, Vcard(L"reg 0 0x5C 0x100").exitCode);
    EXPECT_EQ(1u, Vcard(L"reg 0 0x5C 0x28 256").exitCode);
    EXPECT_EQ(1u, Vcard(L"frobnicate").exitCode);
}

TEST_F(ToolTest, TemperatureAndLoadCommandsReachTheDriver) {
    Start("monitorchip");
    EXPECT_EQ(0u, Vcard(L"temp 0 93").exitCode);
    EXPECT_EQ(0u, Vcard(L"advance 30000").exitCode);
    int celsius = 0;
    ASSERT_EQ(0, driver_.Temperature(0, &celsius));
    EXPECT_EQ(93, celsius) << "held by default";
    EXPECT_EQ(0u, Vcard(L"temp 0 release").exitCode);
    EXPECT_EQ(0u, Vcard(L"advance 60000").exitCode);
    ASSERT_EQ(0, driver_.Temperature(0, &celsius));
    EXPECT_LT(celsius, 60);

    EXPECT_EQ(0u, Vcard(L"load 0 busy").exitCode);
    EXPECT_EQ(1, Info().runningLevel);
    EXPECT_EQ(0u, Vcard(L"load 0 idle").exitCode);
    EXPECT_EQ(0, Info().runningLevel);
}

TEST_F(ToolTest, ShowPrintsEveryCard) {
    Start("sli");
    ASSERT_EQ(0, driver_.WriteReg(0, 0x5C, 0x60, 0x05));
    ChildResult r = Vcard(L"show");
    EXPECT_EQ(0u, r.exitCode);
    const char* expected[] = {"scenario \"sli\"",
                              "GPU 0: PCI device 0x0611",
                              "monitor chip at 0x5C",
                              "fan mode 0x05 (manual)",
                              "GPU 1: PCI device 0x0600",
                              "driver cooler control",
                              "clocks: core 300 MHz, shader 750 MHz, memory 900 MHz",
                              "level 2: id 2 flags 0x4",
                              "time manual",
                              "BIOS image: 65536 bytes"};
    for (const char* text : expected)
        EXPECT_NE(std::string::npos, r.output.find(text)) << text << "\n" << r.output;
}

TEST_F(ToolTest, ShowAndRegistersWorkWhileNothingElseRuns) {
    AloneState alone(L"sim-tool-alone.state");
    SetEnvironmentVariableW(L"VEXA_VCARD", L"adt7473");
    ChildResult first = Vcard(L"show");
    EXPECT_EQ(0u, first.exitCode);
    EXPECT_NE(std::string::npos, first.output.find("ADT7473 at 0x5C")) << first.output;
    EXPECT_NE(std::string::npos, first.output.find("fan-wiring signature: none")) << first.output;
    EXPECT_EQ(0u, Vcard(L"reg 0 0x5C 0x5C 0xE2").exitCode);
    EXPECT_EQ(0u, Vcard(L"reg 0 0x5C 0x30 0x73").exitCode);
    EXPECT_EQ("73\n", Vcard(L"reg 0 0x5C 0x30").output) << "the card outlives each tool";
    EXPECT_NE(std::string::npos, Vcard(L"show").output.find("PWM1 config 0xE2 duty 115")) << "manual duty";
}

TEST_F(ToolTest, ScenarioChosenByResetStaysUntilAnotherIsAskedFor) {
    AloneState alone(L"sim-tool-reset.state");
    EXPECT_EQ(0u, Vcard(L"reset no-fan").exitCode);
    ChildResult noFan = Vcard(L"show");
    EXPECT_NE(std::string::npos, noFan.output.find("scenario \"no-fan\""));
    EXPECT_NE(std::string::npos, noFan.output.find("fan-wiring signature: no fan control (DM)")) << noFan.output;
    SetEnvironmentVariableW(L"VEXA_VCARD", L"driver-fan");
    EXPECT_NE(std::string::npos, Vcard(L"show").output.find("scenario \"driver-fan\""));
    SetEnvironmentVariableW(L"VEXA_VCARD", nullptr);
    EXPECT_NE(std::string::npos, Vcard(L"show").output.find("scenario \"monitorchip\""))
        << "a scenario from VEXA_VCARD lasts while it is asked for";
    ChildResult list = Vcard(L"scenarios");
    EXPECT_NE(std::string::npos, list.output.find("adt7473-notach\n"));
}

TEST_F(ToolTest, BadScenarioGivesAClearMessageAndNoDriver) {
    FILE* file = _wfopen(L"sim-bad.scenario", L"wb");
    ASSERT_NE(nullptr, file);
    fputs("# a typo on line 3\n[gpu]\nfann = pwm1\n", file);
    fclose(file);

    AloneState alone(L"sim-tool-bad.state");
    struct Case {
        const wchar_t* scenario;
        const char* message;
    };
    const Case cases[] = {{L"sim-bad.scenario", "line 3: unknown key 'fann'"},
                          {L"no-such-card", "unknown scenario 'no-such-card'"}};
    for (const Case& c : cases) {
        SetEnvironmentVariableW(L"VEXA_VCARD", c.scenario);
        ChildResult r = Vcard(L"show");
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_NE(std::string::npos, r.output.find(c.message)) << r.output;
        EXPECT_NE(std::string::npos, r.output.find("Driver: absent")) << r.output;
        ChildResult reset = Vcard(L"reset");
        EXPECT_EQ(2u, reset.exitCode);
        EXPECT_NE(std::string::npos, reset.output.find(c.message)) << reset.output;
    }

    // And in this process: the driver does not initialise.
    EXPECT_FALSE(VcardReset("sim-bad.scenario"));
    EXPECT_NE(nullptr, strstr(VcardLastError(), "line 3"));
    EXPECT_FALSE(VcardDriverPresent());
    DriverClient driver;
    EXPECT_EQ(-1, driver.init());
}

TEST_F(ToolTest, FaultCommandsFire) {
    Start("monitorchip");
    uint8_t value;
    EXPECT_EQ(0u, Vcard(L"fault i2c 0 0x5C 0x14 once read").exitCode);
    EXPECT_EQ(0, driver_.WriteReg(0, 0x5C, 0x14, 1)) << "a read fault";
    EXPECT_EQ(-1, driver_.ReadReg(0, 0x5C, 0x14, &value));
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x14, &value));

    EXPECT_EQ(0u, Vcard(L"fault i2c any 0x5C any always any -4").exitCode);
    EXPECT_EQ(-4, driver_.ReadReg(0, 0x5C, 0x60, &value));
    EXPECT_EQ(-4, driver_.ReadReg(0, 0x5C, 0x60, &value));
    EXPECT_EQ(0u, Vcard(L"fault clear").exitCode);
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x60, &value));

    int celsius;
    EXPECT_EQ(0u, Vcard(L"fault status 0xE3640A56 any -10").exitCode);
    EXPECT_EQ(-10, driver_.Temperature(0, &celsius));
    EXPECT_EQ(0, driver_.Temperature(0, &celsius));
    EXPECT_EQ(0u, Vcard(L"fault handles").exitCode);
    EXPECT_EQ(-10, driver_.Temperature(0, &celsius));
    ASSERT_EQ(0, driver_.Enumerate());
    EXPECT_EQ(0, driver_.Temperature(0, &celsius));

    EXPECT_EQ(0u, Vcard(L"fault clocks refuse -104").exitCode);
    PerfClocks* rec = new PerfClocks();
    ASSERT_EQ(0, driver_.Perf(0, 1, rec));
    rec->level[0].domain[0].flags = 1;
    rec->level[0].flags = 8;
    EXPECT_EQ(-104, driver_.perfSet(driver_.handles[0], rec->level[0].id, rec));
    EXPECT_EQ(0u, Vcard(L"fault clocks accept").exitCode);
    EXPECT_EQ(0, driver_.perfSet(driver_.handles[0], rec->level[0].id, rec));
    delete rec;

    EXPECT_EQ(0u, Vcard(L"fault flash fail 12").exitCode);
    EXPECT_EQ(0u, Vcard(L"fault winio 1").exitCode);
    EXPECT_EQ(1u, Vcard(L"fault flash explode").exitCode);
    EXPECT_EQ(0u, Vcard(L"fault i2c 0 0x5C 0x16 always").exitCode);
    ChildResult show = Vcard(L"show");
    for (const char* text : {"flash tool fails with exit code 12", "InitializeWinIo fails 1 more times",
                             "I2C transfers at 0x5C, register 0x16, GPU 0: status -1 always"}) {
        EXPECT_NE(std::string::npos, show.output.find(text)) << text << "\n" << show.output;
    }
    ChildResult counters = Vcard(L"counters");
    EXPECT_NE(std::string::npos, counters.output.find("I2C transactions")) << counters.output;
}

TEST_F(ToolTest, HoldI2cKeepsTheMutexFromAnotherProcess) {
    Start("monitorchip");
    Child holder;
    ASSERT_TRUE(holder.Start(L"vcard hold-i2c 2500"));
    DWORD start = GetTickCount();
    while (holder.Peek().find("held") == std::string::npos && GetTickCount() - start < 10000)
        Sleep(20);
    ASSERT_NE(std::string::npos, holder.Peek().find("held"));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"HwObj_I2cMutex");
    ASSERT_NE(nullptr, mutex);
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(mutex, 300));
    ChildResult r = holder.Finish(10000);
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(mutex, 2000));
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace
