// Connecting, listening, accepting, closing and the property rules, on real loopback
// sockets.
#include <gtest/gtest.h>

#include <vector>

#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_testing.h"
#include "sockets/socket_test_support.h"

namespace {

using ConnectListen = WSocketTest;

struct EventLog {
    std::vector<TSocketState> States;
    std::vector<int> Connected;
    std::vector<int> Closed;
    void Attach(TCustomWSocket& Socket) {
        States.push_back(Socket.State());
        Socket.OnChangeState = [this](TCustomWSocket*, TSocketState, TSocketState New) { States.push_back(New); };
        Socket.OnSessionConnected = [this](TCustomWSocket*, std::uint16_t Err) { Connected.push_back(Err); };
        Socket.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t Err) { Closed.push_back(Err); };
    }
};

TEST_F(ConnectListen, Defaults) {
    TCustomWSocket s;
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Proto(), "tcp");
    EXPECT_EQ(s.Addr(), "");
    EXPECT_EQ(s.Port(), "");
    EXPECT_EQ(s.LocalAddr(), "0.0.0.0");
    EXPECT_EQ(s.LocalPort(), "0");
    EXPECT_EQ(s.LingerOnOff, wsLingerOn);
    EXPECT_EQ(s.LingerTimeout, 0);
    EXPECT_EQ(s.KeepAliveOnOff, wsKeepAliveOnSystem);
    EXPECT_EQ(s.KeepAliveTime, 30000);
    EXPECT_EQ(s.KeepAliveInterval, 1000);
    EXPECT_EQ(s.ListenBacklog, 5);
    EXPECT_EQ(s.MultiCastIpTTL, 1);
    EXPECT_EQ(s.FlushTimeout, 60);
    EXPECT_EQ(s.SendFlags(), wsSendNormal);
    EXPECT_EQ(s.ReqVerLow(), 1);
    EXPECT_EQ(s.ReqVerHigh(), 1);
    EXPECT_TRUE(s.ComponentOptions.Empty());
    EXPECT_EQ(s.HSocket(), ws::INVALID_SOCKET);
    EXPECT_NE(s.Handle(), nullptr);
    EXPECT_EQ(s.RemoteSockAddr.sin_family, ws::AF_INET);
}

TEST_F(ConnectListen, ConnectsToAListener) {
    LoopbackServer server;
    TCustomWSocket client;
    EventLog log;
    log.Attach(client);
    client.SetAddr("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return !log.Connected.empty() && server.PeerCount() == 1; }));
    EXPECT_EQ(log.Connected, std::vector<int>{0});
    EXPECT_EQ(log.States, (std::vector<TSocketState>{wsClosed, wsOpened, wsConnecting, wsConnected}));
    EXPECT_EQ(client.PeerAddr(), "127.0.0.1");
    EXPECT_EQ(client.PeerPort(), server.Port());
    EXPECT_EQ(server.Peer()->PeerPort(), client.GetBoundPort());
    ws::testing::FailNextCall("getpeername", ws::WSAENETDOWN);
    EXPECT_EQ(MessageOf([&] { client.PeerPort(); }), "Network is down (#10050 in GetPeerPort)");
    EXPECT_EQ(client.State(), wsConnected);
    EXPECT_EQ(server.Peer()->State(), wsConnected);
    EXPECT_EQ(server.Listener.State(), wsListening);  // accepting leaves it listening
    // The peer's address reached the listener's RemoteSockAddr.
    EXPECT_EQ(server.Listener.RemoteSockAddr.sin_addr.s_addr, WSocket::htonl(ws::INADDR_LOOPBACK));

    client.Close();
    EXPECT_EQ(log.States.back(), wsClosed);
    EXPECT_EQ(log.Closed, std::vector<int>{0});
    client.Close();  // a second close reports nothing
    EXPECT_EQ(log.Closed, std::vector<int>{0});
    ASSERT_TRUE(WaitFor([&] { return server.Peer()->State() == wsClosed; }));
}

TEST_F(ConnectListen, RefusedConnectionReportsThroughSessionConnected) {
    const std::string port = ClosedLoopbackPort();
    TCustomWSocket client;
    EventLog log;
    log.Attach(client);
    client.SetAddr("127.0.0.1");
    client.SetPort(port);
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed && !log.Connected.empty(); }));
    EXPECT_EQ(log.Connected, std::vector<int>{ws::WSAECONNREFUSED});
    EXPECT_EQ(log.States, (std::vector<TSocketState>{wsClosed, wsOpened, wsConnecting, wsConnected, wsClosed}));
    DrainMessages();
    EXPECT_EQ(log.Connected.size(), 1u);
    EXPECT_LE(log.Closed.size(), 1u);

    // A closed socket can be connected again.
    LoopbackServer server;
    client.SetAddr("127.0.0.1");  // a close resets the marks: both are assigned again
    client.SetPort(server.Port());
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return log.Connected.size() == 2; }));
    EXPECT_EQ(log.Connected.back(), 0);
}

TEST_F(ConnectListen, ListenOnAnyAddressAndAFreePort) {
    TCustomWSocket listener;
    EXPECT_EQ(listener.GetBoundPort(), "error");
    listener.SetAddr("0.0.0.0");
    listener.SetPort("0");
    listener.Listen();
    EXPECT_EQ(listener.State(), wsListening);
    ws::sockaddr_in name{};
    int len = sizeof name;
    ASSERT_EQ(listener.GetSockName(name, len), 0);
    EXPECT_NE(WSocket::ntohs(name.sin_port), 0);
    EXPECT_EQ(listener.GetBoundPort(), std::to_string(WSocket::ntohs(name.sin_port)));
    EXPECT_EQ(listener.GetBoundAddr(), "0.0.0.0");
    EXPECT_EQ(listener.PeerAddr(), "error");
}

TEST_F(ConnectListen, PropertyRules) {
    TCustomWSocket s;
    s.SetPort(" 21");
    EXPECT_EQ(s.Port(), "21");
    s.SetLocalAddr("");
    EXPECT_EQ(s.LocalAddr(), "0.0.0.0");
    s.SetAddr("127.0.0.1");
    s.SetPort("0");
    s.Listen();
    s.SetAddr("127.0.0.1");  // the same value: allowed in every state
    s.SetPort("0");
    EXPECT_EQ(MessageOf([&] { s.SetAddr("10.0.0.1"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(MessageOf([&] { s.SetPort("80"); }), "Cannot change Port if not closed");
    EXPECT_EQ(MessageOf([&] { s.SetProto("udp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(MessageOf([&] { s.SetLocalPort("1"); }), "Cannot change LocalPort if not closed");
    EXPECT_EQ(MessageOf([&] { s.SetLocalAddr("1.2.3.4"); }), "Cannot change LocalAddr if not closed");
    EXPECT_EQ(MessageOf([&] { s.Connect(); }), "Connect: Socket already in use");
    s.Close();
    EXPECT_EQ(s.Port(), "0");  // texts survive a close; their marks are reset
}

TEST_F(ConnectListen, ConnectNeedsPortAndAddress) {
    TCustomWSocket s;
    EXPECT_EQ(MessageOf([&] { s.Connect(); }), "Connect: No Port Specified");
    s.SetPort("21");
    EXPECT_EQ(MessageOf([&] { s.Connect(); }), "Connect: No IP Address Specified");
    s.SetAddr("127.0.0.1");
    s.SetProto("");
    EXPECT_EQ(MessageOf([&] { s.Connect(); }), "Connect: No Protocol Specified");
    s.SetProto("nosuchprotocol");
    const std::string text = MessageOf([&] { s.Connect(); });
    EXPECT_EQ(text.rfind("connect: Winsock Resolve Proto: Cannot convert protocol 'nosuchprotocol' - ", 0), 0u)
        << text;
    EXPECT_EQ(s.State(), wsClosed);
}

TEST_F(ConnectListen, FailuresGoToOnErrorWhenAssigned) {
    TCustomWSocket s;
    int errors = 0;
    s.OnError = [&](TCustomWSocket*) { ++errors; };

    EXPECT_EQ(s.Accept(), ws::INVALID_SOCKET);  // not listening
    EXPECT_EQ(s.LastError, ws::WSAEINVAL);
    EXPECT_EQ(s.Send("x", 1), -1);  // not connected
    EXPECT_EQ(s.LastError, ws::WSAENOTCONN);
    s.Dup(ws::INVALID_SOCKET);
    EXPECT_EQ(s.LastError, ws::WSAEINVAL);
    s.ApplyLinger();  // no handle
    EXPECT_EQ(errors, 4);
    s.LingerOnOff = wsLingerNoSet;
    s.ApplyLinger();
    EXPECT_EQ(errors, 4);
    EXPECT_EQ(s.State(), wsClosed);
}

TEST_F(ConnectListen, FailureTextsWithoutOnError) {
    TCustomWSocket s;
    EXPECT_EQ(MessageOf([&] { s.Send("x", 1); }), "Socket is not connected (#10057 in Send)");
    EXPECT_EQ(MessageOf([&] { s.Accept(); }), "Invalid argument (#10022 in not a listening socket)");
    EXPECT_EQ(MessageOf([&] { s.ApplyLinger(); }), "Cannot set linger option at this time");
    EXPECT_EQ(MessageOf([&] { s.SetSendFlags(static_cast<TSocketSendFlags>(7)); }), "Invalid SendFlags");
    s.SetSendFlags(wsSendUrgent);
    EXPECT_EQ(s.SendFlags(), wsSendUrgent);
}

TEST_F(ConnectListen, AbortDiscardsQueuedDataAndReportsTheClose) {
    LoopbackServer server([](TCustomWSocket& Peer) { Peer.Pause(); });  // never reads
    TCustomWSocket client;
    EventLog log;
    ConnectLoopback(client, server);
    log.Attach(client);
    const std::string data = PatternBytes(8 << 20);
    client.Send(data.data(), static_cast<int>(data.size()));
    EXPECT_FALSE(client.AllSent());
    EXPECT_GT(client.BufferedByteCount(), 0);
    client.Abort();
    EXPECT_EQ(client.BufferedByteCount(), 0);
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(log.Closed, std::vector<int>{0});
}

TEST_F(ConnectListen, ServicePortsAndProtocols) {
    TCustomWSocket s;
    s.SetAddr("127.0.0.1");
    s.SetPort("0");
    s.SetProto("TCP");
    s.Listen();
    EXPECT_EQ(s.State(), wsListening);
    s.Close();
    s.SetAddr("127.0.0.1");
    s.SetPort("no-such-service");
    const std::string text = MessageOf([&] { s.Listen(); });
    EXPECT_EQ(text.rfind("Listen: Winsock Resolve Port: Cannot convert port 'no-such-service' - ", 0), 0u) << text;
}

TEST_F(ConnectListen, DatagramSocketsConnectAtOnce) {
    TCustomWSocket receiver;
    receiver.SetProto("udp");
    receiver.SetAddr("127.0.0.1");
    receiver.SetPort("0");
    EventLog receiverLog;
    receiverLog.Attach(receiver);
    receiver.Listen();
    EXPECT_EQ(receiverLog.States, (std::vector<TSocketState>{wsClosed, wsBound, wsListening, wsConnected}));

    std::string got;
    receiver.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buf[100];
        ws::sockaddr_in from{};
        int fromLen = sizeof from;
        const int n = Sender->ReceiveFrom(buf, sizeof buf, from, fromLen);
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
    };

    TCustomWSocket sender;
    EventLog senderLog;
    senderLog.Attach(sender);
    sender.SetProto("udp");
    sender.SetAddr("127.0.0.1");
    sender.SetPort(receiver.GetBoundPort());
    sender.Connect();
    EXPECT_EQ(sender.State(), wsConnected);
    EXPECT_EQ(senderLog.Connected, std::vector<int>{0});
    EXPECT_NE(sender.LocalPort(), "0");  // bound, the chosen port read back
    EXPECT_EQ(sender.SendStr("datagram"), 8);
    ASSERT_TRUE(WaitFor([&] { return got == "datagram"; }));
}

TEST_F(ConnectListen, LocalBindAndCustomKeepAlive) {
    LoopbackServer server;
    TCustomWSocket client;
    client.SetLocalAddr("127.0.0.1");  // a local address makes Connect bind first
    client.KeepAliveOnOff = wsKeepAliveOnCustom;
    client.ComponentOptions.Include(wsoTcpNoDelay);
    ConnectLoopback(client, server);
    EXPECT_NE(client.LocalPort(), "0");
    EXPECT_EQ(client.LocalPort(), client.GetBoundPort());
    EXPECT_EQ(server.Peer()->PeerPort(), client.LocalPort());
    // The custom keep-alive values went through ws2_32.dll.
    EXPECT_EQ(ws::testing::ModuleReferenceCount("ws2_32.dll"), 1);
}

TEST_F(ConnectListen, ShutdownForSendingEndsThePeersSession) {
    LoopbackServer server;
    TCustomWSocket client;
    ConnectLoopback(client, server);
    std::vector<int> peerClosed;
    server.Peer()->OnSessionClosed = [&](TCustomWSocket*, std::uint16_t Err) { peerClosed.push_back(Err); };
    client.Shutdown(ws::SD_SEND);
    ASSERT_TRUE(WaitFor([&] { return !peerClosed.empty(); }));
    EXPECT_EQ(peerClosed, std::vector<int>{0});
    EXPECT_EQ(server.Peer()->State(), wsClosed);
}

TEST_F(ConnectListen, DupReplacesAnOpenConnection) {
    TCustomWSocket listener;
    listener.SetAddr("127.0.0.1");
    listener.SetPort("0");
    listener.Listen();
    ws::SOCKET accepted = ws::INVALID_SOCKET;
    listener.OnSessionAvailable = [&](TCustomWSocket* Sender, std::uint16_t) { accepted = Sender->Accept(); };
    LoopbackServer other;
    TCustomWSocket taker;
    ConnectLoopback(taker, other);  // taker holds a connection of its own
    TCustomWSocket client;
    client.SetAddr("127.0.0.1");
    client.SetPort(listener.GetBoundPort());
    client.Connect();
    ASSERT_TRUE(WaitFor([&] { return accepted != ws::INVALID_SOCKET && client.State() == wsConnected; }));
    EXPECT_EQ(listener.LastAcceptedHandle(), accepted);

    EventLog log;
    log.Attach(taker);
    taker.Dup(accepted);
    EXPECT_EQ(log.States, (std::vector<TSocketState>{wsConnected, wsClosed, wsConnected}));
    EXPECT_EQ(taker.HSocket(), accepted);
    EXPECT_GT(taker.SndBufSize(), 0);
    EXPECT_GT(taker.RcvBufSize(), 0);
    std::string got;
    taker.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) { got += Sender->ReceiveStr(); };
    client.SendStr("through the taken-over handle");
    ASSERT_TRUE(WaitFor([&] { return got == "through the taken-over handle"; }));
    ASSERT_TRUE(WaitFor([&] { return other.Peer()->State() == wsClosed; }));  // its old connection ended
}

// A listen that failed after opening its handle (the port is taken) leaves the handle to
// the next operation: taking over another handle closes it instead of losing it.
TEST_F(ConnectListen, DupClosesAHandleLeftByAFailedListen) {
    TCustomWSocket holder;
    holder.SetAddr("127.0.0.1");
    holder.SetPort("0");
    holder.Listen();
    TCustomWSocket s;
    int errors = 0;
    s.OnError = [&](TCustomWSocket*) { ++errors; };
    s.SetAddr("127.0.0.1");
    s.SetPort(holder.GetBoundPort());
    s.Listen();
    ASSERT_EQ(errors, 1);
    EXPECT_EQ(s.LastError, ws::WSAEADDRINUSE);
    EXPECT_EQ(s.State(), wsClosed);
    const int open = ws::testing::OpenSocketCount();  // the left handle included
    const ws::SOCKET fresh = WSocket::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    ASSERT_NE(fresh, ws::INVALID_SOCKET);
    s.Dup(fresh);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(s.HSocket(), fresh);
    EXPECT_EQ(ws::testing::OpenSocketCount(), open);
}

}  // namespace
