#pragma once
// What the code of a chip on a card's I2C bus is given of the bus: one-byte
// reads and writes of that chip's registers. The hardware object binds it to
// a GPU and an address and carries every call as one transaction of its own
// transport, under the I2C mutex; a test may bind it to a register file.
//
// A read-modify-write made of these calls is not atomic: another thread's
// transaction may fall between its read and its write.

#include <stdint.h>

#include "NvapiTypes.h"

class ChipRegisters {
public:
    // *value is written only when the read succeeds.
    virtual NvStatus Read(uint8_t reg, uint8_t* value) = 0;
    virtual NvStatus Write(uint8_t reg, uint8_t value) = 0;

protected:
    ~ChipRegisters() {}
};

class HardwareObject;

// One chip on one GPU's bus, reached through HardwareObject::ReadRegister and
// WriteRegister: the GPU's detected monitor chip address, or the fixed 0x5C.
class I2cChipRegisters final : public ChipRegisters {
public:
    I2cChipRegisters(HardwareObject* hardware, uint8_t gpu, bool detectedAddress)
        : hardware_(hardware), gpu_(gpu), detectedAddress_(detectedAddress) {}

    NvStatus Read(uint8_t reg, uint8_t* value) override;
    NvStatus Write(uint8_t reg, uint8_t value) override;

private:
    HardwareObject* hardware_;
    uint8_t gpu_;
    bool detectedAddress_;
};
