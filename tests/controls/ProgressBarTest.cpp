// ProgressBar: block arithmetic, painting, and destruction from a worker
// thread while the interface thread pumps.
#include <gtest/gtest.h>

#include "ControlTestHarness.h"
#include "ProgressBar.h"
#include "ProgressBlocks.h"

TEST(ProgressBlocks, CountAndFill) {
    EXPECT_EQ(16, ProgressBlockCount(80, 3, 2));
    EXPECT_EQ(17, ProgressBlockCount(81, 3, 2));
    EXPECT_EQ(1, ProgressBlockCount(1, 3, 2));
    EXPECT_EQ(0, ProgressBlockCount(0, 3, 2));
    struct Case {
        int value, minimum, maximum, filled;
    } cases[] = {
        {50, 0, 100, 8}, {0, 0, 100, 0},    {100, 0, 100, 16}, {99, 0, 100, 15},
        {-5, 0, 100, 0}, {150, 0, 100, 16}, {7, 7, 7, 0},      {30, 20, 40, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.filled, ProgressFilledBlocks(c.value, c.minimum, c.maximum, 16))
            << c.value << " in " << c.minimum << ".." << c.maximum;
    // Shares that are whole in blocks but not in binary fractions: a double
    // share truncated a block short in the i686 build.
    for (int blocks = 1; blocks <= 40; blocks++)
        for (int range = 1; range <= 40; range++)
            for (int value = 0; value <= range; value++) {
                if (value * blocks % range == 0) {
                    ASSERT_EQ(value * blocks / range, ProgressFilledBlocks(value, 0, range, blocks))
                        << value << "/" << range << " of " << blocks;
                }
            }
}

namespace {

class ProgressBarTest : public ::testing::Test {
protected:
    int GreenPixels() { return CountClientPixels(bar->Window(), bar->segmentColour); }

    RecordingParent parent;
    ProgressBar* bar = new ProgressBar;
};

struct WorkerPlan {
    ProgressBar* bar;
    HWND window;
};

DWORD WINAPI FinishFromWorker(void* param) {
    auto* plan = static_cast<WorkerPlan*>(param);
    for (int value = 0; value <= 100; value += 10) {
        plan->bar->SetValue(value);
        Sleep(5);
    }
    delete plan->bar;  // blocks until the interface thread has destroyed the window
    // The window is gone by the time the delete returns.
    return IsWindow(plan->window) ? 1 : 0;
}

}  // namespace

TEST_F(ProgressBarTest, PaintsBlocksForTheValue) {
    ASSERT_EQ(1, bar->Create(71, 325, 124, 80, 10, parent.Window()));
    Pump();
    EXPECT_EQ(0, GreenPixels()) << "the minimum fills nothing";
    bar->SetValue(50);
    Pump();
    EXPECT_EQ(8 * 3 * 10, GreenPixels());
    EXPECT_EQ(bar->segmentColour, ClientPixel(bar->Window(), 35 + 1, 5));     // block 7
    EXPECT_EQ(bar->backgroundColour, ClientPixel(bar->Window(), 40 + 1, 5));  // block 8
    EXPECT_EQ(bar->backgroundColour, ClientPixel(bar->Window(), 3, 5));       // a gap
    bar->SetValue(100);
    Pump();
    EXPECT_EQ(16 * 3 * 10, GreenPixels());
    delete bar;
}

TEST_F(ProgressBarTest, ZeroWidthBarIsValidatedWithoutDrawing) {
    ASSERT_EQ(1, bar->Create(71, 325, 124, 0, 10, parent.Window()));
    InvalidateRect(bar->Window(), nullptr, FALSE);
    Pump();
    EXPECT_FALSE(NeedsPaint(bar->Window()));
    delete bar;
}

TEST_F(ProgressBarTest, WorkerDeletesTheBarWhileTheInterfaceThreadPumps) {
    ASSERT_EQ(1, bar->Create(71, 325, 124, 80, 10, parent.Window()));
    WorkerPlan plan = {bar, bar->Window()};
    HANDLE worker = CreateThread(nullptr, 0, &FinishFromWorker, &plan, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 5000, QS_ALLINPUT) != WAIT_OBJECT_0) {
        ASSERT_LT(GetTickCount() - start, 5000u) << "the worker never finished";
        Pump();
    }
    DWORD exitCode = 99;
    GetExitCodeThread(worker, &exitCode);
    CloseHandle(worker);
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(IsWindow(plan.window));
}
