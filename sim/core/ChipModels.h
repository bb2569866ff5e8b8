// Register-level models of the two chips on the card's I2C bus: the
// hardware-monitor chip (temperature, tachometer, its own fan control) and the
// ADT7473 fan controller. Reads with side effects are the bus's; a tool that
// only looks passes sideEffects = false.
#pragma once

#include <stdint.h>

#include "CardState.h"

namespace vcard {

namespace monitor {
const uint8_t kControl = 0x01;  // bit 2 / bit 3: convert channel 1 / 2 (one-shot)
const uint8_t kStatus = 0x02;
const uint8_t kAddress = 0x04;       // echoes the chip's own 8-bit address
const uint8_t kTemperature = 0x14;   // channel 1, latched at conversion, offset applied
const uint8_t kTemperature2 = 0x15;  // channel 2 (board)
const uint8_t kTachHigh = 0x16;      // reading it freezes the low byte
const uint8_t kTachLow = 0x17;
const uint8_t kFraction = 0x1A;  // quarter degrees of channel 1 in bits 7..6
const uint8_t kFraction2 = 0x1B;
const uint8_t kLimit = 0x28;       // over this temperature the fan runs flat out
const uint8_t kFanMode = 0x60;     // bit 0 manual target, bit 1 full speed
const uint8_t kOffset = 0x64;      // signed, added to channel 1
const uint8_t kTargetHigh = 0x74;  // manual target count
const uint8_t kTargetLow = 0x75;
const uint8_t kRevision = 0x92;
const uint8_t kCurveTemperature = 0xA0;  // four points, °C, falling
const uint8_t kCurveSpeed = 0xA4;        // five counts >> 4
const double kTachClock = 1500000.0;     // count = kTachClock / RPM
}  // namespace monitor

namespace adt {
const uint8_t kRemote1 = 0x25;  // temperatures, two's complement
const uint8_t kLocal = 0x26;
const uint8_t kRemote2 = 0x27;
const uint8_t kTach1Low = 0x28;   // four tachometers, low byte then high; reading
                                  // the low byte freezes the high byte
const uint8_t kDuty1 = 0x30;      // current duty of PWM 1..3
const uint8_t kMaxDuty1 = 0x38;   // maximum duty in automatic mode, PWM 1..3
const uint8_t kDeviceId = 0x3D;   // 0x73
const uint8_t kCompanyId = 0x3E;  // 0x41
const uint8_t kRevision = 0x3F;
const uint8_t kConfig1 = 0x40;
const uint8_t kPwmConfig1 = 0x5C;    // PWM 1..3: bits 7..5 behaviour, 111 = manual
const uint8_t kRange1 = 0x5F;        // zone 1..3: bits 7..4 temperature range
const uint8_t kMinDuty1 = 0x64;      // PWM 1..3 minimum duty in automatic mode
const uint8_t kTmin1 = 0x67;         // zone 1..3 start temperature
const uint8_t kTherm1 = 0x6A;        // zone 1..3 full-speed temperature
const uint8_t kPulsesPerRev = 0x7B;  // two bits per tachometer: pulses - 1
const uint8_t kBehaviourManual = 7;
const double kTachClock = 5400000.0;  // count = kTachClock / RPM at 2 pulses per turn
}  // namespace adt

// Monitor chip.
void MonitorPowerUp(GpuState& gpu);
uint8_t MonitorRead(GpuState& gpu, uint8_t reg, bool sideEffects);
void MonitorWrite(GpuState& gpu, uint8_t reg, uint8_t value);
double MonitorTargetRpm(const GpuState& gpu);
uint16_t MonitorTachCount(const GpuState& gpu);
int MonitorLiveTemperature(const GpuState& gpu);  // channel 1 with the offset

// ADT7473.
void AdtPowerUp(GpuState& gpu);
uint8_t AdtRead(GpuState& gpu, uint8_t reg, bool sideEffects);
void AdtWrite(GpuState& gpu, uint8_t reg, uint8_t value);
uint8_t AdtDuty(const GpuState& gpu, int pwm);         // pwm 0..2
uint16_t AdtTachCount(const GpuState& gpu, int tach);  // tach 0..3
bool AdtManual(const GpuState& gpu, int pwm);

// Board temperature the chips' second channels see.
double BoardTemperature(const GpuState& gpu);

}  // namespace vcard
