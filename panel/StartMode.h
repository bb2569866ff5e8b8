#pragma once
// The one-word command line that says how the program was started.

enum StartMode {
    kStartInteractive = 0,       // no word, or a word we do not know
    kStartNotAtBoot = 1,         // never from the command line: "do not run at Windows start"
    kStartNormal = 2,            // "Normal"
    kStartMinimize = 3,          // "Minimize"
    kStartSysTray = 4,           // "SysTray"
    kStartOnlyApplySettings = 5  // "OnlyApplySettings"
};

// Compares the whole command line with the four words, ignoring ASCII case.
// Blanks around the word make it unrecognised. Null or empty gives 0.
StartMode ParseStartMode(const char* commandLine);
