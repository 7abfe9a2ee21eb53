// Moving bytes: the send queue against a slow reader, reading everything before the
// close is reported, handlers that send from OnSendData, and broken connections.
#include <gtest/gtest.h>

#include <vector>

#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"
#include "platform/messages/message_queue.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_testing.h"
#include "sockets/socket_test_support.h"

namespace {

using DataTransfer = WSocketTest;

// Reads everything waiting into Into, in pieces of at most Piece bytes.
TDataAvailable ReadAllInto(std::string& Into, int Piece = 65536, bool Once = false) {
    return [&Into, Piece, Once](TCustomWSocket* Sender, std::uint16_t) {
        std::vector<char> buf(static_cast<std::size_t>(Piece));
        for (;;) {
            const int n = Sender->Receive(buf.data(), Piece);
            if (n <= 0) break;
            Into.append(buf.data(), static_cast<std::size_t>(n));
            if (Once) break;
        }
    };
}

TEST_F(DataTransfer, LargeSendReachesALateReaderIntactAndOnce) {
    std::string received;
    LoopbackServer server([&](TCustomWSocket& Peer) {
        Peer.OnDataAvailable = ReadAllInto(received);
    }, [](TCustomWSocket& Peer) { Peer.Pause(); });  // the reader starts late
    TCustomWSocket client;
    int dataSent = 0;
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) { ++dataSent; };
    ConnectLoopback(client, server);
    ASSERT_TRUE(WaitFor([&] { return dataSent == 1; }));  // the socket is writable after the connect
    DrainMessages();
    dataSent = 0;
    // Small system buffers, so that most of the data has to wait in the queue.
    const std::int32_t small = 64 * 1024;
    ASSERT_EQ(WSocket::setsockopt(client.HSocket(), ws::SOL_SOCKET, ws::SO_SNDBUF,
                                  reinterpret_cast<const char*>(&small), sizeof small), 0);
    ASSERT_EQ(WSocket::setsockopt(server.Peer()->HSocket(), ws::SOL_SOCKET, ws::SO_RCVBUF,
                                  reinterpret_cast<const char*>(&small), sizeof small), 0);

    const std::string data = PatternBytes(4 << 20);
    EXPECT_EQ(client.Send(data.data(), static_cast<int>(data.size())), static_cast<int>(data.size()));
    // The system took only part of it: the rest waits in the queue for FD_WRITE.
    EXPECT_FALSE(client.AllSent());
    EXPECT_GT(client.BufferedByteCount(), 2 << 20);
    EXPECT_EQ(dataSent, 0);

    server.Peer()->Resume();
    ASSERT_TRUE(WaitFor([&] { return received.size() >= data.size() && dataSent >= 1; }, 60000))
        << received.size() << " " << dataSent << " " << client.BufferedByteCount();
    DrainMessages();
    EXPECT_EQ(received.size(), data.size());
    EXPECT_TRUE(received == data);
    EXPECT_EQ(dataSent, 1);
    EXPECT_TRUE(client.AllSent());
    EXPECT_EQ(client.BufferedByteCount(), 0);
}

// A peer that sends and closes at once: every byte is read before OnSessionClosed.
class SendAndClose : public DataTransfer, public ::testing::WithParamInterface<bool> {};

TEST_P(SendAndClose, AllBytesReadBeforeTheCloseIsReported) {
    const bool oneReadPerNotification = GetParam();
    const std::string data = PatternBytes(10 * 1024, 7);
    LoopbackServer server([](TCustomWSocket& Peer) { Peer.LingerOnOff = wsLingerOff; },
                          [&](TCustomWSocket& Peer) {
                              Peer.Send(data.data(), static_cast<int>(data.size()));
                              Peer.Close();
                          });
    TCustomWSocket client;
    if (oneReadPerNotification) client.ComponentOptions.Include(wsoNoReceiveLoop);
    std::string received;
    std::vector<std::size_t> closedAt;
    std::vector<int> closeErrors;
    client.OnDataAvailable = ReadAllInto(received, 100, true);  // small pieces: data is left waiting
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) {
        closedAt.push_back(received.size());
        closeErrors.push_back(Err);
    };
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return !closedAt.empty(); }));
    DrainMessages();
    EXPECT_EQ(closedAt, std::vector<std::size_t>{data.size()});
    EXPECT_EQ(closeErrors, std::vector<int>{0});
    EXPECT_TRUE(received == data);
    EXPECT_EQ(client.State(), wsClosed);
}

INSTANTIATE_TEST_SUITE_P(ReadModes, SendAndClose, ::testing::Bool());

TEST_F(DataTransfer, WithoutAReaderIncomingDataIsDiscarded) {
    const std::string data = PatternBytes(50000, 3);
    LoopbackServer server;  // its peer has no OnDataAvailable
    TCustomWSocket client;
    ConnectLoopback(client, server);
    client.Send(data.data(), static_cast<int>(data.size()));
    ASSERT_TRUE(WaitFor([&] { return client.AllSent(); }));
    DrainMessages();
    ws::u_long waiting = 1;
    ASSERT_EQ(WSocket::ioctlsocket(server.Peer()->HSocket(), ws::FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 0u);
    EXPECT_EQ(server.Peer()->State(), wsConnected);
}

// OnSendData fires once the sent bytes are out of the queue; a handler that sends more
// appends to the queue and the running flush sends it: no byte goes out twice.
TEST_F(DataTransfer, HandlerSendingFromOnSendDataNeverRepeatsBytes) {
    std::string received;
    LoopbackServer server([&](TCustomWSocket& Peer) { Peer.OnDataAvailable = ReadAllInto(received); });
    TCustomWSocket client;
    ConnectLoopback(client, server);

    const std::string first = PatternBytes(100000, 11);
    std::string expected = first;
    int extraSends = 0;
    std::int64_t reported = 0;
    client.OnSendData = [&](TCustomWSocket* Sender, std::int32_t BytesSent) {
        reported += BytesSent;
        if (extraSends < 5) {
            const std::string marker = "<marker " + std::to_string(extraSends++) + ">";
            expected += marker;
            Sender->SendStr(marker);
            Sender->Flush();  // a flush from inside the event does nothing
        }
    };
    client.Send(first.data(), static_cast<int>(first.size()));
    ASSERT_TRUE(WaitFor([&] { return received.size() >= expected.size() && client.AllSent(); }));
    DrainMessages();
    EXPECT_EQ(extraSends, 5);
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);
    EXPECT_EQ(reported, static_cast<std::int64_t>(expected.size()));
}

// A send that finds the connection broken closes the socket and reports it once; no
// FD_WRITE is posted for the dead handle and no OnDataSent follows.
TEST_F(DataTransfer, BrokenConnectionOnSendClosesOnceWithoutDataSent) {
    LoopbackServer server;
    TCustomWSocket client;
    ConnectLoopback(client, server);
    DrainMessages();
    std::vector<int> closed;
    int dataSent = 0;
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { closed.push_back(Err); };
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) { ++dataSent; };
    const HWND window = client.Handle();

    ws::testing::FailNextCall("send", ws::WSAECONNRESET);
    EXPECT_EQ(client.SendStr("hello"), 5);
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(closed, std::vector<int>{ws::WSAECONNRESET});

    MSG message{};
    while (PeekMessageA(&message, window, WM_ASYNCSELECT, WM_ASYNCSELECT, PM_REMOVE)) {
        EXPECT_NE(message.wParam, ws::INVALID_SOCKET) << "FD_WRITE posted for the closed socket";
        DispatchMessageA(&message);
    }
    DrainMessages();
    EXPECT_EQ(dataSent, 0);
    EXPECT_EQ(closed.size(), 1u);
}

// Notifications for a handle that is no longer the socket's are dropped, also the ones
// that name the invalid handle of a closed socket.
TEST_F(DataTransfer, StaleNotificationsAreDropped) {
    LoopbackServer server;
    TCustomWSocket client;
    int dataSent = 0;
    int dataAvailable = 0;
    int closed = 0;
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) { ++dataSent; };
    client.OnDataAvailable = [&](TCustomWSocket*, std::uint16_t) { ++dataAvailable; };
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { ++closed; };

    PostMessageA(client.Handle(), WM_ASYNCSELECT, ws::INVALID_SOCKET, ws::WSAMAKESELECTREPLY(ws::FD_WRITE, 0));
    DrainMessages();
    EXPECT_EQ(dataSent, 0);

    ConnectLoopback(client, server);
    const ws::SOCKET first = client.HSocket();
    client.Close();
    closed = 0;
    ConnectLoopback(client, server);
    ASSERT_NE(client.HSocket(), first);
    DrainMessages();
    dataSent = 0;
    PostMessageA(client.Handle(), WM_ASYNCSELECT, first,
                 ws::WSAMAKESELECTREPLY(ws::FD_READ | ws::FD_WRITE | ws::FD_CLOSE, 0));
    DrainMessages();
    EXPECT_EQ(dataSent, 0);
    EXPECT_EQ(dataAvailable, 0);
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(client.State(), wsConnected);

    // While paused every notification is dropped.
    client.Pause();
    PostMessageA(client.Handle(), WM_ASYNCSELECT, client.HSocket(), ws::WSAMAKESELECTREPLY(ws::FD_WRITE, 0));
    DrainMessages();
    EXPECT_EQ(dataSent, 0);
    client.Resume();  // re-examines the socket: it is writable
    ASSERT_TRUE(WaitFor([&] { return dataSent == 1; }));
}

TEST_F(DataTransfer, ZeroByteSendStillLeadsToDataSent) {
    LoopbackServer server;
    TCustomWSocket client;
    ConnectLoopback(client, server);
    DrainMessages();
    int dataSent = 0;
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) { ++dataSent; };
    EXPECT_EQ(client.Send(nullptr, 0), 0);
    EXPECT_EQ(client.SendStr(""), 0);
    ASSERT_TRUE(WaitFor([&] { return dataSent == 1; }));
}

TEST_F(DataTransfer, ReceiveStrReadsWhatWaits) {
    std::string got;
    LoopbackServer server([&](TCustomWSocket& Peer) {
        Peer.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) { got += Sender->ReceiveStr(); };
    });
    TCustomWSocket client;
    ConnectLoopback(client, server);
    client.SendStr("abc");
    client.SendStr("defgh");
    ASSERT_TRUE(WaitFor([&] { return got.size() == 8; }));
    EXPECT_EQ(got, "abcdefgh");
    EXPECT_EQ(server.Peer()->ReadCount(), 8);
    EXPECT_EQ(server.Peer()->ReceiveStr(), "");  // nothing waits: the read fails
}

}  // namespace
