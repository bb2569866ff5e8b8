// The saved hardware settings file against the virtual card: the bytes a
// save writes, the load of hand-written files, and the previous file
// surviving an abandoned or killed save.

#include "VcardFixture.h"

#include <stdio.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "CardDatabase.h"
#include "CardSettings.h"
#include "ReferenceClocks.h"
#include "SavedHardwareSettings.h"
#include "FileBytes.h"

namespace {

const wchar_t kFile[] = L"hw_saved_settings.txt";
const wchar_t kNewFile[] = L"hw_saved_settings.txt.new";
const uint32_t kCore = 0, kMemory = 4, kShader = 7;  // driver domain ids

// A card like the default one, with letters in its device key ("05e2").
const char kLetteredCard[] = "[gpu]\ndevice = 0x05E2\n";
const char kNo3DCard[] =
    "[gpu]\nlevel = 1 0x1 core:300000/200000/600000 memory:900000/600000/1100000 "
    "shader:750000/500000/1500000\n";

void WriteBytes(const wchar_t* name, const std::string& bytes) {
    FILE* f = _wfopen(name, L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// UTF-16 little-endian with the byte-order mark.
std::string Utf16File(const std::wstring& text) {
    std::string bytes("\xFF\xFE", 2);
    for (wchar_t c : text) {
        bytes += (char)(c & 0xFF);
        bytes += (char)((c >> 8) & 0xFF);
    }
    return bytes;
}

struct ExpectedSection {
    const wchar_t* key;
    int mode, speed;
    uint32_t gpu2D, gpu3D, shader2D, shader3D, memory;
};

// The file as its format describes it, one formatted section per card.
std::string Golden(const std::vector<ExpectedSection>& sections) {
    std::wstring text;
    for (size_t i = 0; i < sections.size(); i++) {
        const ExpectedSection& s = sections[i];
        wchar_t section[512];
        _snwprintf(section, 512,
                   L"[%ls%d]\r\n%ls=%ls\r\n%ls=%d\r\n%ls=%d\r\n%ls=%d\r\n%ls=%d\r\n%ls=%d\r\n%ls=%d\r\n%ls=%d\r\n",
                   L"Group", (int)i, L"GPU_Id", s.key, L"FanWorkMode", s.mode, L"FanManualSpeed", s.speed,
                   L"Gpu2DClock", (int)s.gpu2D, L"Gpu3DClock", (int)s.gpu3D, L"Shader2DClock", (int)s.shader2D,
                   L"Shader3DClock", (int)s.shader3D, L"MemoryClock", (int)s.memory);
        section[511] = 0;
        text += section;
    }
    return Utf16File(text);
}

// The level a selector names, as the card lists them: -1 when it has none.
int LevelOf(const VcardCardInfo& info, bool level3D) {
    for (int l = 0; l < info.levelCount; l++) {
        uint32_t flags = info.level[l].flags;
        if (level3D ? (flags & 4) != 0 : (flags == 0 || flags == 1)) return l;
    }
    return -1;
}

// A level's applied clock of one domain; 0 when the card lacks either.
uint32_t Applied(const VcardCardInfo& info, bool level3D, uint32_t domain) {
    int level = LevelOf(info, level3D);
    for (int d = 0; level >= 0 && d < info.domainCount; d++) {
        if (info.domainId[d] == domain) return info.level[level].frequency[d];
    }
    return 0;
}

}  // namespace

class SavedSettings : public VcardTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(VcardUseState(L"hw_saved_settings.state")); }

    void TearDown() override {
        _wremove(kFile);
        _wremove(kNewFile);
        gSettingsBeforeReplaceForTests = NULL;
    }

    // The card powered up, the hardware started and the card database read,
    // then each level's settings and references taken from the card as the
    // panel's build takes them.
    void Begin(const char* scenario, HardwareObject& hw, CardSettings& cards) {
        Reset(scenario);
        ASSERT_EQ(0, Start(hw));
        ASSERT_EQ(0, LoadCardDatabase(L"DMini", hw, cards));
        TakeCardClocksAsDefaults(hw, cards);
    }

    // Moves every level of every card off the clocks it powered up with.
    static void Overclock(HardwareObject& hw, uint32_t step) {
        for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
            for (int level3D = 0; level3D < 2; level3D++) {
                LevelClocks c;
                memset(&c, 0, sizeof(c));
                if ((level3D ? hw.Read3DClocks(gpu, &c) : hw.Read2DClocks(gpu, &c)) != 0) continue;
                c.core.frequency += step;
                c.shader.frequency += 2 * step;
                c.memory.frequency += step;
                ASSERT_EQ(0, level3D ? hw.Apply3DClocks(gpu, &c) : hw.Apply2DClocks(gpu, &c));
            }
        }
    }
};

// A save writes what the format says with the clocks the card runs, and the
// load puts the card back there.
TEST_F(SavedSettings, SaveWritesTheFormatAndLoadRestoresIt) {
    std::string no3D = ScenarioFile("hw_saved_no3d.scenario", kNo3DCard);
    struct Case {
        const char* scenario;
        std::vector<const wchar_t*> keys;
        uint8_t selected;
    } cases[] = {
        {"monitorchip", {L"0611"}, 0},
        {"sli", {L"0611", L"0600"}, 1},
        {no3D.c_str(), {L"0611"}, 0},
        {"3d-only", {L"0611"}, 0},
    };
    const uint32_t kSlider = 2700, kStoredSpeed = 1900;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        HardwareObject hw;
        CardSettings cards;
        Begin(c.scenario, hw, cards);
        ASSERT_EQ(c.keys.size(), hw.GpuCount());
        Overclock(hw, 10000);
        std::vector<ExpectedSection> expected;
        std::vector<VcardCardInfo> saved;
        for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
            cards.SetFanWorkMode(gpu, gpu == c.selected ? kFanManualMode : kFanAutoMode);
            cards.SetFan(gpu, kFanManual, kStoredSpeed);
            // Settings the card does not run are not what the file gets.
            for (int kind = 0; kind < kClockKindCount; kind++)
                cards.SetClock(gpu, kind, 1);
            VcardCardInfo info = Info(gpu);
            saved.push_back(info);
            bool has2D = LevelOf(info, false) >= 0;
            expected.push_back({c.keys[gpu], gpu == c.selected ? 0 : 1,
                                (int)(gpu == c.selected ? kSlider : kStoredSpeed), Applied(info, false, kCore),
                                Applied(info, true, kCore), Applied(info, false, kShader), Applied(info, true, kShader),
                                Applied(info, !has2D, kMemory)});
        }
        ASSERT_EQ(kSettingsSaved, SaveSettingsFile(hw, cards, c.selected, kSlider, kFile));
        EXPECT_EQ(Golden(expected), ReadFileBytes(kFile));
        EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesW(kNewFile));

        Overclock(hw, 5000);
        ASSERT_EQ((int)hw.GpuCount(), ApplySettingsFile(hw, cards, kFile));
        for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
            VcardCardInfo now = Info(gpu);
            const ExpectedSection& e = expected[gpu];
            for (int level3D = 0; level3D < 2; level3D++) {
                if (LevelOf(now, level3D) < 0) continue;
                SCOPED_TRACE(testing::Message() << "gpu " << (int)gpu << " level3D " << level3D);
                EXPECT_EQ(Applied(saved[gpu], level3D, kCore), Applied(now, level3D, kCore));
                EXPECT_EQ(Applied(saved[gpu], level3D, kShader), Applied(now, level3D, kShader));
                // One memory clock in the file serves both levels.
                EXPECT_EQ(e.memory, Applied(now, level3D, kMemory));
            }
            if (e.gpu2D) {
                EXPECT_EQ(e.gpu2D, cards.Clock(gpu, kGpu2DReference));
            }
            if (e.gpu3D) {
                EXPECT_EQ(e.shader3D, cards.Clock(gpu, kShader3DReference));
            }
            EXPECT_EQ(e.memory, cards.Clock(gpu, kMemoryReference));
            EXPECT_EQ((uint32_t)e.mode, cards.FanWorkMode(gpu));
        }
    }
}

TEST_F(SavedSettings, LoadTakesWhatMatchesAndSkipsTheRest) {
    std::string lettered = ScenarioFile("hw_saved_05e2.scenario", kLetteredCard);
    const std::wstring kClocks =
        L"Gpu2DClock=350000\r\nGpu3DClock=650000\r\nShader2DClock=800000\r\nShader3DClock=1550000\r\n";
    const std::wstring kHead = L"[Group0]\r\nGPU_Id=05e2\r\nFanWorkMode=0\r\nFanManualSpeed=2400\r\n";
    const std::wstring kAll = kHead + kClocks + L"MemoryClock=950000\r\n";
    const uint32_t kUpSpeed = 1800;  // the chip's own manual target
    struct Case {
        const char* what;
        std::wstring text;
        int sections;
        // 2D core, shader, memory, 3D core, shader, memory on the card after
        uint32_t clocks[6];
        uint32_t fanMode;
        uint32_t manualRpm;  // 0: the card's fan stays automatic
    } cases[] = {
        {"all of it", kAll, 1, {350000, 800000, 950000, 650000, 1550000, 950000}, 0, 2400},
        {"upper-case GPU_Id",
         L"[Group0]\r\nGPU_Id=05E2\r\nFanWorkMode=0\r\nFanManualSpeed=2400\r\n" + kClocks + L"MemoryClock=950000\r\n",
         1,
         {350000, 800000, 950000, 650000, 1550000, 950000},
         0,
         2400},
        {"longer GPU_Id",
         L"[Group0]\r\nGPU_Id=05e2-0a2-rev3\r\n" + kClocks,
         1,
         {350000, 800000, 900000, 650000, 1550000, 900000},
         1,
         0},
        {"another card's section",
         L"[Group0]\r\nGPU_Id=0611\r\nFanWorkMode=0\r\nFanManualSpeed=2400\r\n" + kClocks,
         0,
         {300000, 750000, 900000, 600000, 1500000, 900000},
         1,
         0},
        {"blank before GPU_Id's value",
         L"[Group0]\r\nGPU_Id= 05e2\r\n" + kClocks,
         0,
         {300000, 750000, 900000, 600000, 1500000, 900000},
         1,
         0},
        {"blanks around keys and before numbers",
         L"[ Group0 ]\r\n  GPU_Id  =05e2\r\n FanWorkMode =  0\r\nFanManualSpeed=\t2400\r\n  Gpu2DClock = 350000\r\n"
         L"Shader3DClock=   1550000 kHz\r\n",
         1,
         {350000, 750000, 900000, 600000, 1550000, 900000},
         0,
         2400},
        {"last line without CR LF",
         kHead + kClocks + L"MemoryClock=950000",
         1,
         {350000, 800000, 900000, 650000, 1550000, 900000},
         0,
         2400},
        {"fan mode 1 with a manual speed",
         L"[Group0]\r\nGPU_Id=05e2\r\nFanWorkMode=1\r\nFanManualSpeed=2400\r\n",
         1,
         {300000, 750000, 900000, 600000, 1500000, 900000},
         1,
         0},
        {"fan mode 0 without a speed",
         L"[Group0]\r\nGPU_Id=05e2\r\nFanWorkMode=0\r\n",
         1,
         {300000, 750000, 900000, 600000, 1500000, 900000},
         0,
         0},
        {"a speed under the fan's range",
         L"[Group0]\r\nGPU_Id=05e2\r\nFanWorkMode=0\r\nFanManualSpeed=100\r\n",
         1,
         {300000, 750000, 900000, 600000, 1500000, 900000},
         0,
         0},
        {"a fan mode never written",
         L"[Group0]\r\nGPU_Id=05e2\r\nFanWorkMode=7\r\nFanManualSpeed=2400\r\n",
         1,
         {300000, 750000, 900000, 600000, 1500000, 900000},
         1,
         0},
        {"a clock of 0 for a level the card has",
         L"[Group0]\r\nGPU_Id=05e2\r\nGpu2DClock=0\r\nShader2DClock=800000\r\nGpu3DClock=-650000\r\n",
         1,
         {300000, 800000, 900000, 600000, 1500000, 900000},
         1,
         0},
        // Over the card's hidden stability limit: the trial is refused.
        {"a refused 3D level",
         kHead + L"Gpu2DClock=350000\r\nGpu3DClock=750000\r\nMemoryClock=950000\r\n",
         1,
         {350000, 750000, 950000, 600000, 1500000, 900000},
         0,
         2400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HardwareObject hw;
        CardSettings cards;
        Begin(lettered.c_str(), hw, cards);
        WriteBytes(kFile, Utf16File(c.text));
        EXPECT_EQ(c.sections, ApplySettingsFile(hw, cards, kFile));

        VcardCardInfo info = Info(0);
        const uint32_t got[6] = {Applied(info, false, kCore),   Applied(info, false, kShader),
                                 Applied(info, false, kMemory), Applied(info, true, kCore),
                                 Applied(info, true, kShader),  Applied(info, true, kMemory)};
        for (int i = 0; i < 6; i++)
            EXPECT_EQ(c.clocks[i], got[i]) << "clock " << i;
        // The references follow the card only where a level was applied.
        EXPECT_EQ(got[0], cards.Clock(0, kGpu2DReference));
        EXPECT_EQ(got[1], cards.Clock(0, kShader2DReference));
        EXPECT_EQ(got[3], cards.Clock(0, kGpu3DReference));
        EXPECT_EQ(got[4], cards.Clock(0, kShader3DReference));

        EXPECT_EQ(c.fanMode, cards.FanWorkMode(0));
        EXPECT_EQ(c.manualRpm != 0, info.fanManual);
        EXPECT_EQ(c.manualRpm ? c.manualRpm : kUpSpeed, cards.Fan(0, kFanManual));
        uint32_t setting = 0;
        ASSERT_EQ(0, hw.ReadFanSpeed(0, &setting, false));
        if (c.manualRpm) {
            EXPECT_EQ(c.manualRpm, setting);
        }
    }
}

TEST_F(SavedSettings, OneCardFileOnTwoCardsLeavesTheSecondAlone) {
    HardwareObject hw;
    CardSettings cards;
    Begin("sli", hw, cards);
    const VcardCardInfo before = Info(1);
    const CardSettings untouched = cards;
    WriteBytes(kFile, Utf16File(L"[Group0]\r\nGPU_Id=0611\r\nGpu2DClock=350000\r\nGpu3DClock=650000\r\n"));
    EXPECT_EQ(1, ApplySettingsFile(hw, cards, kFile));
    EXPECT_EQ(350000u, Applied(Info(0), false, kCore));
    EXPECT_EQ(650000u, Applied(Info(0), true, kCore));
    const VcardCardInfo after = Info(1);
    for (int l = 0; l < after.levelCount; l++) {
        for (int d = 0; d < after.domainCount; d++) {
            EXPECT_EQ(before.level[l].frequency[d], after.level[l].frequency[d]) << l << "/" << d;
            EXPECT_EQ(0u, after.level[l].trial[d]) << l << "/" << d;
        }
    }
    for (int kind = 0; kind < kClockKindCount; kind++)
        EXPECT_EQ(untouched.Clock(1, kind), cards.Clock(1, kind)) << kind;
    EXPECT_EQ(untouched.FanWorkMode(1), cards.FanWorkMode(1));
}

TEST_F(SavedSettings, AbandonedSaveKeepsThePreviousFile) {
    HardwareObject hw;
    CardSettings cards;
    Begin("sli", hw, cards);
    ASSERT_EQ(kSettingsSaved, SaveSettingsFile(hw, cards, 0, 2000, kFile));
    const std::string previous = ReadFileBytes(kFile);
    Overclock(hw, 10000);
    // The second card's clocks cannot be read, after the first card's were.
    ASSERT_TRUE(VcardInjectStatusOnce(0x1EA54A3B, 1, -5));
    EXPECT_EQ(kSettingsSaveAbandoned, SaveSettingsFile(hw, cards, 0, 2000, kFile));
    EXPECT_EQ(previous, ReadFileBytes(kFile));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kNewFile));
}

// A leftover new file that is read-only, hidden and system, or a folder of
// that name, does not stop the save: the settings land whole.
TEST_F(SavedSettings, LeftoverNewFileOfAnyKindDoesNotStopTheSave) {
    HardwareObject hw;
    CardSettings cards;
    Begin("monitorchip", hw, cards);
    ASSERT_EQ(kSettingsSaved, SaveSettingsFile(hw, cards, 0, 2000, kFile));
    const std::string expected = ReadFileBytes(kFile);
    for (int kind = 0; kind < 2; kind++) {
        _wremove(kFile);
        if (kind == 0) {
            FILE* leftover = _wfopen(kNewFile, L"wb");
            ASSERT_TRUE(leftover != NULL);
            fputs("half", leftover);
            fclose(leftover);
            SetFileAttributesW(kNewFile, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        } else {
            ASSERT_TRUE(CreateDirectoryW(kNewFile, NULL));
        }
        EXPECT_EQ(kSettingsSaved, SaveSettingsFile(hw, cards, 0, 2000, kFile)) << "leftover kind " << kind;
        EXPECT_EQ(expected, ReadFileBytes(kFile)) << "leftover kind " << kind;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kNewFile)) << "leftover kind " << kind;
    }
}

// A save stopped for good between writing the new text and putting it in
// place, as a process killed at the worst moment.
TEST_F(SavedSettings, KilledSaveLeavesTheOldFileThenTheNextSaveTheNewOne) {
    HardwareObject hw;
    CardSettings cards;
    Begin("monitorchip", hw, cards);
    ASSERT_EQ(kSettingsSaved, SaveSettingsFile(hw, cards, 0, 2000, kFile));
    const std::string previous = ReadFileBytes(kFile);
    Overclock(hw, 10000);

    const wchar_t kPausedEvent[] = L"VexaSettingsSavePausedForTest";
    HandleHolder paused(CreateEventW(NULL, TRUE, FALSE, kPausedEvent));
    ASSERT_TRUE((bool)paused);
    std::wstring line = std::wstring(L"settings_save_child.exe ") + kFile + L" " + kPausedEvent;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &child));
    HandleHolder process(child.hProcess), thread(child.hThread);
    HANDLE waits[] = {paused.Get(), process.Get()};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, waits, FALSE, 120000)) << "the child never reached the pause";

    const std::string written = ReadFileBytes(kNewFile);
    EXPECT_EQ(previous, ReadFileBytes(kFile));
    ASSERT_TRUE(TerminateProcess(process.Get(), 9));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.Get(), 10000));
    EXPECT_EQ(previous, ReadFileBytes(kFile));

    // The killed save had written the whole of what a save now writes.
    ASSERT_EQ(kSettingsSaved, SaveSettingsFile(hw, cards, 0, 2000, kFile));
    EXPECT_NE(previous, written);
    EXPECT_EQ(written, ReadFileBytes(kFile));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kNewFile));
}

// The defaults are the clocks the card reports, a trial a Test walk left
// running included; applying them ends the trial.
TEST_F(SavedSettings, RestoreDefaultsAppliesTheReportedClocks) {
    for (const char* scenario : {"monitorchip", "3d-only"}) {
        SCOPED_TRACE(scenario);
        HardwareObject hw;
        CardSettings cards;
        Begin(scenario, hw, cards);
        LevelClocks trial;
        memset(&trial, 0, sizeof(trial));
        ASSERT_EQ(0, hw.Read3DClocks(0, &trial));
        trial.core.frequency += 20000;
        ASSERT_EQ(0, hw.Try3DClocks(0, &trial));
        for (int kind = 0; kind < kClockKindCount; kind++)
            cards.SetClock(0, kind, 1);
        cards.SetFanWorkMode(0, kFanManualMode);
        cards.SetShort(0, kAuxSliderValue, 104);
        const VcardCardInfo reported = Info(0);

        TakeCardClocksAsDefaults(hw, cards);
        LevelClocks shown;
        ASSERT_TRUE(ApplyReferenceClocks(hw, cards, 0, &shown));
        const VcardCardInfo now = Info(0);
        for (int l = 0; l < now.levelCount; l++) {
            for (int d = 0; d < now.domainCount; d++) {
                const VcardLevelInfo& was = reported.level[l];
                EXPECT_EQ(was.trial[d] ? was.trial[d] : was.frequency[d], now.level[l].frequency[d]) << l << "/" << d;
                EXPECT_EQ(0u, now.level[l].trial[d]) << l << "/" << d;
            }
        }
        // The sliders follow the 2D level where there is one.
        const bool level3D = LevelOf(now, false) < 0;
        EXPECT_EQ(Applied(now, level3D, kCore), shown.core.frequency);
        EXPECT_EQ(Applied(now, level3D, kShader), shown.shader.frequency);
        EXPECT_EQ(Applied(now, level3D, kMemory), shown.memory.frequency);
        EXPECT_EQ(Applied(now, true, kCore), cards.Clock(0, kGpu3DReference));
        EXPECT_EQ((uint32_t)kFanAutoMode, cards.FanWorkMode(0));
        EXPECT_EQ(90, cards.Short(0, kAuxSliderValue));
    }
}
