#pragma once
// What every fuzz target shares: a failed property stops the run as a
// finding, and the input is taken apart from the front.

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "Utf16Unit.h"

// libFuzzer keeps the input that made the target abort.
#define FUZZ_CHECK(condition)                                                                \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                         \
        }                                                                                    \
    } while (0)

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Left() const { return size_; }

    // 0 once the input is used up.
    uint8_t Byte() {
        if (size_ == 0) return 0;
        size_--;
        return *data_++;
    }
    uint32_t Word() {
        uint32_t value = 0;
        for (int i = 0; i < 4; i++)
            value = value << 8 | Byte();
        return value;
    }

    // Up to count bytes; fewer when the input ends first.
    std::vector<uint8_t> Bytes(size_t count) {
        if (count > size_) count = size_;
        std::vector<uint8_t> out(data_, data_ + count);
        data_ += count;
        size_ -= count;
        return out;
    }
    std::vector<uint8_t> Rest() { return Bytes(size_); }

    // Little-endian UTF-16 units, as the files hold them; an odd last byte
    // is dropped as the file reader drops it.
    std::vector<Utf16Unit> Units(size_t count) {
        std::vector<uint8_t> bytes = Bytes(count * 2);
        std::vector<Utf16Unit> units(bytes.size() / 2);
        for (size_t i = 0; i < units.size(); i++)
            units[i] = (Utf16Unit)(bytes[2 * i] | bytes[2 * i + 1] << 8);
        return units;
    }
    std::vector<Utf16Unit> RestUnits() { return Units(size_ / 2 + 1); }

private:
    const uint8_t* data_;
    size_t size_;
};

// A terminated copy, for the functions that take C strings.
inline std::vector<Utf16Unit> Terminated(const std::vector<Utf16Unit>& units) {
    std::vector<Utf16Unit> out(units);
    out.push_back(0);
    return out;
}
