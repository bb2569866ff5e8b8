// The I2C transport, the register access the chips are given over it, the
// GPU temperature from the driver, the monitor chip's temperature registers
// and the device key.

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "ChipRegisters.h"
#include "HardwareObject.h"
#include "MonitorChip.h"

namespace {

const uint8_t kI2cDdcPort = 2;
const uint32_t kI2cSpeed = 30;

}  // namespace

NvStatus HardwareObject::I2cTransfer(bool write, uint8_t gpu, const uint8_t* reg, uint32_t regCount, uint8_t* data,
                                     uint32_t dataCount, bool detectedAddress) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    uint8_t registerBytes[4];
    if (regCount > sizeof(registerBytes)) {
        return kNvError;
    }
    memcpy(registerBytes, reg, regCount);
    DWORD wait = WaitForSingleObject(i2cMutex_.Get(), kI2cMutexWaitMs);
    if (wait != WAIT_OBJECT_0) {
        // An abandoned mutex is ours now; hand it back or every other thread
        // would wait on it forever.
        if (wait == WAIT_ABANDONED) {
            ReleaseMutex(i2cMutex_.Get());
        }
        return kStatusI2cBusBusy;
    }
    NvI2cInfo info;
    memset(&info, 0, sizeof(info));
    info.version = kNvI2cInfoVersion;
    info.displayMask = 0;
    info.isDdcPort = kI2cDdcPort;
    info.deviceAddress = detectedAddress ? monitorChipAddress_[gpu] : kAdt7473Address;
    info.registerBytes = registerBytes;
    info.registerCount = regCount;
    info.dataBytes = data;
    info.dataCount = dataCount;
    info.speed = kI2cSpeed;
    NvStatus status = write ? nvapi_.I2cWrite(GpuHandle(gpu), &info) : nvapi_.I2cRead(GpuHandle(gpu), &info);
    ReleaseMutex(i2cMutex_.Get());
    return status;
}

NvStatus HardwareObject::I2cRead(uint8_t gpu, const uint8_t* reg, uint32_t regCount, uint8_t* data, uint32_t dataCount,
                                 bool detectedAddress) {
    return I2cTransfer(false, gpu, reg, regCount, data, dataCount, detectedAddress);
}

NvStatus HardwareObject::I2cWrite(uint8_t gpu, const uint8_t* reg, uint32_t regCount, const uint8_t* data,
                                  uint32_t dataCount, bool detectedAddress) {
    // The driver's record is not const-qualified; it only reads the bytes.
    uint8_t bytes[4];
    if (dataCount > sizeof(bytes)) {
        return kNvError;
    }
    memcpy(bytes, data, dataCount);
    return I2cTransfer(true, gpu, reg, regCount, bytes, dataCount, detectedAddress);
}

NvStatus HardwareObject::ReadRegister(uint8_t gpu, uint8_t reg, uint8_t* value, bool detectedAddress) {
    uint8_t byte = 0;
    NvStatus status = I2cRead(gpu, &reg, 1, &byte, 1, detectedAddress);
    if (status == kNvOk) {
        *value = byte;
    }
    return status;
}

NvStatus HardwareObject::WriteRegister(uint8_t gpu, uint8_t reg, uint8_t value, bool detectedAddress) {
    return I2cWrite(gpu, &reg, 1, &value, 1, detectedAddress);
}

NvStatus I2cChipRegisters::Read(uint8_t reg, uint8_t* value) {
    return hardware_->ReadRegister(gpu_, reg, value, detectedAddress_);
}

NvStatus I2cChipRegisters::Write(uint8_t reg, uint8_t value) {
    return hardware_->WriteRegister(gpu_, reg, value, detectedAddress_);
}

I2cChipRegisters HardwareObject::MonitorChipRegisters(uint8_t gpu) {
    return I2cChipRegisters(this, gpu, true);
}

I2cChipRegisters HardwareObject::Adt7473Registers(uint8_t gpu) {
    return I2cChipRegisters(this, gpu, false);
}

NvStatus HardwareObject::ReadGpuTemperature(uint8_t gpu, int32_t* celsius) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    NvThermalSettings record;
    memset(&record, 0, sizeof(record));
    record.version = kNvThermalSettingsVersion;
    NvStatus status = nvapi_.GetThermalSettings(GpuHandle(gpu), kNvAllSensors, &record);
    if (status != kNvOk) {
        return status;
    }
    uint32_t count = record.count > (uint32_t)kNvMaxThermalSensors ? kNvMaxThermalSensors : record.count;
    for (uint32_t i = 0; i < count; i++) {
        if (record.sensor[i].target == kNvThermalTargetGpu) {
            *celsius = record.sensor[i].currentTemp;
            return kNvOk;
        }
    }
    return kNvError;
}

NvStatus HardwareObject::ReadBoardTemperature(uint8_t gpu, uint8_t* celsius) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    I2cChipRegisters registers = MonitorChipRegisters(gpu);
    return MonitorChip(registers).ReadTemperature(celsius);
}

NvStatus HardwareObject::ReadTemperatureOffset(uint8_t gpu, uint8_t* offset) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    I2cChipRegisters registers = MonitorChipRegisters(gpu);
    return MonitorChip(registers).ReadOffset(offset);
}

NvStatus HardwareObject::WriteTemperatureOffset(uint8_t gpu, uint8_t offset) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    I2cChipRegisters registers = MonitorChipRegisters(gpu);
    return MonitorChip(registers).WriteOffset(offset);
}

NvStatus HardwareObject::SetMonitorLimit(uint8_t gpu, uint8_t value) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    I2cChipRegisters registers = MonitorChipRegisters(gpu);
    return MonitorChip(registers).WriteLimit(value);
}

NvStatus HardwareObject::PrepareMonitorChip(uint8_t gpu, uint32_t* out) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    *out = 0;
    I2cChipRegisters registers = MonitorChipRegisters(gpu);
    return MonitorChip(registers).Prepare();
}

NvStatus HardwareObject::ReadDeviceKey(uint8_t gpu, wchar_t key[9]) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    uint32_t deviceId = 0, subSystemId = 0, revisionId = 0, extDeviceId = 0;
    NvStatus status = nvapi_.GetPciIdentifiers(GpuHandle(gpu), &deviceId, &subSystemId, &revisionId, &extDeviceId);
    if (status != kNvOk) {
        return status;
    }
    // The word holds the device id above the vendor id: its first four hex
    // digits are the device id.
    wchar_t text[16];
    _snwprintf(text, 16, L"%08x", deviceId);
    text[4] = 0;
    wcscpy(key, text);
    return kNvOk;
}
