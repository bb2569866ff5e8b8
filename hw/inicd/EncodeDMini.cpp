// Build tool, run on the build machine: turns the readable card database
// source (UTF-8) into the shipped "DMini" file: UTF-16LE with a byte-order
// mark and CR LF line ends, scrambled as inicd.dll's DisCode expects.
//
//   EncodeDMini SOURCE OUTPUT

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "DMiniCipher.h"

namespace {

bool ReadFile(const char* path, std::string* bytes) {
    FILE* f = fopen(path, "rb");
    if (!f) {
        return false;
    }
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) {
        bytes->append(chunk, n);
    }
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

// Appends the UTF-16 units of one code point.
void AppendUnits(uint32_t cp, std::vector<uint16_t>* out) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out->push_back((uint16_t)(0xD800 + (cp >> 10)));
        out->push_back((uint16_t)(0xDC00 + (cp & 0x3FF)));
    } else {
        out->push_back((uint16_t)cp);
    }
}

bool Utf8ToUtf16(const std::string& in, std::vector<uint16_t>* out) {
    size_t i = 0;
    if (in.size() >= 3 && (unsigned char)in[0] == 0xEF && (unsigned char)in[1] == 0xBB &&
        (unsigned char)in[2] == 0xBF) {
        i = 3;
    }
    while (i < in.size()) {
        unsigned char c = (unsigned char)in[i];
        uint32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= in.size()) {
            return false;  // truncated sequence
        }
        for (int k = 1; k <= extra; k++) {
            unsigned char t = (unsigned char)in[i + k];
            if ((t & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (t & 0x3F);
        }
        i += extra + 1;
        if (cp == '\n') {
            out->push_back('\r');
        }
        if (cp != '\r') {
            AppendUnits(cp, out);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: EncodeDMini SOURCE OUTPUT\n");
        return 2;
    }
    std::string source;
    if (!ReadFile(argv[1], &source)) {
        fprintf(stderr, "EncodeDMini: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<uint16_t> units;
    units.push_back(0xFEFF);
    if (!Utf8ToUtf16(source, &units)) {
        fprintf(stderr, "EncodeDMini: %s is not valid UTF-8\n", argv[1]);
        return 1;
    }
    DMiniScramble(units.data(), units.size());
    FILE* f = fopen(argv[2], "wb");
    if (!f) {
        fprintf(stderr, "EncodeDMini: cannot write %s\n", argv[2]);
        return 1;
    }
    for (uint16_t u : units) {
        fputc(u & 0xFF, f);
        fputc(u >> 8, f);
    }
    if (fclose(f) != 0) {
        fprintf(stderr, "EncodeDMini: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
