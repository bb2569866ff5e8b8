// The section/key reader: parse rules, lookups, files and the decoder.

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "DMiniCipher.h"
#include "IniReader.h"

namespace {

std::wstring Value(const IniReader& ini, const wchar_t* section, const wchar_t* key) {
    wchar_t out[128];
    if (!ini.GetText(section, key, out, 128)) {
        return L"<none>";
    }
    return out;
}

bool Parse(IniReader* ini, const std::wstring& text) {
    return ini->LoadText(text.data(), (uint32_t)text.size()) == 1;
}

void WriteBytes(const wchar_t* name, const void* data, size_t bytes) {
    FILE* f = _wfopen(name, L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(data, 1, bytes, f);
    fclose(f);
}

}  // namespace

TEST(IniReader, SectionsKeysAndValues) {
    IniReader ini;
    ASSERT_TRUE(Parse(&ini,
                      L"orphan=1\r\n"                  // before any section: dropped
                      L"[  0290_Info  ] trailing\r\n"  // names trimmed, text after ']' ignored
                      L"  MaxSpeed  =  75\r\n"         // key trimmed, value kept as written
                      L"no equals sign\n"
                      L"Empty=\n"
                      L"[Second]\r"
                      L"MaxSpeed=10\n"
                      L"[unclosed\n"
                      L"Key=in unclosed\n"
                      L"[Other]\n"
                      L"A=B=C\n"
                      L"Last=no line end"));
    EXPECT_EQ(L"  75", Value(ini, L"0290_Inf", L"MaxSpeed"));  // prefix of "0290_Info", first wins
    int32_t n = 0;
    ASSERT_TRUE(ini.GetInt(L"0290_inf", L"maxspeed", &n, 10));  // case ignored
    EXPECT_EQ(75, n);
    EXPECT_EQ(L"", Value(ini, L"0290", L"Empty"));
    EXPECT_EQ(L"<none>", Value(ini, L"0290", L"no equals"));
    EXPECT_EQ(L"<none>", Value(ini, L"", L"orphan"));
    // "[unclosed" opened no section: its key belongs to the section before.
    EXPECT_EQ(L"in unclosed", Value(ini, L"Second", L"Key"));
    EXPECT_EQ(L"<none>", Value(ini, L"unclosed", L"Key"));
    EXPECT_EQ(L"10", Value(ini, L"Second", L"MaxSpeed"));
    EXPECT_EQ(L"B=C", Value(ini, L"Other", L"A"));
    EXPECT_EQ(L"<none>", Value(ini, L"Other", L"Last"));
}

TEST(IniReader, OnlyTheFirstMatchingSectionIsSearched) {
    IniReader ini;
    ASSERT_TRUE(Parse(&ini, L"[0600_Inf]\nA=1\n[0600_Inf]\nA=2\nB=3\n"));
    EXPECT_EQ(L"1", Value(ini, L"0600_Inf", L"A"));
    EXPECT_EQ(L"<none>", Value(ini, L"0600_Inf", L"B"));
}

TEST(IniReader, ByteOrderMarkAndOddUnits) {
    IniReader ini;
    std::wstring text =
        L"\xFEFF[S]\nK=\xFEFF"
        L"5\n";
    ASSERT_TRUE(Parse(&ini, text));
    EXPECT_EQ(std::wstring(L"\xFEFF") + L"5", Value(ini, L"S", L"K"));  // kept inside a value
}

TEST(IniReader, IntegerValueStaysInsideItsLine) {
    IniReader ini;
    // wcstol skips leading line ends: reading the buffer in place would take
    // the next line's number for the empty value.
    ASSERT_TRUE(Parse(&ini, L"[S]\nEmpty=\n75\nSpaced=   42\n"));
    int32_t n = -1;
    ASSERT_TRUE(ini.GetInt(L"S", L"Empty", &n, 10));
    EXPECT_EQ(0, n);
    ASSERT_TRUE(ini.GetInt(L"S", L"Spaced", &n, 10));
    EXPECT_EQ(42, n);
}

TEST(IniReader, TextLookupRespectsCapacity) {
    IniReader ini;
    ASSERT_TRUE(Parse(&ini, L"[S]\nK=abcdef\n"));
    wchar_t out[4];
    ASSERT_TRUE(ini.GetText(L"S", L"K", out, 4));
    EXPECT_STREQ(L"abc", out);
}

TEST(IniReader, FilesOddLengthMissingAndTooLarge) {
    const wchar_t* name = L"ini_reader_test.txt";
    std::wstring text = L"\xFEFF[S]\r\nK=7\r\n";
    std::vector<char> bytes((const char*)text.data(), (const char*)(text.data() + text.size()));
    bytes.push_back('X');  // odd length: the last byte is ignored
    WriteBytes(name, bytes.data(), bytes.size());
    IniReader ini;
    ASSERT_EQ(1, ini.Load(name, false));
    EXPECT_EQ(L"7", Value(ini, L"S", L"K"));

    EXPECT_EQ(0, ini.Load(L"no_such_file.txt", false));
    EXPECT_EQ(L"<none>", Value(ini, L"S", L"K"));  // a failed load leaves the reader empty

    std::vector<char> huge(kIniMaxFileBytes + 2, 'a');
    WriteBytes(name, huge.data(), huge.size());
    EXPECT_EQ(0, ini.Load(name, false));

    WriteBytes(name, "", 0);
    EXPECT_EQ(1, ini.Load(name, false));
    EXPECT_EQ(L"<none>", Value(ini, L"S", L"K"));
    _wremove(name);
}

TEST(IniReader, BinaryGarbageParsesWithoutHarm) {
    std::vector<wchar_t> noise(20000);
    uint32_t seed = 12345;
    for (wchar_t& u : noise) {
        seed = seed * 1103515245u + 12345u;
        u = (wchar_t)(seed >> 16);
    }
    // Sprinkle the structural characters so that every state is visited.
    const wchar_t marks[] = L"[]=\r\n ";
    for (size_t i = 0; i < noise.size(); i += 7) {
        noise[i] = marks[(i / 7) % 6];
    }
    IniReader ini;
    ASSERT_TRUE(ini.LoadText(noise.data(), (uint32_t)noise.size()));
    int32_t n = 0;
    ini.GetInt(L"", L"", &n, 10);  // whatever it finds, it stays within the buffer
    for (const IniNode* s = ini.Root()->child.get(); s; s = s->next.get()) {
        ASSERT_LE(s->begin, s->end);
        ASSERT_LE(s->end, noise.size());
        for (const IniNode* k = s->child.get(); k; k = k->next.get()) {
            ASSERT_LE(k->end, noise.size());
            if (k->child) {
                ASSERT_LE(k->child->end, noise.size());
            }
        }
    }
}

TEST(IniReader, DecodesWithInicdAndNeedsItOnlyForDecoding) {
    IniReader ini;
    ASSERT_TRUE(ini.HasDecoder()) << "inicd.dll beside the test";
    std::wstring text = L"\xFEFF[0611_Inf]\r\nMaxSpeed=90\r\n";
    std::vector<uint16_t> units(text.begin(), text.end());
    DMiniScramble(units.data(), units.size());
    const wchar_t* name = L"ini_reader_scrambled.bin";
    WriteBytes(name, units.data(), units.size() * 2);
    ASSERT_EQ(1, ini.Load(name, true));
    EXPECT_EQ(L"90", Value(ini, L"0611_Inf", L"MaxSpeed"));
    // Read without decoding, the same file is noise.
    ASSERT_EQ(1, ini.Load(name, false));
    EXPECT_EQ(L"<none>", Value(ini, L"0611_Inf", L"MaxSpeed"));
    _wremove(name);
}

TEST(IniReader, ShippedDatabaseDecodes) {
    IniReader ini;
    ASSERT_EQ(1, ini.Load(L"DMini", true));
    int32_t n = 0;
    int sections = 0;
    for (const IniNode* s = ini.Root()->child.get(); s; s = s->next.get()) {
        sections++;
    }
    EXPECT_GE(sections, 15);
    ASSERT_TRUE(ini.GetInt(L"0290_Inf", L"MaxTemperatureThreshold", &n, 10));
    EXPECT_EQ(80, n);
    ASSERT_TRUE(ini.GetInt(L"0611_Inf", L"GpuMaxClock", &n, 10));
    EXPECT_GT(n, 600);
}

// The conversion GetInt uses, against the Windows library's wcstol it
// replaces, where the two are meant to agree; the last rows are text the
// library would read but the program never writes.
TEST(IniNumber, ReadsAsTheLibraryOnAsciiText) {
    const struct {
        const wchar_t* text;
        int base;
        int32_t value;
        bool asLibrary;
    } cases[] = {
        {L"42", 10, 42, true},
        {L" \t\r\n\v\f-17", 10, -17, true},
        {L"+8", 10, 8, true},
        {L"12abc", 10, 12, true},
        {L"", 10, 0, true},
        {L"-", 10, 0, true},
        {L"- 5", 10, 0, true},
        {L"0x1F", 16, 31, true},
        {L"1f", 16, 31, true},
        {L"0x", 16, 0, true},
        {L"0xg", 16, 0, true},
        {L"0x1F", 10, 0, true},
        {L"0X1F", 0, 31, true},
        {L"017", 0, 15, true},
        {L"zz", 36, 1295, true},
        {L"2147483647", 10, INT32_MAX, true},
        {L"2147483648", 10, INT32_MAX, true},
        {L"-2147483648", 10, INT32_MIN, true},
        {L"-2147483649", 10, INT32_MIN, true},
        {L"99999999999999999999999", 10, INT32_MAX, true},
        {L"-0x80000001", 16, INT32_MIN, true},
        {L"5", 1, 0, true},
        {L"5", 37, 0, true},
        {L"\x3000"
         L"12",
         10, 0, false},  // ideographic space
        {L"\x00A0"
         L"12",
         10, 0, false},                   // no-break space
        {L"\xFF11\xFF12", 10, 0, false},  // full-width digits
        {L"\x0661", 10, 0, false},        // Arabic-Indic digit
        {L"7\x0661", 10, 7, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value, Utf16ToInt32(c.text, (uint32_t)wcslen(c.text), c.base)) << c.text << " base " << c.base;
        if (c.asLibrary) {
            EXPECT_EQ(c.value, (int32_t)wcstol(c.text, NULL, c.base)) << c.text << " base " << c.base;
        }
    }
    // Only the given units count, and a value is read from its first 63.
    EXPECT_EQ(123, Utf16ToInt32(L"12345", 3, 10));
    IniReader ini;
    ASSERT_TRUE(Parse(&ini, L"[S]\nK=" + std::wstring(62, L'0') + L"12\n"));
    int32_t n = 0;
    ASSERT_TRUE(ini.GetInt(L"S", L"K", &n, 10));
    EXPECT_EQ(1, n);
}

TEST(IniReader, LookupsFoldOnlyAsciiLetters) {
    IniReader ini;
    // A locale's folding makes U+0130 'i' and U+00C4 U+00E4.
    ASSERT_TRUE(Parse(&ini,
                      L"[\x0130NF]\nKEY=1\n[\x00C4"
                      L"b]\nK=2\n[inf]\nkey=3\n"));
    EXPECT_EQ(L"3", Value(ini, L"iNF", L"KEY"));
    EXPECT_EQ(L"2", Value(ini,
                          L"\x00C4"
                          L"B",
                          L"k"));
    EXPECT_EQ(L"<none>", Value(ini,
                               L"\x00E4"
                               L"b",
                               L"K"));
}
