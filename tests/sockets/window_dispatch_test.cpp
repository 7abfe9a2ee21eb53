// The hidden window: finding the socket from its window, background exceptions,
// handlers that close or free their own socket, and destructors that never throw.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ftp/socket_window.h"
#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"
#include "platform/messages/hidden_windows.h"
#include "platform/messages/message_queue.h"
#include "platform/winsock/winsock_testing.h"
#include "sockets/socket_test_support.h"

namespace {

using WindowDispatch = WSocketTest;

// A socket that tells when it is destroyed.
class TracedSocket : public TCustomWSocket {
public:
    explicit TracedSocket(bool& Destroyed) : FDestroyed(Destroyed) { FDestroyed = false; }
    ~TracedSocket() override { FDestroyed = true; }

private:
    bool& FDestroyed;
};

TEST_F(WindowDispatch, WindowWordHoldsTheWholeObjectAddress) {
    TCustomWSocket socket;
    const LONG_PTR word = GetWindowLongA(socket.Handle(), 0);
    EXPECT_EQ(word, reinterpret_cast<LONG_PTR>(static_cast<TSocketComponent*>(&socket)));
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), SocketWindowClassName, &wc));
    EXPECT_GE(wc.cbWndExtra, static_cast<int>(sizeof(void*)));
    EXPECT_EQ(GetWindowThreadProcessId(socket.Handle(), nullptr), socket.ThreadId());

    // Messages reach this object through the word: the test exception comes back to it.
    std::vector<std::string> caught;
    socket.OnBgException = [&](TCustomWSocket* Sender, const std::exception& E, bool& CanClose) {
        EXPECT_EQ(Sender, &socket);
        caught.emplace_back(E.what());
        CanClose = false;
    };
    PostMessageA(socket.Handle(), WM_TRIGGER_EXCEPTION, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !caught.empty(); }));
    EXPECT_EQ(caught, std::vector<std::string>{"Test exception in WSocket"});
    // A window of the class whose word holds nothing falls back to the default handling.
    HWND bare = CreateWindowExA(0, SocketWindowClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    PostMessageA(bare, WM_TRIGGER_EXCEPTION, 0, 0);
    DrainMessages();
    EXPECT_EQ(caught.size(), 1u);
    DestroyWindow(bare);
}

TEST_F(WindowDispatch, BackgroundExceptionAbortsUnlessTheHandlerObjects) {
    LoopbackServer server;
    TCustomWSocket client;
    ConnectLoopback(client, server);
    std::vector<int> closed;
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { closed.push_back(Err); };
    client.OnDataSent = [](TCustomWSocket*, std::uint16_t) { throw std::runtime_error("handler failed"); };
    client.SendStr("x");  // OnDataSent follows through a message, and throws there
    ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
    EXPECT_EQ(closed, std::vector<int>{0});

    // The handler of OnBgException may keep the socket, and may itself fail.
    TCustomWSocket other;
    ConnectLoopback(other, server);
    int seen = 0;
    other.OnBgException = [&](TCustomWSocket*, const std::exception&, bool& CanClose) {
        ++seen;
        CanClose = false;
        throw std::runtime_error("and this one too");
    };
    PostMessageA(other.Handle(), WM_TRIGGER_EXCEPTION, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return seen == 1; }));
    DrainMessages();
    EXPECT_EQ(other.State(), wsConnected);
}

TEST_F(WindowDispatch, HandlerClosingItsOwnSocketReportsTheCloseOnce) {
    const std::string data = PatternBytes(5000, 5);
    LoopbackServer server([](TCustomWSocket& Peer) { Peer.LingerOnOff = wsLingerOff; },
                          [&](TCustomWSocket& Peer) {
                              Peer.Send(data.data(), static_cast<int>(data.size()));
                              Peer.Close();
                          });
    TCustomWSocket client;
    std::vector<int> closed;
    int reads = 0;
    client.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buf[10];
        Sender->Receive(buf, sizeof buf);
        if (++reads == 3) Sender->Close();
    };
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { closed.push_back(Err); };
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return !closed.empty(); }));
    DrainMessages();
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(closed, std::vector<int>{0});
    EXPECT_EQ(client.State(), wsClosed);
}

TEST_F(WindowDispatch, ReleaseFromAHandlerFreesAfterTheDispatch) {
    LoopbackServer server;
    bool destroyed = false;
    auto* client = new TracedSocket(destroyed);
    bool aliveAfterNestedPump = false;
    client->OnSessionConnected = [&](TCustomWSocket* Sender, std::uint16_t) {
        Sender->Release();
        // A nested pump dispatches the release: the object must outlive this handler.
        Sender->MultiThreaded = true;
        Sender->PumpSocketMessages();
        Sender->ProcessMessage();
        aliveAfterNestedPump = !destroyed;
        Sender->Close();  // still usable
    };
    client->SetAddr("127.0.0.1");
    client->SetPort(server.Port());
    client->Connect();
    ASSERT_TRUE(WaitFor([&] { return destroyed; }));
    EXPECT_TRUE(aliveAfterNestedPump);
}

TEST_F(WindowDispatch, ReleaseSeenByAPumpOutsideAnyDispatchWaitsForTheQueue) {
    bool destroyed = false;
    auto* socket = new TracedSocket(destroyed);
    socket->Release();
    socket->MultiThreaded = true;
    socket->PumpSocketMessages();  // the release is handed back to the queue, not run here
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(socket->State(), wsClosed);
    ASSERT_TRUE(WaitFor([&] { return destroyed; }));
}

TEST_F(WindowDispatch, DelayedCloseClosesFromTheQueue) {
    LoopbackServer server;
    TCustomWSocket client;
    ConnectLoopback(client, server);
    client.CloseDelayed();
    EXPECT_EQ(client.State(), wsConnected);
    ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
}

TEST_F(WindowDispatch, DestructorsNeverThrow) {
    LoopbackServer server;
    auto* client = new TCustomWSocket;
    ConnectLoopback(*client, server);
    client->OnChangeState = [](TCustomWSocket*, TSocketState, TSocketState) { throw std::runtime_error("state"); };
    client->OnSessionClosed = [](TCustomWSocket*, std::uint16_t) { throw std::runtime_error("closed"); };
    const ws::SOCKET handle = client->HSocket();
    ws::testing::FailNextCall("closesocket", ws::WSAENETDOWN);
    EXPECT_NO_THROW(delete client);
    // The injected failure left the handle open in Windows Sockets: close it here.
    EXPECT_EQ(WSocket::closesocket(handle), 0);
}

TEST_F(WindowDispatch, DestroyedSocketGetsNoLateMessages) {
    LoopbackServer server;
    auto* client = new TCustomWSocket;
    ConnectLoopback(*client, server);
    const HWND window = client->Handle();
    const ws::SOCKET handle = client->HSocket();
    server.Peer()->SendStr("late data");
    delete client;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_ASYNCSELECT, handle, ws::WSAMAKESELECTREPLY(ws::FD_READ, 0)));
    DrainMessages();
}

TEST_F(WindowDispatch, ThreadDetachAndAttach) {
    LoopbackServer server;
    TCustomWSocket client;
    ConnectLoopback(client, server);
    client.ThreadDetach();
    EXPECT_EQ(client.Handle(), nullptr);
    client.ThreadAttach();
    ASSERT_NE(client.Handle(), nullptr);
    std::string got;
    client.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) { got += Sender->ReceiveStr(); };
    server.Peer()->SendStr("after attach");
    ASSERT_TRUE(WaitFor([&] { return got == "after attach"; }));
    try {
        client.ThreadAttach();
        FAIL() << "attached twice";
    } catch (const ESocketException& E) {
        EXPECT_STREQ(E.what(), "Cannot attach when not detached");
    }
}

// The window class is unregistered with the last socket: a socket made on another
// thread at that moment still gets its window.
TEST_F(WindowDispatch, SocketsMadeOnSeveralThreadsAtOnceAllGetTheirWindow) {
    std::atomic<int> missing{0};
    auto makeSockets = [&missing] {
        for (int i = 0; i < 3000; ++i) {
            try {
                TCustomWSocket socket;
                if (!IsWindow(socket.Handle())) ++missing;
            } catch (const ESocketException&) {
                ++missing;
            }
        }
    };
    std::thread first(makeSockets);
    std::thread second(makeSockets);
    first.join();
    second.join();
    EXPECT_EQ(missing.load(), 0);
}

TEST_F(WindowDispatch, UtilityWindowDeliversToItsMethod) {
    std::vector<UINT> seen;
    HWND window = AllocateMessageWindow([&](TMessage& Msg) {
        seen.push_back(Msg.Msg);
        Msg.Result = 7;
    });
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_USER + 1, 0, 0);
    PostMessageA(window, WM_USER + 3, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
    DeallocateMessageWindow(window);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
