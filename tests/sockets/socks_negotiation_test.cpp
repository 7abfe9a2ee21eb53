// The SOCKS client against a proxy scripted by the test: the bytes of every request,
// replies split byte by byte, authentication outcomes, odd replies, data that came with
// the reply, and proxies that fail or go away during the negotiation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/sync_wsocket.h"
#include "platform/winsock/winsock_testing.h"
#include "sockets/socks_test_peers.h"

namespace {

using SocksNegotiation = WSocketTest;

void StartThroughProxy(TWSocket& Client, ScriptedProxy& Proxy, const std::string& Level,
                       const std::string& Host = "dest.example", const std::string& Port = "2121") {
    ConnectThroughProxy(Client, Proxy.Port(), Level, Host, Port);
}

std::string Socks5ConnectRequest(const std::string& Host, int Port) {
    return Bytes({5, 1, 0, 3, static_cast<int>(Host.size())}) + Host + PortBytes(Port);
}

// Plays a SOCKS5 proxy up to the connect request of a client that offers no
// authentication: waits for the offer, accepts it, and waits for the request to
// "dest.example" (the offer and the request stay in Received()).
::testing::AssertionResult AwaitConnectRequest(ScriptedProxy& Proxy) {
    const std::size_t offer = 3;
    if (!Proxy.WaitReceived(offer)) return ::testing::AssertionFailure() << "no method offer";
    Proxy.Reply(Bytes({5, 0}));
    if (!Proxy.WaitReceived(offer + Socks5ConnectRequest("dest.example", 2121).size()))
        return ::testing::AssertionFailure() << "no connect request";
    return ::testing::AssertionSuccess();
}

TEST_F(SocksNegotiation, Socks5WithoutAuthenticationSendsTheExpectedBytes) {
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    StartThroughProxy(client, proxy, "5");
    ASSERT_TRUE(proxy.WaitReceived(3));
    EXPECT_EQ(proxy.Take(3), Bytes({5, 1, 0}));
    EXPECT_TRUE(log.Connected.empty());
    proxy.Reply(Bytes({5, 0}));
    const std::string request = Socks5ConnectRequest("dest.example", 2121);
    ASSERT_TRUE(proxy.WaitReceived(request.size()));
    EXPECT_EQ(proxy.Take(request.size()), request);
    proxy.Reply(Bytes({5, 0, 0, 1, 10, 1, 2, 3, 0x1F, 0x90}));
    ASSERT_TRUE(WaitFor([&] { return !log.Connected.empty(); }));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 0", "connected 0"}));
    EXPECT_EQ(client.BoundAddress(), "10.1.2.3");
    EXPECT_EQ(client.BoundPort(), "8080");
    EXPECT_EQ(client.State(), wsConnected);

    // The tunnel is open: data goes both ways untouched.
    client.SendStr("through");
    ASSERT_TRUE(proxy.WaitReceived(7));
    EXPECT_EQ(proxy.Take(7), "through");
    proxy.Reply("back");
    ASSERT_TRUE(WaitFor([&] { return log.Data == "back"; }));

    // A close resets the proxy settings: they are given again for each connection.
    client.Close();
    EXPECT_EQ(client.SocksServer(), "");
    EXPECT_EQ(client.SocksPort(), "");
    EXPECT_EQ(client.SocksLevel(), "5");
    EXPECT_EQ(log.Closed, std::vector<int>{0});
}

TEST_F(SocksNegotiation, RepliesSplitByteByByteAreJudgedWhenComplete) {
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    UseUsercode(client, "anna", "s3cret");
    StartThroughProxy(client, proxy, "5", "host.example", "21");
    ASSERT_TRUE(proxy.WaitReceived(3));
    EXPECT_EQ(proxy.Take(3), Bytes({5, 1, 2}));
    proxy.ReplyByteByByte(Bytes({5, 2}), client);
    const std::string auth = Bytes({1, 4}) + "anna" + Bytes({6}) + "s3cret";
    ASSERT_TRUE(proxy.WaitReceived(auth.size()));
    EXPECT_EQ(proxy.Take(auth.size()), auth);
    EXPECT_EQ(log.AuthStates, std::vector<int>{socksAuthStart});
    proxy.ReplyByteByByte(Bytes({1, 0}), client);
    const std::string request = Socks5ConnectRequest("host.example", 21);
    ASSERT_TRUE(proxy.WaitReceived(request.size()));
    EXPECT_EQ(proxy.Take(request.size()), request);
    EXPECT_TRUE(log.Connected.empty());
    proxy.ReplyByteByByte(Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 21}), client);
    ASSERT_TRUE(WaitFor([&] { return !log.Connected.empty(); }));
    EXPECT_EQ(log.AuthStates, (std::vector<int>{socksAuthStart, socksAuthSuccess}));
    EXPECT_EQ(log.Connected, std::vector<int>{0});
    EXPECT_EQ(client.BoundAddress(), "127.0.0.1");
    EXPECT_TRUE(log.Errors.empty());
}

TEST_F(SocksNegotiation, RefusedPasswordClosesWithAuthenticationFailed) {
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    UseUsercode(client, "anna", "wrong");
    StartThroughProxy(client, proxy, "5");
    ASSERT_TRUE(proxy.WaitReceived(3));
    proxy.Take(3);
    proxy.Reply(Bytes({5, 2}));
    ASSERT_TRUE(proxy.WaitReceived(12));
    proxy.Reply(Bytes({1, 1}));
    ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 0", "auth 0",
                                                    "error 20015 socks authentication failed", "connected 20015",
                                                    "closed 20015"}));
}

TEST_F(SocksNegotiation, ProxyChoosingNoAuthenticationReportsNotRequired) {
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    UseUsercode(client, "anna", "pw");
    StartThroughProxy(client, proxy, "5");
    ASSERT_TRUE(proxy.WaitReceived(3));
    EXPECT_EQ(proxy.Take(3), Bytes({5, 1, 2}));
    proxy.Reply(Bytes({5, 0}));
    const std::string request = Socks5ConnectRequest("dest.example", 2121);
    ASSERT_TRUE(proxy.WaitReceived(request.size()));
    EXPECT_EQ(proxy.Take(request.size()), request);  // straight to the connect request
    EXPECT_EQ(log.AuthStates, std::vector<int>{socksAuthNotRequired});
}

TEST_F(SocksNegotiation, ReplyErrorsAndAddressTypes) {
    struct Case {
        std::string Reply;
        int Code;
        std::string Text;
    };
    const std::vector<Case> cases = {
        {Bytes({5, 1, 0, 1}), 20004, "general SOCKS server failure"},
        {Bytes({5, 5, 0, 1}), 20008, "connection refused"},
        {Bytes({5, 8, 0, 1}), 20011, "address type not supported"},
        {Bytes({5, 42, 0, 1}), 20012, "unassigned error #42"},
        {Bytes({4, 0, 0, 1}), 20002, "socks version error"},
        {Bytes({5, 0, 0, 4, 0}), 20011, "address type not supported"},  // an IPv6 address
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        ScriptedProxy proxy;
        TracedSocket client;
        SocksLog log(client);
        StartThroughProxy(client, proxy, "5");
        ASSERT_TRUE(AwaitConnectRequest(proxy));
        proxy.Reply(c.Reply);
        ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
        EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 0",
                                                        "error " + std::to_string(c.Code) + " " + c.Text,
                                                        "connected " + std::to_string(c.Code),
                                                        "closed " + std::to_string(c.Code)}));
    }
}

// The longest reply, a bound name of 255 bytes, fits the reply area: the negotiation
// ends instead of waiting forever for bytes that can never be stored.
TEST_F(SocksNegotiation, LongBoundNameCompletesTheNegotiation) {
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    StartThroughProxy(client, proxy, "5");
    ASSERT_TRUE(AwaitConnectRequest(proxy));
    std::string name(255, 'n');
    name.front() = 'A';
    name.back() = 'Z';
    proxy.Reply(Bytes({5, 0, 0, 3, 255}) + name + PortBytes(4242));
    ASSERT_TRUE(WaitFor([&] { return !log.Connected.empty(); }));
    EXPECT_EQ(log.Connected, std::vector<int>{0});
    EXPECT_EQ(client.BoundAddress(), name);
    EXPECT_EQ(client.BoundPort(), "4242");
}

TEST_F(SocksNegotiation, DataThatCameWithTheReplyFollowsTheConnection) {
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    // The application reads two bytes at a time: the rest of the left-over data is
    // offered again until it is all taken.
    client.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buf[2];
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) log.Events.push_back("data " + std::string(buf, static_cast<std::size_t>(n)));
    };
    StartThroughProxy(client, proxy, "5");
    ASSERT_TRUE(AwaitConnectRequest(proxy));
    proxy.Reply(Bytes({5, 0, 0, 1, 1, 2, 3, 4, 0, 80}) + "220 hello");
    ASSERT_TRUE(WaitFor([&] { return log.Events.size() >= 7; }));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 0", "connected 0", "data 22", "data 0 ",
                                                    "data he", "data ll", "data o"}));
}

TEST_F(SocksNegotiation, Socks4ARequestCarriesTheHostName) {
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    client.SocksUsercode = "bob";
    StartThroughProxy(client, proxy, "4a", "ftp.example", "21");
    const std::string request = Bytes({4, 1}) + PortBytes(21) + Bytes({0, 0, 0, 1}) + "bob" + Bytes({0}) +
                                "ftp.example" + Bytes({0});
    ASSERT_TRUE(proxy.WaitReceived(request.size()));
    EXPECT_EQ(proxy.Take(request.size()), request);
    proxy.ReplyByteByByte(Bytes({0, 90, 0, 0, 0, 0, 0, 0}), client);
    ASSERT_TRUE(WaitFor([&] { return !log.Connected.empty(); }));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 0", "connected 0"}));
}

TEST_F(SocksNegotiation, Socks4RepliesAndUnresolvableHost) {
    struct Case {
        int Status;
        int Code;
        std::string Text;
    };
    for (const Case& c : std::vector<Case>{{91, 20016, "request rejected or failed"},
                                           {92, 20008, "connection refused"},
                                           {93, 20015, "authentification failed"},
                                           {17, 20012, "unassigned error #17"}}) {
        SCOPED_TRACE(c.Text);
        ScriptedProxy proxy;
        TracedSocket client;
        SocksLog log(client);
        StartThroughProxy(client, proxy, "4", "127.0.0.1", "21");
        const std::string request = Bytes({4, 1}) + PortBytes(21) + Bytes({127, 0, 0, 1, 0});
        ASSERT_TRUE(proxy.WaitReceived(request.size()));
        EXPECT_EQ(proxy.Take(request.size()), request);
        proxy.Reply(Bytes({0, c.Status, 0, 0, 0, 0, 0, 0}));
        ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
        EXPECT_EQ(log.Errors, std::vector<int>{c.Code});
        EXPECT_EQ(log.Connected, std::vector<int>{c.Code});
        EXPECT_EQ(log.Events[1], "error " + std::to_string(c.Code) + " " + c.Text);
    }

    // SOCKS 4 resolves the destination itself; a name that cannot be resolved ends the
    // negotiation without a request.
    ScriptedProxy proxy;
    TracedSocket client;
    SocksLog log(client);
    StartThroughProxy(client, proxy, "4", "nowhere.invalid", "21");
    ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed && !log.Closed.empty(); }));
    ASSERT_EQ(log.Errors, std::vector<int>{20017});
    EXPECT_EQ(log.Events[1].rfind("error 20017 ESocketException Winsock Resolve Host: Cannot convert host address "
                                  "'nowhere.invalid' - Host not found (#11001)",
                                  0),
              0u)
        << log.Events[1];
    EXPECT_EQ(log.Connected, std::vector<int>{20017});
    EXPECT_EQ(log.Closed, std::vector<int>{20017});
    DrainMessages();
    EXPECT_EQ(proxy.Received(), "");
}

// A proxy that cannot be reached is reported once, and no request is sent afterwards.
TEST_F(SocksNegotiation, UnreachableProxyIsReportedOnce) {
    for (const std::string level : {"5", "4"}) {
        SCOPED_TRACE(level);
        TracedSocket client;
        SocksLog log(client);
        int errors = 0;
        client.OnError = [&](TCustomWSocket*) { ++errors; };
        ConnectThroughProxy(client, ClosedLoopbackPort(), level, "127.0.0.1", "21");
        ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
        DrainMessages();
        // A request sent on the failed connection would end it with 10057 instead.
        EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 10061", "connected 10061", "closed 0"}));
        EXPECT_EQ(log.Sends, 0);
        EXPECT_EQ(errors, 0);
    }
}

// A proxy that goes away during the negotiation: one OnSessionConnected with the close's
// error (10054 for an orderly close), then the close.
TEST_F(SocksNegotiation, ProxyClosingDuringTheNegotiation) {
    {
        ScriptedProxy proxy;
        TracedSocket client;
        SocksLog log(client);
        StartThroughProxy(client, proxy, "5");
        ASSERT_TRUE(proxy.WaitReceived(3));
        proxy.CloseConnection();
        ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
        DrainMessages();
        EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 0", "connected 10054", "closed 0"}));
    }
    {
        ScriptedProxy proxy;
        TracedSocket client;
        SocksLog log(client);
        UseUsercode(client, "u", "p");
        StartThroughProxy(client, proxy, "5");
        ASSERT_TRUE(proxy.WaitReceived(3));
        proxy.Reply(Bytes({5, 2}));
        ASSERT_TRUE(proxy.WaitReceived(3 + 5));
        proxy.CloseConnection();
        ASSERT_TRUE(WaitFor([&] { return client.State() == wsClosed; }));
        DrainMessages();
        EXPECT_EQ(log.Events, (std::vector<std::string>{"socks-connected 0", "auth 0", "auth 2", "connected 10054",
                                                        "closed 0"}));
    }
}

TEST_F(SocksNegotiation, SettingsRules) {
    TWSocket s;
    EXPECT_EQ(s.SocksLevel(), "5");
    s.SetSocksLevel("4a");
    EXPECT_EQ(s.SocksLevel(), "4A");
    EXPECT_EQ(MessageOf([&] { s.SetSocksLevel("4B"); }), "Invalid socks level. Must be 4, 4A or 5.");
    s.SetSocksServer("  127.0.0.1 ");
    EXPECT_EQ(s.SocksServer(), "127.0.0.1");
    s.SetAddr("127.0.0.1");
    s.SetPort("0");
    EXPECT_EQ(MessageOf([&] { s.Listen(); }), "Listening is not supported thru socks server");
    s.SetProto("udp");
    s.SetPort("21");
    EXPECT_EQ(MessageOf([&] { s.Connect(); }), "TCP is the only protocol supported thru socks server");
    s.SetProto("6");
    EXPECT_EQ(MessageOf([&] { s.Connect(); }), "Connect: Winsock Resolve Port: Invalid Port.");  // no SocksPort
    s.SetSocksServer("");
    s.SetPort("0");
    s.Listen();  // without a proxy, listening works
    EXPECT_EQ(MessageOf([&] { s.SetSocksLevel("4"); }), "Can't change socks level if not closed");
    EXPECT_EQ(MessageOf([&] { s.SetSocksServer("x"); }), "Can't change socks server if not closed");
    EXPECT_EQ(MessageOf([&] { s.SetSocksPort("1080"); }), "Can't change socks port if not closed");
}

}  // namespace
