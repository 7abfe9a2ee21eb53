// The two-socket pattern of an active-mode data connection, closing twice, a reset met
// while sending, and the resolver and listen rules around them.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "ftp/name_resolution.h"
#include "ftp/sync_wsocket.h"
#include "ftp/winsock_binding.h"
#include "platform/winsock/winsock_testing.h"
#include "sockets/socket_test_support.h"

namespace {

using ConnPatterns = WSocketTest;

TDataAvailable AppendTo(std::string& Into) {
    return [&Into](TCustomWSocket* Sender, std::uint16_t) {
        char buf[4096];
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) Into.append(buf, static_cast<std::size_t>(n));
    };
}

// The data socket listens on a free port, the server connects to it, and the same
// socket accepts, closes its listening handle and takes the accepted one over.
TEST_F(ConnPatterns, ActiveModeDataConnection) {
    TWSocket data;
    std::vector<std::string> events;
    std::string dataReceived;
    data.OnSessionAvailable = [&](TCustomWSocket* Sender, std::uint16_t Err) {
        events.push_back("available " + std::to_string(Err));
        const ws::SOCKET accepted = Sender->Accept();
        ASSERT_NE(accepted, ws::INVALID_SOCKET);
        Sender->Close();
        Sender->Dup(accepted);
        events.push_back(Sender->State() == wsConnected ? "dup connected" : "dup failed");
    };
    data.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { events.push_back("closed " + std::to_string(Err)); };
    data.OnDataSent = [&](TCustomWSocket*, std::uint16_t Err) { events.push_back("sent " + std::to_string(Err)); };
    data.OnDataAvailable = AppendTo(dataReceived);
    data.SetProto("tcp");
    data.SetAddr("0.0.0.0");
    data.SetPort("0");
    data.LingerOnOff = wsLingerOn;
    data.LingerTimeout = 10;
    data.Listen();
    ASSERT_EQ(data.State(), wsListening);
    ws::sockaddr_in bound{};
    int len = sizeof bound;
    ASSERT_EQ(data.GetSockName(bound, len), 0);
    const int port = WSocket::ntohs(bound.sin_port);
    ASSERT_NE(port, 0);
    EXPECT_EQ(data.GetBoundPort(), std::to_string(port));

    // The server end.
    TWSocket server;
    std::string serverReceived;
    server.OnDataAvailable = AppendTo(serverReceived);
    server.SetAddr("127.0.0.1");
    server.SetPort(std::to_string(port));
    server.Connect();
    ASSERT_TRUE(WaitFor([&] { return server.State() == wsConnected && data.State() == wsConnected; }));
    // The listening handle is gone: one handle on each end.
    EXPECT_EQ(ws::testing::OpenSocketCount(), 2);
    ASSERT_TRUE(WaitFor([&] { return events.size() >= 4; }));
    // Closing the listener reports its close; the taken-over handle then reports that it
    // can send.
    EXPECT_EQ(events, (std::vector<std::string>{"available 0", "closed 0", "dup connected", "sent 0"}));
    EXPECT_EQ(data.PeerAddr(), "127.0.0.1");
    EXPECT_EQ(data.PeerPort(), server.GetBoundPort());

    const std::string upload = PatternBytes(100000);
    EXPECT_EQ(data.Send(upload.data(), static_cast<int>(upload.size())), 100000);
    server.SendStr("226 ok");
    ASSERT_TRUE(WaitFor([&] { return serverReceived.size() == upload.size() && dataReceived == "226 ok"; }));
    EXPECT_EQ(serverReceived, upload);
    ASSERT_TRUE(WaitFor([&] { return events.back() == "sent 0"; }));

    // The end of a store: shut down for sending, the server sees the end, both close.
    std::vector<int> serverClosed;
    server.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { serverClosed.push_back(Err); };
    data.Shutdown(ws::SD_SEND);
    ASSERT_TRUE(WaitFor([&] { return !serverClosed.empty(); }));
    data.Close();
    EXPECT_EQ(data.State(), wsClosed);
}

TEST_F(ConnPatterns, DoubleCloseFiresOneSessionClosed) {
    LoopbackServer server;
    TWSocket client;
    std::vector<int> closed;
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { closed.push_back(Err); };
    client.Close();  // never opened: nothing happens
    EXPECT_TRUE(closed.empty());
    ConnectLoopback(client, server);
    client.Close();
    client.Close();
    EXPECT_EQ(closed, std::vector<int>{0});

    // The peer closes first; a close of our own afterwards adds nothing.
    TWSocket other;
    std::vector<int> otherClosed;
    other.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { otherClosed.push_back(Err); };
    ConnectLoopback(other, server);
    server.Peer(1)->Close();
    ASSERT_TRUE(WaitFor([&] { return other.State() == wsClosed; }));
    other.Close();
    other.Abort();
    DrainMessages();
    EXPECT_EQ(otherClosed.size(), 1u);
}

// Flush sends the whole queue before it returns; WaitForClose returns once the peer has
// closed, with what the peer sent before delivered.
TEST_F(ConnPatterns, FlushAndWaitForClose) {
    std::string serverReceived;
    LoopbackServer server([&](TCustomWSocket& Peer) { Peer.OnDataAvailable = AppendTo(serverReceived); });
    TWSocket client;
    std::string clientReceived;
    std::vector<int> closed;
    client.OnDataAvailable = AppendTo(clientReceived);
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { closed.push_back(Err); };
    ConnectLoopback(client, server);
    const std::string block = PatternBytes(4 << 20, 7);
    client.Send(block.data(), static_cast<int>(block.size()));
    EXPECT_FALSE(client.AllSent());
    client.Flush();
    EXPECT_TRUE(client.AllSent());
    EXPECT_EQ(client.BufferedByteCount(), 0);
    ASSERT_TRUE(WaitFor([&] { return serverReceived.size() == block.size(); }));
    EXPECT_EQ(serverReceived, block);

    server.Peer()->SendStr("221 bye");
    server.Peer()->Shutdown(ws::SD_SEND);
    client.WaitForClose();
    EXPECT_EQ(clientReceived, "221 bye");
    ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
    EXPECT_EQ(closed, std::vector<int>{0});
}

// A reset met by a send: one OnSessionClosed with 10054 and the socket closed, whatever
// follows; through RaiseSocketError the text names the operation.
class ResetSocket : public TWSocket {
public:
    void FailWith(int Code, const std::string& Where) {
        WSocket::WSASetLastError(Code);
        RaiseSocketError(Where);
    }
};

TEST_F(ConnPatterns, InjectedResetOnSend) {
    LoopbackServer server;
    ResetSocket client;
    std::vector<int> closed;
    int dataSent = 0;
    client.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { closed.push_back(Err); };
    client.OnDataSent = [&](TCustomWSocket*, std::uint16_t) { ++dataSent; };
    ConnectLoopback(client, server);
    DrainMessages();
    dataSent = 0;
    ws::testing::FailNextCall("send", ws::WSAECONNRESET);
    client.SendStr("RETR x\r\n");
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(closed, std::vector<int>{ws::WSAECONNRESET});
    DrainMessages();
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_EQ(dataSent, 0);

    closed.clear();
    ResetSocket second;
    second.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { closed.push_back(Err); };
    ConnectLoopback(second, server);
    EXPECT_EQ(MessageOf([&] { second.FailWith(ws::WSAECONNRESET, "Send"); }),
              "Connection reset by peer (#10054 in Send)");
    EXPECT_EQ(second.State(), wsClosed);
    EXPECT_EQ(second.HSocket(), ws::INVALID_SOCKET);
    EXPECT_EQ(closed, std::vector<int>{ws::WSAECONNRESET});
    EXPECT_EQ(second.LastError, ws::WSAECONNRESET);
}

// Digit runs too long for any integer saturate; ports beyond 65535 are refused.
TEST_F(ConnPatterns, LongNumbersInAddressesAndPorts) {
    EXPECT_FALSE(IsDottedIp("1.2.3.99999999999999999999999"));
    EXPECT_FALSE(IsDottedIp("99999999999999999999999.1.2.3"));
    EXPECT_TRUE(IsDottedIp(" 10.0.0.1 "));
    EXPECT_EQ(ParseLeadingNumber("  99999999999999999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ParseLeadingNumber(" 42abc"), 42);
    EXPECT_EQ(ResolvePort("65535", "tcp"), 65535);
    EXPECT_EQ(ResolvePort("0", "tcp"), 0);
    for (const std::string port : {"65536", "70000", "4294967317", "99999999999999999999999"}) {
        SCOPED_TRACE(port);
        EXPECT_EQ(MessageOf([&] { ResolvePort(port, "tcp"); }), "Winsock Resolve Port: Invalid Port.");
    }
    TWSocket s;
    s.SetAddr("127.0.0.1");
    s.SetPort("65557");  // would wrap to 21
    EXPECT_EQ(MessageOf([&] { s.Connect(); }), "connect: Winsock Resolve Port: Invalid Port.");
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(MessageOf([&] { s.Listen(); }), "Listen: Winsock Resolve Port: Invalid Port.");
}

// Listening again replaces the handle the socket held.
TEST_F(ConnPatterns, ListenAgainClosesTheHandleItHeld) {
    TWSocket s;
    s.SetAddr("127.0.0.1");
    s.SetPort("0");
    s.Listen();
    const ws::SOCKET first = s.HSocket();
    EXPECT_EQ(ws::testing::OpenSocketCount(), 1);
    s.Listen();
    EXPECT_NE(s.HSocket(), first);
    EXPECT_EQ(s.State(), wsListening);
    EXPECT_EQ(ws::testing::OpenSocketCount(), 1);
}

}  // namespace
