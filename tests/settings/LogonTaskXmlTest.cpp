#include <gtest/gtest.h>

#include <string>

#include "LogonTaskXml.h"
#include "RunValueText.h"

namespace {

std::wstring Compose(const std::wstring& path, int mode, const wchar_t* user = L"HOST\\gamer",
                     size_t room = kLogonTaskXmlBufferChars) {
    std::wstring out(room, L'#');
    size_t n = ComposeLogonTaskXml(path.c_str(), mode, user, &out[0], room);
    EXPECT_EQ(L'\0', out[n]);
    return out.substr(0, n);
}

// The arguments as the program reads them back, or "<none>".
std::wstring Arguments(const std::wstring& xml, size_t room = 64) {
    std::wstring out(room, L'#');
    if (!FindLogonTaskArguments(xml.c_str(), xml.size(), &out[0], room)) return L"<none>";
    return out.c_str();
}

}  // namespace

// Every word comes back through the XML, and the path and the user, which
// may hold XML's own characters, arrive escaped.
TEST(LogonTaskXml, CarriesTheWordAndEscapesThePathAndUser) {
    const std::wstring path = L"C:\\Program Files\\R&D <tools>\\Vexa Panel's\\VexaPanel.exe";
    for (int mode = kRunModeNormal; mode <= kRunModeOnlyApplySettings; mode++) {
        const std::wstring xml = Compose(path, mode);
        ASSERT_FALSE(xml.empty()) << mode;
        int read = 0;
        const std::wstring word = Arguments(xml);
        EXPECT_EQ(RunValueWord::Recognised, ParseRunModeWord(word.c_str(), word.size(), &read)) << word;
        EXPECT_EQ(mode, read);
    }
    const std::wstring xml = Compose(path, kRunModeSysTray, L"R&D\\<admin>");
    EXPECT_NE(
        std::wstring::npos,
        xml.find(L"<Command>C:\\Program Files\\R&amp;D &lt;tools&gt;\\Vexa Panel&apos;s\\VexaPanel.exe</Command>"));
    EXPECT_EQ(2u, [&] {
        size_t n = 0;
        for (size_t at = xml.find(L"<UserId>R&amp;D\\&lt;admin&gt;</UserId>"); at != std::wstring::npos;
             at = xml.find(L"<UserId>R&amp;D", at + 1)) {
            n++;
        }
        return n;
    }()) << "the trigger and the principal";
    EXPECT_NE(std::wstring::npos, xml.find(L"<RunLevel>HighestAvailable</RunLevel>"));
    EXPECT_NE(std::wstring::npos, xml.find(L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>"));
    EXPECT_EQ(std::wstring::npos, Compose(path, kRunModeSysTray, L"").find(L"<UserId>"));
}

TEST(LogonTaskXml, RefusesWhatCouldNotStartTheProgram) {
    const std::wstring path = L"C:\\V\\VexaPanel.exe";
    for (int mode : {0, kRunModeNone, 6, -1})
        EXPECT_EQ(L"", Compose(path, mode)) << mode;
    EXPECT_EQ(L"", Compose(L"", kRunModeNormal));
    EXPECT_EQ(L"", Compose(L"C:\\a\"b.exe", kRunModeNormal));
    EXPECT_EQ(L"", Compose(L"C:\\" + std::wstring(kRunValueMaxPathChars, L'p'), kRunModeNormal));
    EXPECT_EQ(L"", Compose(path, kRunModeNormal, std::wstring(kLogonTaskMaxUserChars + 1, L'u').c_str()));
    const size_t fits = Compose(path, kRunModeNormal).size();
    EXPECT_EQ(L"", Compose(path, kRunModeNormal, L"HOST\\gamer", fits));
    EXPECT_EQ(fits, Compose(path, kRunModeNormal, L"HOST\\gamer", fits + 1).size());
    // The longest path and user, every character escaped, fit the buffer.
    EXPECT_FALSE(Compose(std::wstring(kRunValueMaxPathChars, L'&'), kRunModeOnlyApplySettings,
                         std::wstring(kLogonTaskMaxUserChars, L'&').c_str())
                     .empty());
}

// The scheduler gives the task back in its own layout.
TEST(LogonTaskXml, FindsTheArgumentsInTheSchedulersText) {
    EXPECT_EQ(L"SysTray", Arguments(L"<Task>\r\n  <Actions Context=\"Author\">\r\n    <Exec>\r\n"
                                    L"      <Command>C:\\V.exe</Command>\r\n      <Arguments>SysTray</Arguments>\r\n"
                                    L"    </Exec>\r\n  </Actions>\r\n</Task>"));
    EXPECT_EQ(L"a&b<c>\"d'", Arguments(L"<Exec><Arguments>a&amp;b&lt;c&gt;&quot;d&apos;</Arguments></Exec>"));
    EXPECT_EQ(L"&bogus;", Arguments(L"<Exec><Arguments>&bogus;</Arguments></Exec>"));
    EXPECT_EQ(L"", Arguments(L"<Exec><Arguments></Arguments></Exec>"));
    // A task without them, as Wine keeps it; a cut text; one too long.
    EXPECT_EQ(L"<none>", Arguments(L"<Actions>\r\n    <Exec/>\r\n  </Actions>"));
    EXPECT_EQ(L"<none>", Arguments(L"<Exec><Arguments>SysTr"));
    EXPECT_EQ(L"<none>", Arguments(L"<Exec><Arguments>SysTray</Arguments>", 7));
    const std::wstring cut = L"<Exec><Arguments>Normal</Arguments>";
    EXPECT_EQ(L"<none>", Arguments(cut.substr(0, cut.size() - 3)));
}
