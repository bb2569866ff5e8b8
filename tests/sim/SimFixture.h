// Every virtual-card test starts from a freshly powered card of a given
// scenario, in its own state file, with the clock frozen so that the thermal
// and fan models move only when a test advances them.
#pragma once

#include <gtest/gtest.h>

#include "vcard/VirtualCardControl.h"

namespace simtest {

class CardTest : public ::testing::Test {
protected:
    static void UseState(const wchar_t* file) { ASSERT_TRUE(VcardUseState(file)); }

    void PowerUp(const char* scenario) {
        ASSERT_TRUE(VcardSetTimeMode(kVcardTimeManual)) << VcardLastError();
        ASSERT_TRUE(VcardReset(scenario)) << VcardLastError();
    }

    VcardCardInfo Info(int gpu = 0) {
        VcardCardInfo info = {};
        EXPECT_TRUE(VcardGetCardInfo(gpu, &info));
        return info;
    }
};

}  // namespace simtest
