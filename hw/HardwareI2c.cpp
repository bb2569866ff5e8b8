// The I2C transport and the monitor chip's temperature registers.

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "HardwareObject.h"

namespace {

const uint8_t kI2cDdcPort = 2;
const uint32_t kI2cSpeed = 30;

// Monitor chip registers.
const uint8_t kRegControl = 0x01;
const uint8_t kRegPrepareStatus = 0x02;
const uint8_t kRegTemperature = 0x14;
const uint8_t kRegTemperatureAfter = 0x1A;  // read after 0x14 to complete the conversion cycle
const uint8_t kRegLimit = 0x28;
const uint8_t kRegOffset = 0x64;
const uint8_t kRegPrepareTail = 0x92;
const uint8_t kControlStartConversion = 0x04;

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
    DWORD wait = WaitForSingleObject(i2cMutex_, kI2cMutexWaitMs);
    if (wait != WAIT_OBJECT_0) {
        // An abandoned mutex is ours now; hand it back or every other thread
        // would wait on it forever.
        if (wait == WAIT_ABANDONED) {
            ReleaseMutex(i2cMutex_);
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
    ReleaseMutex(i2cMutex_);
    return status;
}

NvStatus HardwareObject::I2cRead(uint8_t gpu, const uint8_t* reg, uint32_t regCount, uint8_t* data,
                                 uint32_t dataCount, bool detectedAddress) {
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
    uint8_t control = 0;
    NvStatus status = ReadRegister(gpu, kRegControl, &control, true);
    if (status != kNvOk) {
        return status;
    }
    status = WriteRegister(gpu, kRegControl, control | kControlStartConversion, true);
    if (status != kNvOk) {
        return status;
    }
    uint8_t temperature = 0;
    status = ReadRegister(gpu, kRegTemperature, &temperature, true);
    if (status != kNvOk) {
        return status;
    }
    uint8_t ignored = 0;
    status = ReadRegister(gpu, kRegTemperatureAfter, &ignored, true);
    if (status != kNvOk) {
        return status;
    }
    *celsius = temperature;
    return kNvOk;
}

NvStatus HardwareObject::ReadTemperatureOffset(uint8_t gpu, uint8_t* offset) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    return ReadRegister(gpu, kRegOffset, offset, true);
}

NvStatus HardwareObject::WriteTemperatureOffset(uint8_t gpu, uint8_t offset) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    return WriteRegister(gpu, kRegOffset, offset, true);
}

NvStatus HardwareObject::SetMonitorLimit(uint8_t gpu, uint8_t value) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    return WriteRegister(gpu, kRegLimit, value, true);
}

NvStatus HardwareObject::PrepareMonitorChip(uint8_t gpu, uint32_t* out) {
    if (!HasMonitorChip(gpu)) {
        return kStatusNoSuchDevice;
    }
    *out = 0;
    uint8_t value = 0;
    NvStatus status = ReadRegister(gpu, kRegPrepareStatus, &value, true);
    if (status != kNvOk) {
        return status;
    }
    if (value & 0x01) {
        status = WriteRegister(gpu, kRegPrepareStatus, value & 0x7F, true);
        if (status != kNvOk) {
            return status;
        }
    }
    return ReadRegister(gpu, kRegPrepareTail, &value, true);
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
