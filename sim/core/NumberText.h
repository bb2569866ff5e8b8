// Numbers as the console tools take them: decimal, or hexadecimal with 0x.
// A leading zero does not mean octal: "010" is ten.
#pragma once

bool ParseNumberText(const char* text, long* value);
