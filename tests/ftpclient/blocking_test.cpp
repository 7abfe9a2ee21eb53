// The blocking client: the program's four calls against the loopback server, refusals
// that must read as failures, a server that stalls (the wait gives up after Timeout
// seconds without progress), a request that ended as the time ran out, the message loop
// that keeps running during a wait, and a second call made from inside a wait.
#include <gtest/gtest.h>

#include <fstream>

#include "ftp/ftp_blocking_client.h"
#include "ftp/socket_window.h"
#include "ftpclient/ftp_test_support.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"

namespace {

class FtpBlocking : public FtpClientTest {
protected:
    void TearDown() override {
        SetApplicationMessagePump(nullptr);
        SetApplicationTerminatedQuery(nullptr);
        FtpClientTest::TearDown();
    }
};

int gPumpCalls = 0;
void CountingPump() {
    ++gPumpCalls;
    PumpWaitingMessages();
}

bool gTerminating = false;
bool TerminatingQuery() { return gTerminating; }

// A client that lets the test push the progress trigger.
class ProgressClient : public TFtpClient {
public:
    using TFtpClient::TriggerProgress;
};

}  // namespace

TEST_F(FtpBlocking, TheProgramsFourCallsStoreTheFileIntact) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    const std::string bytes = RandomBytes(64000, 5);
    const auto local = server.Root().parent_path() / "preview.jpg";
    std::ofstream(local, std::ios::binary) << bytes;

    TFtpClient client;
    EXPECT_EQ(client.Timeout, 15);
    PointAtLoopback(client, server.Port(), "alice", "s3cret");
    EXPECT_TRUE(client.Connect());
    EXPECT_TRUE(client.SetTransferType());
    client.HostFileName = "picture.jpg";
    client.SetLocalFileName(local.string());
    EXPECT_TRUE(client.Put());
    EXPECT_TRUE(client.Quit());
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(ReadAll(server.Root() / "picture.jpg") == bytes);
}

TEST_F(FtpBlocking, ARefusedLoginFailsWithItsCodeAndTheLaterCallsFail) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TFtpClient client;
    PointAtLoopback(client, server.Port(), "alice", "wrong");
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(client.RequestResult, 530);
    EXPECT_EQ(client.StatusCode, 530);
    // Not logged in: TYPE and PORT are refused by the server, nothing is stored.
    EXPECT_FALSE(client.SetTransferType());
    client.HostFileName = "never.jpg";
    client.SetLocalFileName((server.Root().parent_path() / "absent").string());
    EXPECT_FALSE(client.Put());
    EXPECT_TRUE(client.Quit());
    EXPECT_FALSE(std::filesystem::exists(server.Root() / "never.jpg"));
}

TEST_F(FtpBlocking, RefusalsBeforeAnyCommandAreFailures) {
    // An empty user name stops the connect request between its steps; an unconnected
    // client cannot put. Both used to read as successes.
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TFtpClient client;
    std::vector<std::string> errors;
    client.OnError = [&](TCustomFtpCli*, std::string& Msg) { errors.push_back(Msg); };
    PointAtLoopback(client, server.Port());
    EXPECT_FALSE(client.Connect());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "UserName empty");
    EXPECT_TRUE(client.Quit());

    TFtpClient idle;
    idle.SetLocalFileName("whatever");
    EXPECT_FALSE(idle.Put());
    EXPECT_FALSE(idle.SetTransferType());
    // A client that never connected completes QUIT at once, sending nothing.
    const DWORD start = GetTickCount();
    idle.Quit();
    EXPECT_LT(TickDifference(GetTickCount(), start), 1000);
    EXPECT_EQ(idle.LastResponse, "200 not connected");
    EXPECT_EQ(idle.ClientState, fcsReady);
}

TEST_F(FtpBlocking, AStalledServerEndsTheWaitAfterTheTimeout) {
    ScriptedServer server;  // accepts, never greets
    TFtpClient client;
    client.Timeout = 1;
    PointAtLoopback(client, server.Port(), "bob", "pw");
    const DWORD start = GetTickCount();
    EXPECT_FALSE(client.Connect());
    const std::int32_t elapsed = TickDifference(GetTickCount(), start);
    EXPECT_GE(elapsed, 900);
    EXPECT_LT(elapsed, 5000);
    EXPECT_EQ(client.ErrorMessage, "426 Timeout");
    EXPECT_EQ(client.StatusCode, 426);
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_FALSE(client.Connected());
}

TEST_F(FtpBlocking, ProgressPushesTheDeadlineBack) {
    ProgressClient client;
    client.Timeout = 15;
    client.WaitDeadline = GetTickCount();
    ASSERT_TRUE(client.TriggerProgress());
    EXPECT_GE(TickDifference(client.WaitDeadline, GetTickCount()), 14000);
    // Without a limit, progress leaves the deadline alone.
    client.Timeout = 0;
    client.WaitDeadline = 12345;
    ASSERT_TRUE(client.TriggerProgress());
    EXPECT_EQ(client.WaitDeadline, 12345u);
    // A progress handler that asks to stop aborts.
    client.OnProgress = [](TCustomFtpCli*, std::int64_t, bool& Abort) { Abort = true; };
    EXPECT_FALSE(client.TriggerProgress());
}

TEST_F(FtpBlocking, TheWaitRunsTheApplicationsMessageLoop) {
    gPumpCalls = 0;
    SetApplicationMessagePump(&CountingPump);
    int delivered = 0;
    HWND window = AllocateMessageWindow([&](TMessage& Msg) {
        if (Msg.Msg == WM_USER + 77) ++delivered;
    });
    ASSERT_NE(window, nullptr);

    ScriptedServer server;
    TFtpClient client;
    client.Timeout = 1;
    PointAtLoopback(client, server.Port(), "bob");
    PostMessageA(window, WM_USER + 77, 0, 0);
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(delivered, 1);
    EXPECT_GT(gPumpCalls, 0);
    DeallocateMessageWindow(window);
}

TEST_F(FtpBlocking, AnEndingApplicationEndsTheWaitAtOnce) {
    ScriptedServer server;
    gTerminating = true;
    SetApplicationTerminatedQuery(&TerminatingQuery);
    TFtpClient client;  // the default 15 s
    PointAtLoopback(client, server.Port(), "bob");
    const DWORD start = GetTickCount();
    EXPECT_FALSE(client.Connect());
    EXPECT_LT(TickDifference(GetTickCount(), start), 3000);
    EXPECT_EQ(client.ErrorMessage, "426 Timeout");
    gTerminating = false;
}

TEST_F(FtpBlocking, ARequestThatEndedWhileTheTimeRanOutSucceeds) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TFtpClient client;
    PointAtLoopback(client, server.Port(), "alice", "s3cret");
    ASSERT_TRUE(client.Connect());
    DrainMessages();
    // The reply is handled by a pump that only runs once the time is up.
    client.Timeout = 1;
    client.MultiThreaded = true;
    client.MessagePump = [](TCustomFtpCli*) {
        Sleep(1300);
        PumpWaitingMessages();
    };
    const DWORD start = GetTickCount();
    EXPECT_TRUE(client.SetTransferType()) << client.ErrorMessage;
    EXPECT_GE(TickDifference(GetTickCount(), start), 1000);
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_TRUE(client.Connected());
    client.MultiThreaded = false;
    EXPECT_TRUE(client.Quit());
}

TEST_F(FtpBlocking, ASecondCallFromAHandlerDuringAWaitIsRefusedAtOnce) {
    ScriptedServer server;  // accepts, never greets
    TFtpClient client;
    client.Timeout = 1;
    std::vector<std::string> errors;
    client.OnError = [&](TCustomFtpCli*, std::string& Msg) { errors.push_back(Msg); };
    PointAtLoopback(client, server.Port(), "bob", "pw");
    bool innerRan = false;
    bool innerResult = true;
    std::int32_t innerTook = -1;
    HWND window = AllocateMessageWindow([&](TMessage& Msg) {
        if (Msg.Msg != WM_USER + 78) return;
        // A menu or button handler that the wait lets run.
        const DWORD start = GetTickCount();
        innerResult = client.Put();
        innerTook = TickDifference(GetTickCount(), start);
        innerRan = true;
    });
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_USER + 78, 0, 0);
    EXPECT_FALSE(client.Connect());
    ASSERT_TRUE(innerRan);
    EXPECT_FALSE(innerResult);
    EXPECT_LT(innerTook, 500);
    EXPECT_EQ(errors, (std::vector<std::string>{"A blocking call is already waiting on this client"}));
    // The first wait went on to its own end.
    EXPECT_EQ(client.ErrorMessage, "426 Timeout");
    DeallocateMessageWindow(window);
}
