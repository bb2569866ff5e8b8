#pragma once
// The ADT7473 fan controller, at the fixed 8-bit address 0x5C on cards
// without the monitor chip: the fan run by PWM duty on one of two outputs,
// its speed measured on the first tachometer input. Each operation is one
// fixed sequence of register transactions; the first failing one ends it
// with its status, and a value is delivered only when the whole sequence
// succeeded.

#include <stdint.h>

#include "ChipRegisters.h"

// The PWM output the fan hangs on. Each output has its own duty, maximum
// duty and configuration register; the second's follow the first's by one.
enum Adt7473Pwm : uint8_t { kAdtPwm1 = 0, kAdtPwm2 = 1 };

// The maximum duty "saved" at start-up: none.
const int32_t kAdtNoSavedMaximumDuty = -1;

class Adt7473 {
public:
    explicit Adt7473(ChipRegisters& registers) : registers_(registers) {}
    Adt7473(const Adt7473&) = delete;
    Adt7473& operator=(const Adt7473&) = delete;

    // True when the identification registers name an ADT7473; the chip is
    // then set up (the result of that write is not part of the answer). A
    // failed read means no chip.
    bool Identify();

    // The first tachometer's speed; a stalled fan reads 0.
    NvStatus ReadTachometerRpm(uint32_t* rpm);
    // One pass of the start-up tachometer test: both bytes of the count
    // read, and neither is all ones.
    bool TachometerAnswers();

    // The output's current duty in percent.
    NvStatus ReadDutyPercent(Adt7473Pwm pwm, uint32_t* percent);
    // Manual mode at percent of full duty. With liftMaximum the output's
    // maximum duty is first opened to full.
    NvStatus SetManualDuty(Adt7473Pwm pwm, uint32_t percent, bool liftMaximum);
    // Back to following the temperature, the saved maximum duty restored
    // first.
    NvStatus SetAutomatic(Adt7473Pwm pwm, int32_t savedMaximumDuty);
    // Writes the saved maximum duty back; nothing to do when none was saved.
    NvStatus RestoreMaximumDuty(Adt7473Pwm pwm, int32_t savedMaximumDuty);
    NvStatus IsAutomatic(Adt7473Pwm pwm, bool* automatic);
    // The maximum duty the BIOS left on the output, when it is one start-up
    // saves (bit 7 set); false when unreadable or not to be saved.
    bool ReadBiosMaximumDuty(Adt7473Pwm pwm, uint8_t* duty);

private:
    ChipRegisters& registers_;
};
