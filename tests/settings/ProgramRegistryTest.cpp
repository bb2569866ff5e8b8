#include <gtest/gtest.h>

#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "LogonTask.h"
#include "ProgramRegistry.h"

namespace {

// A registry value as it was found, so a test can put it back.
struct SavedValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

SavedValue ReadRaw(const wchar_t* keyPath, const wchar_t* name) {
    SavedValue v;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return v;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        v.data.resize(size);
        if (RegQueryValueExW(key, name, nullptr, &v.type, v.data.data(), &size) == ERROR_SUCCESS) {
            v.data.resize(size);
            v.present = true;
        }
    }
    RegCloseKey(key);
    return v;
}

void WriteRaw(const wchar_t* keyPath, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void DeleteRaw(const wchar_t* keyPath, const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
}

void Restore(const wchar_t* keyPath, const wchar_t* name, const SavedValue& v) {
    if (v.present) {
        WriteRaw(keyPath, name, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    } else {
        DeleteRaw(keyPath, name);
    }
}

bool RunValuePresent() {
    return ReadRaw(kRunKeyPath, kRunValueName).present;
}

// The Run value's text as stored, without a terminating NUL the system may
// have added.
std::wstring RunValueText() {
    SavedValue v = ReadRaw(kRunKeyPath, kRunValueName);
    EXPECT_TRUE(v.present);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), v.type);
    std::wstring text(reinterpret_cast<const wchar_t*>(v.data.data()), v.data.size() / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

// Stores text as the Run value with exactly `bytes` bytes of data.
void PutRunValue(const std::wstring& text, DWORD type = REG_SZ, DWORD bytes = 0xFFFFFFFF) {
    if (bytes == 0xFFFFFFFF) {
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    }
    WriteRaw(kRunKeyPath, kRunValueName, type, text.data(), bytes);
}

int ModeAfterReading(int startMode) {
    RegistryFlags flags;
    flags.runValueMode = startMode;
    ReadRunValue(flags);
    return flags.runValueMode;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

// Every test starts without our values and leaves the registry as it was.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedRun = ReadRaw(kRunKeyPath, kRunValueName);
        savedRestore = ReadRaw(kProgramKeyPath, kRestoreUserSettingsName);
        savedAbout = ReadRaw(kProgramKeyPath, kDisplayAboutAtStartupName);
        DeleteRaw(kRunKeyPath, kRunValueName);
        DeleteRaw(kProgramKeyPath, kRestoreUserSettingsName);
        DeleteRaw(kProgramKeyPath, kDisplayAboutAtStartupName);
        DeleteLogonTask();
    }
    void TearDown() override {
        DeleteLogonTask();
        Restore(kRunKeyPath, kRunValueName, savedRun);
        Restore(kProgramKeyPath, kRestoreUserSettingsName, savedRestore);
        Restore(kProgramKeyPath, kDisplayAboutAtStartupName, savedAbout);
    }
    SavedValue savedRun, savedRestore, savedAbout;
};

using RunValueTest = RegistryTest;
using OptionFlagsTest = RegistryTest;

}  // namespace

TEST_F(RunValueTest, EachModeIsWrittenAndReadBack) {
    const wchar_t* path = L"C:\\Program Files\\My Tools\\Vexa Panel\\VexaPanel.exe";
    const wchar_t* words[] = {L"Normal", L"Minimize", L"SysTray", L"OnlyApplySettings"};
    for (int mode = kRunModeNormal; mode <= kRunModeOnlyApplySettings; mode++) {
        ASSERT_TRUE(WriteRunValue(mode, path));
        EXPECT_EQ(L"\"" + std::wstring(path) + L"\" " + words[mode - kRunModeNormal], RunValueText());
        EXPECT_EQ(mode, ModeAfterReading(kRunModeNone));
    }
}

TEST_F(RunValueTest, DataLengthCountsCharactersWithoutTheTerminator) {
    // The system may append the NUL itself; what matters is that the written
    // length is not padded or cut.
    ASSERT_TRUE(WriteRunValue(kRunModeMinimize, L"C:\\V.exe"));
    SavedValue v = ReadRaw(kRunKeyPath, kRunValueName);
    size_t expected = wcslen(L"\"C:\\V.exe\" Minimize") * sizeof(wchar_t);
    EXPECT_TRUE(v.data.size() == expected || v.data.size() == expected + sizeof(wchar_t)) << v.data.size();
    EXPECT_EQ(L"\"C:\\V.exe\" Minimize", RunValueText());
}

TEST_F(RunValueTest, RunningProgramPathIsUsedByDefault) {
    ASSERT_TRUE(WriteRunValue(kRunModeSysTray));
    EXPECT_EQ(L"\"" + ModulePath() + L"\" SysTray", RunValueText());
    EXPECT_EQ(kRunModeSysTray, ModeAfterReading(kRunModeNone));
}

TEST_F(RunValueTest, ModesWithoutAWordWriteNothing) {
    for (int mode : {-1, 0, kRunModeNone, 6}) {
        EXPECT_FALSE(WriteRunValue(mode, L"C:\\V.exe")) << mode;
        EXPECT_FALSE(WriteRunValue(mode)) << mode;
        EXPECT_FALSE(RunValuePresent()) << mode;
    }
    // Nor does an existing value get replaced by a refused write.
    ASSERT_TRUE(WriteRunValue(kRunModeNormal, L"C:\\V.exe"));
    EXPECT_FALSE(WriteRunValue(0, L"C:\\Other.exe"));
    EXPECT_EQ(L"\"C:\\V.exe\" Normal", RunValueText());
}

TEST_F(RunValueTest, OverlongProgramPathIsRefusedNotCut) {
    std::wstring path = L"C:\\" + std::wstring(kRunValueMaxPathChars - 2, L'd') + L".exe";
    EXPECT_FALSE(WriteRunValue(kRunModeNormal, path.c_str()));
    EXPECT_FALSE(RunValuePresent());
}

TEST_F(RunValueTest, WordsAreReadBack) {
    struct Case {
        const wchar_t* text;
        int mode;   // expected mode, starting from 1
        bool kept;  // the value is still there afterwards
    } cases[] = {
        {L"C:\\Program Files\\Vexa\\VexaPanel.exe minimize", kRunModeMinimize, true},
        {L"C:\\Program Files\\Vexa Panel\\VexaPanel.exe SysTray", kRunModeSysTray, true},
        {L"C:\\V.exe ONLYAPPLYSETTINGS", kRunModeOnlyApplySettings, true},
        {L"C:\\Program Files\\Vexa\\VexaPanel.exe Hidden", kRunModeNone, false},
        {L"C:\\V.exe ", kRunModeNone, false},
        {L"C:\\V.exe  ", kRunModeNone, false},
    };
    for (const Case& c : cases) {
        PutRunValue(c.text);
        // Start from a mode that differs from the expected one.
        int start = c.mode == kRunModeSysTray ? kRunModeNone : kRunModeSysTray;
        EXPECT_EQ(c.mode, ModeAfterReading(start)) << c.text;
        EXPECT_EQ(c.kept, RunValuePresent()) << c.text;
        DeleteRaw(kRunKeyPath, kRunValueName);
    }
}

TEST_F(RunValueTest, TextWithoutAWordLeavesEverythingAlone) {
    for (const wchar_t* text : {L"C:\\V.exe", L" Normal", L"", L"C:\\V.exe\tNormal"}) {
        PutRunValue(text);
        EXPECT_EQ(kRunModeNone, ModeAfterReading(kRunModeNone)) << text;
        EXPECT_EQ(kRunModeMinimize, ModeAfterReading(kRunModeMinimize)) << text;
        EXPECT_TRUE(RunValuePresent()) << text;
    }
}

TEST_F(RunValueTest, MissingValueLeavesTheMode) {
    EXPECT_EQ(kRunModeNone, ModeAfterReading(kRunModeNone));
    EXPECT_EQ(kRunModeSysTray, ModeAfterReading(kRunModeSysTray));
}

TEST_F(RunValueTest, UnterminatedAndOddSizedTextIsReadSafely) {
    // Data that stops right after the word, with non-NUL characters beyond it
    // in the source buffer, so nothing terminates it.
    std::wstring text = L"C:\\V.exe NormalXXXX";
    PutRunValue(text, REG_SZ, static_cast<DWORD>(wcslen(L"C:\\V.exe Normal") * sizeof(wchar_t)));
    EXPECT_EQ(kRunModeNormal, ModeAfterReading(kRunModeNone));

    // An odd byte count: the half character at the end is dropped.
    PutRunValue(L"C:\\V.exe SysTrayX", REG_SZ, static_cast<DWORD>(wcslen(L"C:\\V.exe SysTray") * sizeof(wchar_t) + 1));
    EXPECT_EQ(kRunModeSysTray, ModeAfterReading(kRunModeNone));

    // A NUL inside the data ends the text.
    PutRunValue(std::wstring(L"C:\\V.exe Normal\0 Junk", 21));
    EXPECT_EQ(kRunModeNormal, ModeAfterReading(kRunModeNone));

    PutRunValue(L"C", REG_SZ, 1);
    EXPECT_EQ(kRunModeMinimize, ModeAfterReading(kRunModeMinimize));
    EXPECT_TRUE(RunValuePresent());
}

TEST_F(RunValueTest, ValuesOfOtherTypesAreIgnored) {
    DWORD number = 0x00200020;
    WriteRaw(kRunKeyPath, kRunValueName, REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(kRunModeMinimize, ModeAfterReading(kRunModeMinimize));
    EXPECT_TRUE(RunValuePresent());

    // Binary data that happens to look like a valid value is still not one.
    PutRunValue(L"C:\\V.exe Normal", REG_BINARY);
    EXPECT_EQ(kRunModeNone, ModeAfterReading(kRunModeNone));
    EXPECT_TRUE(RunValuePresent());

    PutRunValue(L"C:\\V.exe Normal", REG_EXPAND_SZ);
    EXPECT_EQ(kRunModeNormal, ModeAfterReading(kRunModeNone));
}

TEST_F(RunValueTest, OverlongValuesAreHandledAtTheBufferEdge) {
    // 256 characters and no NUL exactly fill the 512-byte read buffer. The
    // source text goes on past the written length, else the system would
    // store a NUL after it.
    std::wstring fits = std::wstring(256 - wcslen(L" Minimize"), L'p') + L" Minimize";
    ASSERT_EQ(256u, fits.size());
    PutRunValue(fits + L"X", REG_SZ, 512);
    ASSERT_EQ(512u, ReadRaw(kRunKeyPath, kRunValueName).data.size());
    EXPECT_EQ(kRunModeMinimize, ModeAfterReading(kRunModeNone));

    // One byte more does not fit.
    PutRunValue(fits + L"X", REG_SZ, 513);
    EXPECT_EQ(kRunModeNone, ModeAfterReading(kRunModeNone));
    EXPECT_TRUE(RunValuePresent());

    // Longer than the buffer: not ours to judge, so nothing changes.
    std::wstring tooLong = std::wstring(300, L'p') + L" Minimize";
    PutRunValue(tooLong);
    EXPECT_EQ(kRunModeNone, ModeAfterReading(kRunModeNone));
    EXPECT_TRUE(RunValuePresent());

    std::wstring huge = std::wstring(40000, L'p') + L" Fast";
    PutRunValue(huge);
    EXPECT_EQ(kRunModeSysTray, ModeAfterReading(kRunModeSysTray));
    EXPECT_TRUE(RunValuePresent());

    // A word past the format's 47 bytes is unrecognised.
    PutRunValue(L"C:\\V.exe " + std::wstring(60, L'w'));
    EXPECT_EQ(kRunModeNone, ModeAfterReading(kRunModeSysTray));
    EXPECT_FALSE(RunValuePresent());
}

TEST_F(RunValueTest, DeleteRemovesOnlyOurValue) {
    WriteRaw(kRunKeyPath, L"VexaPanelNeighbour", REG_SZ, L"x", 2 * sizeof(wchar_t));
    ASSERT_TRUE(WriteRunValue(kRunModeNormal, L"C:\\V.exe"));
    EXPECT_TRUE(DeleteRunValue());
    EXPECT_FALSE(RunValuePresent());
    EXPECT_TRUE(ReadRaw(kRunKeyPath, L"VexaPanelNeighbour").present);
    DeleteRaw(kRunKeyPath, L"VexaPanelNeighbour");
    // Deleting again finds nothing to delete and is no failure.
    EXPECT_TRUE(DeleteRunValue());
}

TEST_F(RunValueTest, DialogChoicesUpdateRegistryAndMode) {
    RegistryFlags flags;
    auto ApplyRunChoice = [](RegistryFlags& f, int mode, const wchar_t* path = nullptr) {
        ApplyRunChoiceTo(f, mode, path, StartEntry::RunValue);
    };
    ApplyRunChoice(flags, kRunModeSysTray);
    EXPECT_EQ(kRunModeSysTray, flags.runValueMode);
    EXPECT_EQ(L"\"" + ModulePath() + L"\" SysTray", RunValueText());

    ApplyRunChoice(flags, kRunModeOnlyApplySettings);
    EXPECT_EQ(kRunModeOnlyApplySettings, flags.runValueMode);
    EXPECT_EQ(L"\"" + ModulePath() + L"\" OnlyApplySettings", RunValueText());

    ApplyRunChoice(flags, kRunModeNone);
    EXPECT_EQ(kRunModeNone, flags.runValueMode);
    EXPECT_FALSE(RunValuePresent());

    ApplyRunChoice(flags, 0);
    ApplyRunChoice(flags, 9);
    EXPECT_EQ(kRunModeNone, flags.runValueMode);
    EXPECT_FALSE(RunValuePresent());

    // A path that cannot be written leaves the mode at what is stored.
    const std::wstring overlong = L"C:\\" + std::wstring(kRunValueMaxPathChars, L'd') + L".exe";
    ApplyRunChoice(flags, kRunModeNormal, overlong.c_str());
    EXPECT_EQ(kRunModeNone, flags.runValueMode) << "nothing stored";
    ApplyRunChoice(flags, kRunModeMinimize);
    ApplyRunChoice(flags, kRunModeSysTray, overlong.c_str());
    EXPECT_EQ(kRunModeMinimize, flags.runValueMode) << "the older value stays and is shown";
    EXPECT_EQ(L"\"" + ModulePath() + L"\" Minimize", RunValueText());
}

// Under Wine the scheduler keeps a task's name but not its actions, so the
// word's round trip through the XML is tested on its own; here the entries'
// hand-over: only one of them is ever there.
TEST_F(RunValueTest, TheLogonTaskReplacesTheRunValueAndDonotRunRemovesBoth) {
    RegistryFlags flags;
    wchar_t word[64];
    ApplyRunChoiceTo(flags, kRunModeMinimize, nullptr, StartEntry::RunValue);
    ASSERT_TRUE(RunValuePresent());
    ApplyRunChoiceTo(flags, kRunModeSysTray, nullptr, StartEntry::LogonTask);
    EXPECT_EQ(kRunModeSysTray, flags.runValueMode);
    ASSERT_TRUE(ReadLogonTaskArguments(word, 64)) << "the task was not registered";
    EXPECT_FALSE(RunValuePresent());
    if (word[0]) {
        EXPECT_STREQ(L"SysTray", word);
    }

    // Back to the Run value (a run without elevation): the task goes.
    ApplyRunChoiceTo(flags, kRunModeNormal, nullptr, StartEntry::RunValue);
    EXPECT_FALSE(ReadLogonTaskArguments(word, 64));
    EXPECT_EQ(L"\"" + ModulePath() + L"\" Normal", RunValueText());

    ApplyRunChoiceTo(flags, kRunModeOnlyApplySettings, nullptr, StartEntry::LogonTask);
    ApplyRunChoiceTo(flags, kRunModeNone, nullptr, StartEntry::LogonTask);
    EXPECT_EQ(kRunModeNone, flags.runValueMode);
    EXPECT_FALSE(ReadLogonTaskArguments(word, 64));
    EXPECT_FALSE(RunValuePresent());

    // A path neither entry can hold stores nothing, and says so.
    const std::wstring quoted = L"C:\\Odd\"Name.exe";
    ApplyRunChoiceTo(flags, kRunModeNormal, quoted.c_str(), StartEntry::LogonTask);
    EXPECT_EQ(kRunModeNone, flags.runValueMode) << "nothing could be stored";
    EXPECT_FALSE(ReadLogonTaskArguments(word, 64));
}

TEST_F(OptionFlagsTest, FreshFlagsAreOffWithoutValues) {
    RegistryFlags flags;
    LoadRegistryFlags(flags);
    EXPECT_EQ(0u, flags.restoreUserSettings);
    EXPECT_EQ(0u, flags.displayAboutAtStartup);
    EXPECT_EQ(kRunModeNone, flags.runValueMode);
}

TEST_F(OptionFlagsTest, FlagsAreWrittenAsDwordsAndReadBack) {
    RegistryFlags flags;
    ASSERT_TRUE(SetRestoreUserSettings(flags, true));
    ASSERT_TRUE(SetDisplayAboutAtStartup(flags, false));
    EXPECT_EQ(1u, flags.restoreUserSettings);
    EXPECT_EQ(0u, flags.displayAboutAtStartup);

    SavedValue restore = ReadRaw(kProgramKeyPath, kRestoreUserSettingsName);
    ASSERT_TRUE(restore.present);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), restore.type);
    ASSERT_EQ(4u, restore.data.size());
    EXPECT_EQ(1u, *reinterpret_cast<const DWORD*>(restore.data.data()));

    RegistryFlags loaded;
    LoadRegistryFlags(loaded);
    EXPECT_EQ(1u, loaded.restoreUserSettings);
    EXPECT_EQ(0u, loaded.displayAboutAtStartup);

    ASSERT_TRUE(SetRestoreUserSettings(flags, false));
    ASSERT_TRUE(SetDisplayAboutAtStartup(flags, true));
    RegistryFlags reloaded;
    LoadRegistryFlags(reloaded);
    EXPECT_EQ(0u, reloaded.restoreUserSettings);
    EXPECT_EQ(1u, reloaded.displayAboutAtStartup);
}

TEST_F(OptionFlagsTest, ValuesOfTheWrongTypeOrSizeAreIgnored) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
    } cases[] = {
        {"text", REG_SZ, {'1', 0, 0, 0}},
        {"binary", REG_BINARY, {1, 0, 0, 0}},
        {"short dword", REG_DWORD, {1, 0}},
        {"empty dword", REG_DWORD, {}},
        {"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"long dword", REG_DWORD, std::vector<BYTE>(600, 1)},
    };
    for (const Case& c : cases) {
        WriteRaw(kProgramKeyPath, kRestoreUserSettingsName, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        RegistryFlags flags;
        LoadRegistryFlags(flags);
        EXPECT_EQ(0u, flags.restoreUserSettings) << c.what;
    }
}

TEST_F(OptionFlagsTest, AnyNonZeroDwordCountsAsOn) {
    DWORD seven = 7;
    WriteRaw(kProgramKeyPath, kDisplayAboutAtStartupName, REG_DWORD, &seven, sizeof(seven));
    RegistryFlags flags;
    LoadRegistryFlags(flags);
    EXPECT_EQ(1u, flags.displayAboutAtStartup);
}

TEST_F(OptionFlagsTest, FailedReadsLeaveTheCallersBufferAlone) {
    DWORD sentinel = 0xDEADBEEF;
    DWORD size = sizeof(sentinel);
    DWORD type = 12345;
    EXPECT_FALSE(ReadProgramValue(kRestoreUserSettingsName, &sentinel, &size, &type));
    EXPECT_EQ(0xDEADBEEFu, sentinel);
    EXPECT_EQ(sizeof(DWORD), size);
    EXPECT_EQ(12345u, type);

    // Too large for the buffer.
    BYTE big[16] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    WriteRaw(kProgramKeyPath, kRestoreUserSettingsName, REG_BINARY, big, sizeof(big));
    EXPECT_FALSE(ReadProgramValue(kRestoreUserSettingsName, &sentinel, &size, &type));
    EXPECT_EQ(0xDEADBEEFu, sentinel);
    EXPECT_EQ(sizeof(DWORD), size);

    // Read into a buffer large enough, the size and type come back.
    BYTE out[32] = {};
    DWORD outSize = sizeof(out);
    EXPECT_TRUE(ReadProgramValue(kRestoreUserSettingsName, out, &outSize, &type));
    EXPECT_EQ(sizeof(big), outSize);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(0, memcmp(big, out, sizeof(big)));

    EXPECT_FALSE(ReadProgramValue(kRestoreUserSettingsName, nullptr, &outSize, &type));
    EXPECT_FALSE(ReadProgramValue(kRestoreUserSettingsName, out, nullptr, &type));
}

TEST_F(OptionFlagsTest, ProgramKeyIsCreatedUnderTheGivenRoot) {
    // HKEY_CURRENT_USER keeps the machine-wide key out of this test.
    RegDeleteKeyW(HKEY_CURRENT_USER, kProgramKeyPath);
    DWORD value = 42;
    ASSERT_TRUE(WriteProgramValue(L"Answer", &value, sizeof(value), REG_DWORD, HKEY_CURRENT_USER));
    DWORD read = 0;
    DWORD size = sizeof(read);
    DWORD type = REG_NONE;
    EXPECT_TRUE(ReadProgramValue(L"Answer", &read, &size, &type, HKEY_CURRENT_USER));
    EXPECT_EQ(42u, read);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_FALSE(ReadProgramValue(L"Answer", &read, &size, &type, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, kProgramKeyPath));
}
