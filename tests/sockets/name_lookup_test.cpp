// Host name lookups (asynchronous, cancelled, abandoned) and the blocking resolvers.
// Only "localhost" and names under ".invalid" are looked up: both are answered on this
// machine without asking any name server.
#include <gtest/gtest.h>

#include <vector>

#include "ftp/name_resolution.h"
#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"
#include "platform/winsock/winsock_testing.h"
#include "sockets/socket_test_support.h"

namespace {

using NameLookup = WSocketTest;

struct LookupLog {
    std::vector<int> Done;
    void Attach(TCustomWSocket& Socket) {
        Socket.OnDnsLookupDone = [this](TCustomWSocket*, std::uint16_t Err) { Done.push_back(Err); };
    }
};

TEST_F(NameLookup, DottedAddressIsAnsweredInsideTheCall) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    s.DnsLookup("10.1.2.3");
    EXPECT_EQ(log.Done, std::vector<int>{0});
    EXPECT_EQ(s.DnsResult(), "10.1.2.3");
    EXPECT_EQ(s.DnsResultList(), std::vector<std::string>{"10.1.2.3"});
}

TEST_F(NameLookup, LocalhostIsLookedUpInTheBackground) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    s.DnsLookup("localhost");
    EXPECT_TRUE(log.Done.empty());
    ASSERT_TRUE(WaitFor([&] { return !log.Done.empty(); }));
    EXPECT_EQ(log.Done, std::vector<int>{0});
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    ASSERT_FALSE(s.DnsResultList().empty());
    EXPECT_EQ(s.DnsResultList().front(), "127.0.0.1");
}

TEST_F(NameLookup, UnknownNameReportsHostNotFound) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    s.DnsLookup("no-such-host.invalid");
    ASSERT_TRUE(WaitFor([&] { return !log.Done.empty(); }));
    EXPECT_EQ(log.Done, std::vector<int>{ws::WSAHOST_NOT_FOUND});
    EXPECT_EQ(s.DnsResult(), "");
    EXPECT_TRUE(s.DnsResultList().empty());
}

TEST_F(NameLookup, CancelledLookupEndsWithInterruptedAndNothingLater) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    ws::testing::HoldLookups(true);
    s.DnsLookup("localhost");
    s.CancelDnsLookup();
    EXPECT_EQ(log.Done, std::vector<int>{ws::WSAEINTR});
    s.CancelDnsLookup();  // nothing pending any more
    ws::testing::HoldLookups(false);
    ASSERT_TRUE(ws::testing::WaitForLookupsIdle(10000));
    DrainMessages();
    EXPECT_EQ(log.Done, std::vector<int>{ws::WSAEINTR});
}

TEST_F(NameLookup, NewLookupReplacesThePendingOne) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    ws::testing::HoldLookups(true);
    s.DnsLookup("no-such-host.invalid");
    s.DnsLookup("localhost");
    ws::testing::HoldLookups(false);
    ASSERT_TRUE(WaitFor([&] { return !log.Done.empty(); }));
    ASSERT_TRUE(ws::testing::WaitForLookupsIdle(10000));
    DrainMessages();
    EXPECT_EQ(log.Done, std::vector<int>{0});
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
}

TEST_F(NameLookup, SocketDestroyedMidLookupHearsNothing) {
    LookupLog log;
    ws::testing::HoldLookups(true);
    {
        TCustomWSocket s;
        log.Attach(s);
        s.DnsLookup("localhost");
    }
    ws::testing::HoldLookups(false);
    ASSERT_TRUE(ws::testing::WaitForLookupsIdle(10000));
    DrainMessages();
    EXPECT_TRUE(log.Done.empty());
    EXPECT_EQ(ws::testing::PendingLookupCount(), 0);
}

TEST_F(NameLookup, EmptyNameIsRefused) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    int errors = 0;
    s.OnError = [&](TCustomWSocket*) { ++errors; };
    s.DnsLookup("");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(log.Done, std::vector<int>{ws::WSAEINVAL});
    // Both reverse lookups refuse an empty address and one too long to be one.
    s.ReverseDnsLookup("");
    s.ReverseDnsLookupSync(std::string(257, '1'));
    EXPECT_EQ(errors, 3);
    EXPECT_EQ(log.Done, (std::vector<int>{ws::WSAEINVAL, ws::WSAEINVAL, ws::WSAEINVAL}));
    s.OnError = nullptr;
    EXPECT_EQ(MessageOf([&] { s.ReverseDnsLookupSync(""); }), "Reverse DNS Lookup: Invalid host name.");
}

TEST_F(NameLookup, InjectedResolverFailureReachesTheEvent) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    ws::testing::FailLookupOf("unreachable.example", ws::WSATRY_AGAIN);
    s.DnsLookup("unreachable.example");
    ASSERT_TRUE(WaitFor([&] { return !log.Done.empty(); }));
    EXPECT_EQ(log.Done, std::vector<int>{ws::WSATRY_AGAIN});
}

TEST_F(NameLookup, ReverseLookupOfLoopback) {
    TCustomWSocket s;
    LookupLog log;
    log.Attach(s);
    s.ReverseDnsLookup("127.0.0.1");
    ASSERT_TRUE(WaitFor([&] { return !log.Done.empty(); }));
    EXPECT_EQ(log.Done, std::vector<int>{0});
    EXPECT_EQ(s.DnsResult(), "localhost");
    s.ReverseDnsLookupSync("127.0.0.1");
    EXPECT_EQ(log.Done, (std::vector<int>{0, 0}));
    EXPECT_EQ(s.DnsResult(), "localhost");
}

TEST_F(NameLookup, BlockingResolvers) {
    TCustomWSocket keepLoaded;
    EXPECT_EQ(ResolveHost("localhost"), WSocket::htonl(ws::INADDR_LOOPBACK));
    EXPECT_EQ(ResolveHost(" 127.0.0.1 "), WSocket::htonl(ws::INADDR_LOOPBACK));
    EXPECT_EQ(ResolveHost("255.255.255.255"), ws::INADDR_BROADCAST);
    EXPECT_EQ(ResolvePort("21", "tcp"), 21);
    EXPECT_EQ(ResolvePort("ftp", "tcp"), 21);
    EXPECT_EQ(ResolveProto("udp"), 17);
    EXPECT_EQ(ResolveProto("6"), 6);
    EXPECT_EQ(ResolveProto(" RAW "), 255);
    EXPECT_EQ(MessageOf([] { ResolveHost(""); }), "Winsock Resolve Host: '' Invalid Hostname.");
    EXPECT_EQ(MessageOf([] { ResolveHost("x.invalid"); }),
              "Winsock Resolve Host: Cannot convert host address 'x.invalid' - Host not found (#11001)");
    EXPECT_EQ(MessageOf([] { ResolvePort("", "tcp"); }), "Winsock Resolve Port: Invalid Port.");
    EXPECT_EQ(MessageOf([] { ResolvePort("21", ""); }), "Winsock Resolve Port: Invalid Proto.");
    EXPECT_EQ(MessageOf([] { ResolveProto(""); }), "Winsock Resolve Proto: Invalid Protocol.");
}

}  // namespace
