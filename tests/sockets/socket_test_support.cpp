#include "sockets/socket_test_support.h"

#include <algorithm>

#include "ftp/tick_deadline.h"
#include "ftp/winsock_binding.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"
#include "platform/winsock/winsock_testing.h"

LoopbackServer::LoopbackServer(std::function<void(TCustomWSocket&)> Configure,
                               std::function<void(TCustomWSocket&)> Accepted)
    : FConfigure(std::move(Configure)), FAccepted(std::move(Accepted)) {
    Listener.SetProto("tcp");
    Listener.SetAddr("127.0.0.1");
    Listener.SetPort("0");
    Listener.OnSessionAvailable = [this](TCustomWSocket* Sender, std::uint16_t) {
        const ws::SOCKET handle = Sender->Accept();
        if (handle == ws::INVALID_SOCKET) return;
        auto peer = std::make_unique<TCustomWSocket>();
        if (FConfigure) FConfigure(*peer);
        peer->Dup(handle);
        Peers.push_back(std::move(peer));
        if (FAccepted) FAccepted(*Peers.back());
    };
    Listener.Listen();
}

void ConnectLoopback(TCustomWSocket& Client, LoopbackServer& Server) {
    const std::size_t before = Server.PeerCount();
    Client.SetAddr("127.0.0.1");
    Client.SetPort(Server.Port());
    Client.Connect();
    ASSERT_TRUE(WaitFor([&] { return Client.State() == wsConnected && Server.PeerCount() > before; }));
}

void WSocketTest::SetUp() {
    ws::testing::ClearInjections();
    ASSERT_EQ(WinsockUseCount(), 0);
}

void WSocketTest::TearDown() {
    ws::testing::ClearInjections();
    EXPECT_EQ(WinsockUseCount(), 0);
    EXPECT_FALSE(WinsockLoaded());
    EXPECT_EQ(ws::testing::OpenSocketCount(), 0);
}

std::string MessageOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const ESocketException& E) {
        return E.what();
    }
    return "(nothing raised)";
}

std::string PatternBytes(std::size_t Count, unsigned Seed) {
    std::string bytes(Count, '\0');
    std::uint32_t state = 2463534242u ^ Seed;
    for (std::size_t i = 0; i < Count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = static_cast<char>(state & 0xFF);
    }
    return bytes;
}
