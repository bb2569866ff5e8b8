#pragma once

class HardwareObject;

// Sets each card's thermal-chip offset so that its reading agrees with the
// driver's GPU temperature.
void CalibrateThermalOffset(HardwareObject& hw);
