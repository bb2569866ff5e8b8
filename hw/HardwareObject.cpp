#include "HardwareObject.h"

HardwareObject::HardwareObject() : guiThreadId_(0), notifyWindow_(NULL), gpuCount_(0) {}

HardwareObject::~HardwareObject() {}

int HardwareObject::InitializeHardware() {
    // The driver binding is not built yet: report the driver as unusable.
    return 1;
}
