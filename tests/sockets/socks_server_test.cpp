// The SOCKS client against real proxy servers on loopback: microsocks for SOCKS 5 (with
// and without user and password) and dante-server for SOCKS 4. The destination is a
// listener of the test itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/name_resolution.h"
#include "ftp/sync_wsocket.h"
#include "sockets/socks_test_peers.h"

namespace {

using SocksServers = WSocketTest;

// A destination that greets each connection and keeps what it receives.
struct Destination {
    std::string Received;
    LoopbackServer Server{[this](TCustomWSocket& Peer) {
                              Peer.OnDataAvailable = [this](TCustomWSocket* Sender, std::uint16_t) {
                                  char buf[256];
                                  const int n = Sender->Receive(buf, sizeof buf);
                                  if (n > 0) Received.append(buf, static_cast<std::size_t>(n));
                              };
                          },
                          [](TCustomWSocket& Peer) { Peer.SendStr("220 ready\r\n"); }};
};

void ConnectThrough(TWSocket& Client, const SocksServerPeer& Proxy, const std::string& Level, const std::string& Port) {
    ConnectThroughProxy(Client, Proxy.Port(), Level, "127.0.0.1", Port);
}

// The tunnel carries data both ways.
void ExpectWorkingTunnel(TWSocket& Client, SocksLog& Out, Destination& Dest) {
    ASSERT_TRUE(WaitFor([&] { return Out.Data == "220 ready\r\n"; })) << Out.Data;
    Client.SendStr("USER anonymous\r\n");
    ASSERT_TRUE(WaitFor([&] { return Dest.Received == "USER anonymous\r\n"; })) << Dest.Received;
}

TEST_F(SocksServers, Socks5WithoutAuthentication) {
    SocksServerPeer proxy;
    if (!SocksServerPeer::StartMicrosocks(proxy)) GTEST_SKIP() << proxy.Reason();
    Destination dest;
    TWSocket client;
    SocksLog out(client);
    ConnectThrough(client, proxy, "5", dest.Server.Port());
    ASSERT_TRUE(WaitFor([&] { return !out.Connected.empty(); })) << proxy.LogText();
    EXPECT_EQ(out.Connected, std::vector<int>{0});
    EXPECT_TRUE(IsDottedIp(client.BoundAddress())) << client.BoundAddress();
    ExpectWorkingTunnel(client, out, dest);
    EXPECT_TRUE(out.AuthStates.empty());
    client.Close();
    EXPECT_EQ(out.Connected.size(), 1u);
}

TEST_F(SocksServers, Socks5WithUserAndPassword) {
    SocksServerPeer proxy;
    if (!SocksServerPeer::StartMicrosocks(proxy, "anna", "s3cret")) GTEST_SKIP() << proxy.Reason();
    Destination dest;
    TWSocket client;
    SocksLog out(client);
    UseUsercode(client, "anna", "s3cret");
    ConnectThrough(client, proxy, "5", dest.Server.Port());
    ASSERT_TRUE(WaitFor([&] { return !out.Connected.empty(); })) << proxy.LogText();
    EXPECT_EQ(out.Connected, std::vector<int>{0});
    EXPECT_EQ(out.AuthStates, (std::vector<int>{socksAuthStart, socksAuthSuccess}));
    ExpectWorkingTunnel(client, out, dest);

    // A wrong password is refused: one error, one OnSessionConnected, then the close.
    TWSocket intruder;
    SocksLog refused(intruder);
    UseUsercode(intruder, "anna", "guess");
    ConnectThrough(intruder, proxy, "5", dest.Server.Port());
    ASSERT_TRUE(WaitFor([&] { return intruder.State() == wsClosed && !refused.Connected.empty(); }));
    DrainMessages();
    EXPECT_EQ(refused.Errors, std::vector<int>{20015});
    EXPECT_EQ(refused.Connected, std::vector<int>{20015});
    EXPECT_EQ(refused.Closed, std::vector<int>{20015});
    EXPECT_EQ(dest.Server.PeerCount(), 1u);  // only the first client got through
}

TEST_F(SocksServers, Socks5RefusedDestination) {
    SocksServerPeer proxy;
    if (!SocksServerPeer::StartMicrosocks(proxy)) GTEST_SKIP() << proxy.Reason();
    TWSocket client;
    SocksLog out(client);
    ConnectThrough(client, proxy, "5", ClosedLoopbackPort());
    ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed && !out.Connected.empty(); })) << proxy.LogText();
    EXPECT_EQ(out.Errors, std::vector<int>{20008});
    EXPECT_EQ(out.Connected, std::vector<int>{20008});
}

TEST_F(SocksServers, Socks4SuccessAndRefusal) {
    Destination dest;
    const std::string blocked = ClosedLoopbackPort();
    SocksServerPeer proxy;
    if (!SocksServerPeer::StartDante(proxy, blocked)) GTEST_SKIP() << proxy.Reason();

    TWSocket client;
    SocksLog out(client);
    client.SocksUsercode = "ftpuser";
    ConnectThrough(client, proxy, "4", dest.Server.Port());
    ASSERT_TRUE(WaitFor([&] { return !out.Connected.empty(); })) << proxy.LogText();
    EXPECT_EQ(out.Connected, std::vector<int>{0}) << proxy.LogText();
    ExpectWorkingTunnel(client, out, dest);

    // The rules refuse this destination: reply 91.
    TWSocket refusedClient;
    SocksLog refused(refusedClient);
    ConnectThrough(refusedClient, proxy, "4", blocked);
    ASSERT_TRUE(WaitFor([&] { return refusedClient.State() == wsClosed && !refused.Connected.empty(); }))
        << proxy.LogText();
    EXPECT_EQ(refused.Errors, std::vector<int>{20016});
    EXPECT_EQ(refused.Connected, std::vector<int>{20016});
    EXPECT_EQ(refused.Closed, std::vector<int>{20016});
}

}  // namespace
