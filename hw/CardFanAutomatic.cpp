#include "CardFanAutomatic.h"

#include "CardSettings.h"
#include "ReferenceClocks.h"

NvStatus SetCardFanAutomatic(HardwareObject& hw, const CardSettings& cards, uint8_t gpu) {
    uint32_t thresholds[4] = {cards.Short(gpu, kMaxTemperatureThreshold), cards.Short(gpu, kNormalTemperatureThreshold),
                              0, 0};
    const uint32_t silent = cards.Fan(gpu, kFanSilent);
    uint32_t speeds[5] = {cards.Fan(gpu, kFanMaximum), cards.Fan(gpu, kFanNormal), silent, silent, silent};
    return hw.SetFanAuto(gpu, thresholds, speeds);
}

void HandCardsBack(HardwareObject& hw, const CardSettings& cards) {
    for (uint8_t gpu = 0; gpu < hw.GpuCount() && gpu < kMaxGpus; gpu++) {
        if (hw.FanFixedByThisRun(gpu) && SetCardFanAutomatic(hw, cards, gpu) != kNvOk)
            hw.SetFanSpeed(gpu, cards.Fan(gpu, kFanMaximum));
        LevelClocks shown;
        if (hw.ClocksWrittenByThisRun(gpu)) ApplyReferenceClocks(hw, cards, gpu, &shown);
    }
}
