#include "StartMode.h"

#include <string>

#include <gtest/gtest.h>

TEST(ParseStartMode, WordsInAnyCase) {
    struct Case {
        const char* line;
        int mode;
    };
    const Case cases[] = {
        {"Normal", kStartNormal},
        {"normal", kStartNormal},
        {"NORMAL", kStartNormal},
        {"Minimize", kStartMinimize},
        {"mInImIzE", kStartMinimize},
        {"SysTray", kStartSysTray},
        {"systray", kStartSysTray},
        {"OnlyApplySettings", kStartOnlyApplySettings},
        {"ONLYAPPLYSETTINGS", kStartOnlyApplySettings},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.mode, ParseStartMode(c.line)) << c.line;
}

TEST(ParseStartMode, AnythingElseIsAnInteractiveStart) {
    const char* lines[] = {
        nullptr,
        "",
        " ",
        "SysTray ",
        " SysTray",
        "/SysTray",
        "-Minimize",
        "Sys Tray",
        "SysTra",
        "SysTrayy",
        "Normal Minimize",
        "\tNormal",
        "Minimise",
        // A byte that a code page might fold to an ASCII letter must not match.
        "Norm\xC1l",
    };
    for (const char* line : lines)
        EXPECT_EQ(kStartInteractive, ParseStartMode(line)) << (line ? line : "(null)");
}

TEST(ParseStartMode, OverlongLineIsInteractive) {
    std::string line(100000, 'N');
    EXPECT_EQ(kStartInteractive, ParseStartMode(line.c_str()));
    std::string prefixed = "Normal" + std::string(70000, ' ');
    EXPECT_EQ(kStartInteractive, ParseStartMode(prefixed.c_str()));
}
