// The synchronous wait: it ends with 0 when its flag is set by a handler, and with 12001
// on time-out (also when the deadline lies past the wrap of the tick count), when the
// application ends, and on WM_QUIT.
#include <gtest/gtest.h>

#include "ftp/socket_window.h"
#include "ftp/sync_wsocket.h"
#include "ftp/wsocket.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"
#include "sockets/socket_test_support.h"

namespace {

class SyncWait : public WSocketTest {
protected:
    void TearDown() override {
        SetTickCountOffsetForTesting(0);
        SetApplicationTerminatedQuery(nullptr);
        MSG message{};
        while (PeekMessageA(&message, reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)), WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        WSocketTest::TearDown();
    }
};

bool gTerminated = false;

// Sets Flag when its message is dispatched.
struct FlagWindow {
    bool* Flag = nullptr;
    HWND Window = AllocateMessageWindow([this](TMessage&) { *Flag = true; });
    ~FlagWindow() { DeallocateMessageWindow(Window); }
};

TEST_F(SyncWait, EndsWhenAHandlerSetsTheFlag) {
    TWSocket s;
    bool done = true;
    FlagWindow setter;
    setter.Flag = &done;
    const int result = s.Synchronize([&] { PostMessageA(setter.Window, WM_USER + 7, 0, 0); }, done);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(done);

    // With a real socket: wait for its connection.
    LoopbackServer server;
    bool connected = false;
    s.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t) { connected = true; };
    s.SetAddr("127.0.0.1");
    s.SetPort(server.Port());
    s.SyncTimeout = 10000;
    s.Connect();
    EXPECT_EQ(s.WaitUntilReady(connected), 0);
    EXPECT_EQ(s.State(), wsConnected);
}

TEST_F(SyncWait, TimeOut) {
    TWSocket s;
    s.SyncTimeout = 120;
    bool done = false;
    const DWORD start = GetTickCount();
    EXPECT_EQ(s.WaitUntilReady(done), WSocketSyncTimedOut);
    EXPECT_GE(TickDifference(GetTickCount(), start), 120);
    EXPECT_FALSE(done);
}

// A deadline past the wrap of the 32-bit tick count neither ends the wait at once nor
// lets it run forever.
TEST_F(SyncWait, TimeOutJustBeforeTheTickCountWraps) {
    SetTickCountOffsetForTesting(0);
    const DWORD raw = GetTickCount();
    SetTickCountOffsetForTesting(0xFFFFFFFFu - 40u - raw);
    TWSocket s;
    s.SyncTimeout = 150;
    bool done = false;
    const DWORD start = GetTickCount();
    ASSERT_GT(start, 0xFFFFFF00u);
    EXPECT_EQ(s.WaitUntilReady(done), WSocketSyncTimedOut);
    const DWORD end = GetTickCount();
    EXPECT_LT(end, 0x10000000u);  // the count wrapped during the wait
    EXPECT_GE(TickDifference(end, start), 150);
    EXPECT_LT(TickDifference(end, start), 5000);
}

TEST_F(SyncWait, ApplicationTermination) {
    TWSocket s;
    bool done = false;
    gTerminated = true;
    SetApplicationTerminatedQuery([] { return gTerminated; });
    EXPECT_EQ(s.WaitUntilReady(done), WSocketSyncTimedOut);

    // Termination that comes while waiting.
    gTerminated = false;
    FlagWindow terminator;
    terminator.Flag = &gTerminated;
    PostMessageA(terminator.Window, WM_USER + 7, 0, 0);
    EXPECT_EQ(s.WaitUntilReady(done), WSocketSyncTimedOut);
    EXPECT_FALSE(done);
}

TEST_F(SyncWait, QuitMessage) {
    TWSocket s;
    bool done = false;
    PostQuitMessage(0);
    EXPECT_EQ(s.WaitUntilReady(done), WSocketSyncTimedOut);
    // The quit stays for the application's own loop.
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);

    // With its own message pump the socket takes the quit and remembers it.
    TWSocket pumped;
    pumped.MultiThreaded = true;
    PostQuitMessage(0);
    pumped.PumpSocketMessages();
    EXPECT_TRUE(pumped.Terminated());
    EXPECT_EQ(pumped.WaitUntilReady(done), WSocketSyncTimedOut);
}

}  // namespace
