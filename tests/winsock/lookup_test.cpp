// Name lookups: asynchronous replies laid out in the caller's buffer,
// errors, cancellation, and the blocking calls.
#include "tests/winsock/socket_fixture.h"

namespace sockettest {
namespace {

class LookupTest : public SocketTest {
protected:
    // Starts a lookup of `name` and waits for its reply; the reply's lParam.
    LPARAM LookUp(const char* name, int size = ws::MAXGETHOSTSTRUCT) {
        const HANDLE h = ws::WSAAsyncGetHostByName(window, kLookupMsg, name, buffer, size);
        EXPECT_NE(h, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return ReplyFor(h) != nullptr; }, 20000)) << name;
        const Note* reply = ReplyFor(h);
        return reply != nullptr ? reply->lParam : -1;
    }

    const Note* ReplyFor(HANDLE h) const {
        for (const Note& n : log) {
            if (n.msg == kLookupMsg && n.wParam == reinterpret_cast<WPARAM>(h)) return &n;
        }
        return nullptr;
    }

    const ws::hostent* Entry() const { return reinterpret_cast<const ws::hostent*>(buffer); }

    std::string Address(int i) const {
        ws::in_addr a;
        std::memcpy(&a.s_addr, Entry()->h_addr_list[i], 4);
        return ws::inet_ntoa(a);
    }

    alignas(ws::hostent) char buffer[ws::MAXGETHOSTSTRUCT + 1] = {};
};

TEST_F(LookupTest, DottedAddressAndLocalhostAreLaidOutInTheBuffer) {
    LPARAM reply = LookUp("10.1.2.3");
    ASSERT_EQ(ws::WSAGETASYNCERROR(reply), 0);
    EXPECT_STREQ(Entry()->h_name, "10.1.2.3");
    EXPECT_EQ(Entry()->h_addrtype, ws::AF_INET);
    EXPECT_EQ(Entry()->h_length, 4);
    EXPECT_EQ(Address(0), "10.1.2.3");
    EXPECT_EQ(Entry()->h_addr_list[1], nullptr);
    EXPECT_EQ(Entry()->h_aliases[0], nullptr);
    // Every pointer lies inside the caller's buffer.
    EXPECT_GE(Entry()->h_name, buffer);
    EXPECT_LT(Entry()->h_name + std::strlen(Entry()->h_name), buffer + ws::WSAGETASYNCBUFLEN(reply));

    reply = LookUp("localhost");
    ASSERT_EQ(ws::WSAGETASYNCERROR(reply), 0);
    EXPECT_EQ(Address(0), "127.0.0.1");
}

TEST_F(LookupTest, UnknownNamesAndInjectedFailuresReportTheirCode) {
    EXPECT_EQ(ws::WSAGETASYNCERROR(LookUp("no-such-host.invalid")), ws::WSAHOST_NOT_FOUND);
    ws::testing::FailLookupOf("ftp.example.com", ws::WSATRY_AGAIN);
    EXPECT_EQ(ws::WSAGETASYNCERROR(LookUp("FTP.example.com")), ws::WSATRY_AGAIN);
    // A buffer too small: WSAENOBUFS with the size it needs.
    const LPARAM reply = LookUp("10.0.0.1", 16);
    EXPECT_EQ(ws::WSAGETASYNCERROR(reply), ws::WSAENOBUFS);
    EXPECT_GT(ws::WSAGETASYNCBUFLEN(reply), 16);
    EXPECT_LE(ws::WSAGETASYNCBUFLEN(reply), ws::MAXGETHOSTSTRUCT);
    // A request that cannot start.
    ws::testing::FailNextCall("WSAAsyncGetHostByName", ws::WSAENOBUFS);
    EXPECT_EQ(ws::WSAAsyncGetHostByName(window, kLookupMsg, "localhost", buffer, sizeof buffer), nullptr);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOBUFS);
    EXPECT_EQ(ws::WSAAsyncGetHostByName(window, kLookupMsg, "localhost", buffer + 1, 100), nullptr);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEFAULT);  // not aligned for the host entry
}

TEST_F(LookupTest, ACancelledLookupWritesAndPostsNothing) {
    ws::testing::HoldLookups(true);
    std::memset(buffer, 0x5A, sizeof buffer);
    const HANDLE h = ws::WSAAsyncGetHostByName(window, kLookupMsg, "localhost", buffer, sizeof buffer);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ws::WSACancelAsyncRequest(h), 0);
    ws::testing::HoldLookups(false);
    ASSERT_TRUE(ws::testing::WaitForLookupsIdle(20000));
    PumpWaitingMessages();
    EXPECT_EQ(ReplyFor(h), nullptr);
    EXPECT_EQ(static_cast<unsigned char>(buffer[0]), 0x5A);
    EXPECT_EQ(ws::WSACancelAsyncRequest(h), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEALREADY);
    EXPECT_EQ(ws::WSACancelAsyncRequest(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(999999))),
              ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
    // A lookup that completed cannot be cancelled any more.
    LPARAM reply = LookUp("127.0.0.1");
    EXPECT_EQ(ws::WSAGETASYNCERROR(reply), 0);
}

TEST_F(LookupTest, ReverseLookupOfTheLoopbackAddress) {
    const ws::u_long loopback = ws::inet_addr("127.0.0.1");
    const HANDLE h = ws::WSAAsyncGetHostByAddr(window, kLookupMsg + 1, reinterpret_cast<const char*>(&loopback), 4,
                                               ws::AF_INET, buffer, sizeof buffer);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !log.empty(); }, 20000));
    EXPECT_EQ(log[0].msg, kLookupMsg + 1);
    EXPECT_EQ(log[0].wParam, reinterpret_cast<WPARAM>(h));
    ASSERT_EQ(ws::WSAGETASYNCERROR(log[0].lParam), 0);
    EXPECT_STREQ(Entry()->h_name, "localhost");
    EXPECT_EQ(Address(0), "127.0.0.1");
}

TEST_F(LookupTest, BlockingLookupsAndDatabases) {
    const ws::hostent* h = ws::gethostbyname("localhost");
    ASSERT_NE(h, nullptr);
    ws::in_addr a;
    std::memcpy(&a.s_addr, h->h_addr_list[0], 4);
    EXPECT_STREQ(ws::inet_ntoa(a), "127.0.0.1");
    EXPECT_EQ(ws::gethostbyname("nothing.invalid"), nullptr);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAHOST_NOT_FOUND);
    const ws::u_long loopback = ws::inet_addr("127.0.0.1");
    h = ws::gethostbyaddr(reinterpret_cast<const char*>(&loopback), 4, ws::AF_INET);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(h->h_name, "localhost");

    const ws::servent* ftp = ws::getservbyname("ftp", "tcp");
    ASSERT_NE(ftp, nullptr);
    EXPECT_EQ(ws::ntohs(static_cast<ws::u_short>(ftp->s_port)), 21);
    EXPECT_STREQ(ftp->s_proto, "tcp");
    EXPECT_EQ(ws::getservbyname("no-such-service", "tcp"), nullptr);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSANO_DATA);
    const ws::protoent* udp = ws::getprotobyname("udp");
    ASSERT_NE(udp, nullptr);
    EXPECT_EQ(udp->p_proto, 17);
    EXPECT_EQ(ws::getprotobyname("no-such-protocol"), nullptr);
}

}  // namespace
}  // namespace sockettest
