// Select notifications over real loopback connections: their order, the
// re-arming rules, FD_CLOSE after the remaining data, and closed handles.
#include <chrono>

#include "tests/winsock/socket_fixture.h"

namespace sockettest {
namespace {

// Sends 64 KiB blocks until the system takes no more; the bytes it took, or -1 when a
// send failed otherwise than with WSAEWOULDBLOCK or the buffers never filled up.
long long SendUntilFull(ws::SOCKET s) {
    const std::string block(64 * 1024, 'x');
    long long sent = 0;
    for (int i = 0; i < 10000; ++i) {  // loopback buffers are a few MB at most
        const int rc = ws::send(s, block.data(), static_cast<int>(block.size()), 0);
        if (rc < 0) return ws::WSAGetLastError() == ws::WSAEWOULDBLOCK ? sent : -1;
        sent += rc;
    }
    return -1;
}

// Reads everything waiting on s, adding the byte count to `received`; true once the
// peer's close has been read.
bool ReceiveWaiting(ws::SOCKET s, long long& received) {
    std::string buffer(256 * 1024, '\0');
    for (;;) {
        const int n = ws::recv(s, buffer.data(), static_cast<int>(buffer.size()), 0);
        if (n == 0) return true;
        if (n < 0) return false;
        received += n;
    }
}

TEST_F(SocketTest, ConnectAcceptWriteReadCloseInOrder) {
    const Pair pair = Connected();
    const ws::SOCKET c = pair.client, a = pair.accepted;
    // FD_WRITE follows FD_CONNECT on the connecting side.
    const int connectAt = Find(c, ws::FD_CONNECT);
    ASSERT_GE(WaitEvent(c, ws::FD_WRITE), 0);
    EXPECT_GT(Find(c, ws::FD_WRITE), connectAt);

    // FD_READ once, re-armed only by recv.
    const std::size_t mark = log.size();
    ASSERT_EQ(SendText(c, "hello world"), 11);
    ASSERT_EQ(WaitEvent(a, ws::FD_READ, mark), 0);
    ASSERT_EQ(SendText(c, "!"), 1);
    ASSERT_TRUE(WaitUntil([&] { return Waiting(a) == 12; }));
    EXPECT_EQ(Count(a, ws::FD_READ), 1);
    EXPECT_EQ(ReceiveText(a, 5), "hello");
    const int again = WaitEvent(a, ws::FD_READ, static_cast<std::size_t>(Find(a, ws::FD_READ)) + 1);
    EXPECT_EQ(again, 0);  // data left: announced again after the recv
    EXPECT_EQ(ReceiveText(a), " world!");

    // The client's orderly close: FD_CLOSE with 0, then recv gives 0.
    const std::size_t beforeClose = log.size();
    ASSERT_EQ(ws::closesocket(c), 0);
    EXPECT_EQ(WaitEvent(a, ws::FD_CLOSE, beforeClose), 0);
    char byte;
    EXPECT_EQ(ws::recv(a, &byte, 1, 0), 0);
    EXPECT_EQ(ws::closesocket(a), 0);
}

TEST_F(SocketTest, CloseComesAfterTheDataStillWaiting) {
    const Pair pair = Connected();
    const ws::SOCKET c = pair.client, a = pair.accepted;
    const std::size_t mark = log.size();
    ASSERT_EQ(SendText(c, "last words"), 10);
    ASSERT_EQ(ws::shutdown(c, ws::SD_SEND), 0);
    ASSERT_GE(WaitEvent(a, ws::FD_CLOSE, mark), 0);
    const int readAt = Find(a, ws::FD_READ, mark);
    ASSERT_GE(readAt, 0);
    EXPECT_LT(readAt, Find(a, ws::FD_CLOSE, mark));
    EXPECT_EQ(ReceiveText(a), "last words");
    EXPECT_EQ(Count(a, ws::FD_CLOSE), 1);

    // Data announced and not yet read when the peer closes: FD_CLOSE still follows.
    const auto second = Connected();
    const std::size_t mark2 = log.size();
    ASSERT_EQ(SendText(second.client, "abc"), 3);
    ASSERT_EQ(WaitEvent(second.accepted, ws::FD_READ, mark2), 0);
    ASSERT_EQ(ws::closesocket(second.client), 0);
    EXPECT_EQ(WaitEvent(second.accepted, ws::FD_CLOSE, mark2), 0);
    EXPECT_EQ(ReceiveText(second.accepted), "abc");
    ws::closesocket(second.accepted);
    ws::closesocket(a);
    ws::closesocket(c);
}

TEST_F(SocketTest, AResetReportsConnectionReset) {
    const Pair pair = Connected();
    const ws::SOCKET c = pair.client, a = pair.accepted;
    const ws::linger hard{1, 0};
    ASSERT_EQ(ws::setsockopt(c, ws::SOL_SOCKET, ws::SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard), 0);
    const std::size_t mark = log.size();
    ASSERT_EQ(ws::closesocket(c), 0);
    EXPECT_EQ(WaitEvent(a, ws::FD_CLOSE, mark), ws::WSAECONNRESET);
    char buffer[8];
    EXPECT_LE(ws::recv(a, buffer, sizeof buffer, 0), 0);
    ws::closesocket(a);
}

TEST_F(SocketTest, RefusedConnectReportsOnlyFdConnect) {
    const ws::SOCKET l = Listener(false);
    const ws::u_short port = PortOf(l);
    ws::closesocket(l);  // nobody listens there any more
    const ws::SOCKET c = ws::socket(ws::AF_INET, ws::SOCK_STREAM, 0);
    ASSERT_EQ(ws::WSAAsyncSelect(c, window, kSelectMsg, 59), 0);
    const auto to = Loopback(port);
    EXPECT_EQ(ws::connect(c, Sa(to), sizeof to), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
    EXPECT_EQ(WaitEvent(c, ws::FD_CONNECT), ws::WSAECONNREFUSED);
    // Let the watcher look once more: nothing else comes for this socket.
    const auto other = Connected();
    EXPECT_EQ(Count(c, ws::FD_WRITE) + Count(c, ws::FD_CLOSE) + Count(c, ws::FD_READ), 0);
    ws::closesocket(other.client);
    ws::closesocket(other.accepted);
    ws::closesocket(c);
}

TEST_F(SocketTest, WriteIsAnnouncedAgainAfterASendWouldBlock) {
    const Pair pair = Connected();
    const ws::SOCKET c = pair.client, a = pair.accepted;
    ASSERT_GE(WaitEvent(c, ws::FD_WRITE), 0);
    const long long sent = SendUntilFull(c);
    ASSERT_GT(sent, 0);
    const std::size_t blockedAt = log.size();
    const int writesBefore = Count(c, ws::FD_WRITE);

    // Read everything on the other side; room comes back and FD_WRITE follows.
    long long received = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            ReceiveWaiting(a, received);
            return received == sent && Find(c, ws::FD_WRITE, blockedAt) >= 0;
        },
        20000));
    EXPECT_EQ(Count(c, ws::FD_WRITE), writesBefore + 1);

    // One big send that the system takes only in part: FD_WRITE follows too,
    // once there is room again (the platform would have taken all or nothing).
    const std::string big(16 << 20, 'z');
    const int part = ws::send(c, big.data(), static_cast<int>(big.size()), 0);
    ASSERT_GT(part, 0);
    ASSERT_LT(part, static_cast<int>(big.size()));
    const std::size_t partialAt = log.size();
    received = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            ReceiveWaiting(a, received);
            return received == part && Find(c, ws::FD_WRITE, partialAt) >= 0;
        },
        20000));

    // An injected would-block re-arms it the same way.
    ws::testing::FailNextCall("send", ws::WSAEWOULDBLOCK);
    const std::size_t injectedAt = log.size();
    EXPECT_EQ(SendText(c, "x"), ws::SOCKET_ERROR);
    EXPECT_EQ(WaitEvent(c, ws::FD_WRITE, injectedAt), 0);
    ws::closesocket(a);
    ws::closesocket(c);
}

TEST_F(SocketTest, LingeringCloseDoesNotBlockAndDeliversEverything) {
    const Pair pair = Connected();
    const ws::SOCKET c = pair.client, a = pair.accepted;
    const long long sent = SendUntilFull(c);
    ASSERT_GT(sent, 0);
    const ws::linger wait{1, 10};
    ASSERT_EQ(ws::setsockopt(c, ws::SOL_SOCKET, ws::SO_LINGER, reinterpret_cast<const char*>(&wait), sizeof wait), 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(ws::closesocket(c), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

    long long received = 0;
    ASSERT_TRUE(WaitUntil([&] { return ReceiveWaiting(a, received); }, 20000));
    EXPECT_EQ(received, sent);
    ws::closesocket(a);
}

TEST_F(SocketTest, NothingIsPostedForAClosedHandle) {
    const Pair pair = Connected();
    const ws::SOCKET c = pair.client, a = pair.accepted;
    ASSERT_EQ(ws::closesocket(a), 0);
    const std::size_t closedAt = log.size();
    SendText(c, "anyone there?");
    ws::closesocket(c);
    // Another connection's notifications show the watcher has looked again.
    const auto other = Connected();
    ASSERT_EQ(SendText(other.client, "ping"), 4);
    ASSERT_EQ(WaitEvent(other.accepted, ws::FD_READ, closedAt), 0);
    for (std::size_t i = closedAt; i < log.size(); ++i) EXPECT_NE(log[i].wParam, a) << "message " << i;
    // The handle is gone for good.
    EXPECT_EQ(ws::WSAAsyncSelect(a, window, kSelectMsg, ws::FD_WRITE), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
    ws::closesocket(other.client);
    ws::closesocket(other.accepted);
}

TEST_F(SocketTest, ADatagramIsAnnouncedAndTooLongOnesAreReported) {
    const ws::SOCKET r = ws::socket(ws::AF_INET, ws::SOCK_DGRAM, ws::IPPROTO_UDP);
    const auto any = Loopback(0);
    ASSERT_EQ(ws::bind(r, Sa(any), sizeof any), 0);
    ASSERT_EQ(ws::WSAAsyncSelect(r, window, kSelectMsg, ws::FD_READ), 0);
    const ws::SOCKET s = ws::socket(ws::AF_INET, ws::SOCK_DGRAM, 0);
    const auto to = Loopback(PortOf(r));
    ASSERT_EQ(ws::sendto(s, "datagram", 8, 0, Sa(to), sizeof to), 8);
    ASSERT_EQ(WaitEvent(r, ws::FD_READ), 0);
    char small[4];
    ws::sockaddr_in from{};
    int fromLen = sizeof from;
    EXPECT_EQ(ws::recvfrom(r, small, sizeof small, 0, reinterpret_cast<ws::sockaddr*>(&from), &fromLen),
              ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEMSGSIZE);
    EXPECT_EQ(std::string(small, 4), "data");
    EXPECT_EQ(from.sin_addr.s_addr, ws::inet_addr("127.0.0.1"));
    EXPECT_EQ(ws::ntohs(from.sin_port), PortOf(s));
    ws::closesocket(s);
    ws::closesocket(r);
}

}  // namespace
}  // namespace sockettest
