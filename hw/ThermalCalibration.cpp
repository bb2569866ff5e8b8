#include "ThermalCalibration.h"

void CalibrateThermalOffset(HardwareObject& hw) {
    (void)hw;
}
