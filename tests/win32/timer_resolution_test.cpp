// The timer resolution around the message loop: raised to 1 ms when the loop starts, released on
// every way out of it. timeBeginPeriod changes nothing under Wine, so the calls are watched.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include "host/win32/window.h"
#include "support/import_patch.h"

namespace {

constexpr UINT kAnyPeriod = 0;  // none of the calls below asks for this

// What the watched calls saw.
struct CPeriodCalls {
    int begun = 0;
    int ended = 0;
    UINT begunPeriod = kAnyPeriod;
    UINT endedPeriod = kAnyPeriod;
    MMRESULT beginAnswer = TIMERR_NOERROR;
    // Seen from inside the loop.
    int begunInLoop = -1;
    int endedInLoop = -1;
};
CPeriodCalls g_calls;

MMRESULT WINAPI WatchBegin(UINT period) {
    ++g_calls.begun;
    g_calls.begunPeriod = period;
    return g_calls.beginAnswer;
}

MMRESULT WINAPI WatchEnd(UINT period) {
    ++g_calls.ended;
    g_calls.endedPeriod = period;
    return TIMERR_NOERROR;
}

BOOL WINAPI FailingGetMessage(LPMSG, HWND, UINT, UINT) { return -1; }

// Looks at the calls from inside the running loop, then ends it.
void CALLBACK LookAndQuit(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_calls.begunInLoop = g_calls.begun;
    g_calls.endedInLoop = g_calls.ended;
    PostQuitMessage(0);
}

class TimerResolution : public ::testing::Test {
protected:
    void SetUp() override { g_calls = {}; }

    CImportPatch m_begin{"winmm.dll", "timeBeginPeriod", reinterpret_cast<const void*>(WatchBegin)};
    CImportPatch m_end{"winmm.dll", "timeEndPeriod", reinterpret_cast<const void*>(WatchEnd)};
};

}  // namespace

TEST_F(TimerResolution, RaisedToOneMillisecondWhileTheLoopRunsAndReleasedAtTheQuitMessage) {
    ASSERT_TRUE(m_begin.Applied() && m_end.Applied());
    SetTimer(nullptr, 0, 10, LookAndQuit);
    EXPECT_EQ(0, RunMessageLoop());
    EXPECT_EQ(1, g_calls.begunInLoop);
    EXPECT_EQ(0, g_calls.endedInLoop);
    EXPECT_EQ(1u, g_calls.begunPeriod);
    EXPECT_EQ(1, g_calls.ended);
    EXPECT_EQ(1u, g_calls.endedPeriod);
}

TEST_F(TimerResolution, ReleasedWhenTheMessageQueueCannotBeRead) {
    ASSERT_TRUE(m_begin.Applied() && m_end.Applied());
    CImportPatch failing("user32.dll", "GetMessageA",
                         reinterpret_cast<const void*>(FailingGetMessage));
    ASSERT_TRUE(failing.Applied());
    EXPECT_NE(0, RunMessageLoop());
    EXPECT_EQ(1, g_calls.begun);
    EXPECT_EQ(1, g_calls.ended);
}

TEST_F(TimerResolution, RefusedResolutionIsNotReleased) {
    ASSERT_TRUE(m_begin.Applied() && m_end.Applied());
    g_calls.beginAnswer = TIMERR_NOCANDO;
    PostQuitMessage(0);
    EXPECT_EQ(0, RunMessageLoop());
    EXPECT_EQ(1, g_calls.begun);
    EXPECT_EQ(0, g_calls.ended);  // each timeEndPeriod must match a timeBeginPeriod that worked
}
