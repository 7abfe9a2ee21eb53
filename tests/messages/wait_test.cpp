#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/messages/messages.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

void DrainQueue() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(MsgWait, TimesOutWhenNothingIsPosted) {
    DrainQueue();
    const auto start = Clock::now();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 80, QS_ALLINPUT), WAIT_TIMEOUT);
    const auto elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 75);
    EXPECT_LT(elapsed, 2000);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
}

TEST(MsgWait, ReturnsAtOnceWhenAMessageWaits) {
    DrainQueue();
    PostMessageA(nullptr, WM_USER, 0, 0);
    const auto start = Clock::now();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_LT(MillisecondsSince(start), 1000);
    DrainQueue();
}

TEST(MsgWait, WakesWhenAnotherThreadPosts) {
    DrainQueue();
    // The poster waits a little (on a condition nobody signals) so that the
    // post lands while this thread sleeps in the wait; the assertions hold
    // either way.
    std::mutex mutex;
    std::condition_variable never;
    std::thread poster([&] {
        std::unique_lock lock(mutex);
        never.wait_for(lock, std::chrono::milliseconds(50));
        PostQuitMessage(0);  // a thread message of the poster itself: must not wake us
        ASSERT_TRUE(PostMessageA(nullptr, WM_USER, 0, 0));
    });
    poster.join();
    // The poster's own thread messages went to its queue, not ours.
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60, QS_ALLINPUT), WAIT_TIMEOUT);

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WaitTestClass";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND w =
        CreateWindowExA(0, "WaitTestClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    std::thread other([&] {
        std::unique_lock lock(mutex);
        never.wait_for(lock, std::chrono::milliseconds(50));
        PostMessageA(w, WM_USER + 7, 0, 0);
    });
    const auto start = Clock::now();
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    EXPECT_LT(MillisecondsSince(start), 5000);
    other.join();
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 7u);
    DestroyWindow(w);
    UnregisterClassA("WaitTestClass", GetModuleHandleA(nullptr));
}

TEST(MsgWait, RefusesKernelHandles) {
    HANDLE h = nullptr;
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &h, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(TickCount, ComparesAcrossTheWrap) {
    EXPECT_EQ(TickDifference(5, 0xFFFFFFF0u), 21);
    EXPECT_EQ(TickDifference(0xFFFFFFF0u, 5), -21);
    EXPECT_TRUE(TickIsLater(5, 0xFFFFFFF0u));
    EXPECT_FALSE(TickIsLater(0xFFFFFFF0u, 5));
    EXPECT_FALSE(TickIsLater(100, 100));

    // Put the count 40 ms before the wrap and wait for a deadline past it.
    SetTickCountOffsetForTesting(0);
    const DWORD plain = GetTickCount();
    SetTickCountOffsetForTesting(0xFFFFFFFFu - plain - 40u);
    const DWORD start = GetTickCount();
    ASSERT_GT(start, 0xFFFFFF00u);
    const DWORD deadline = start + 100;  // wraps to a small number
    EXPECT_LT(deadline, start);
    EXPECT_FALSE(TickIsLater(start, deadline));
    DWORD now = start;
    for (int i = 0; i < 100 && !TickIsLater(now, deadline); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, 0);
        now = GetTickCount();
    }
    SetTickCountOffsetForTesting(0);
    EXPECT_TRUE(TickIsLater(now, deadline));
    EXPECT_LT(now, start);  // the count did wrap
    EXPECT_GE(TickDifference(now, start), 100);
}

TEST(TickCount, SleepZeroYields) {
    const DWORD before = GetTickCount();
    Sleep(0);
    EXPECT_LT(TickDifference(GetTickCount(), before), 1000);
}

}  // namespace
