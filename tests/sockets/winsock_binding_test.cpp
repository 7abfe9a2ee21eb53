// Loading Windows Sockets by name, the use count, unloading, and the failure texts.
#include <gtest/gtest.h>

#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_testing.h"
#include "sockets/socket_test_support.h"

namespace {

using WinsockBinding = WSocketTest;

bool EndsWith(const std::string& Text, const std::string& Tail) {
    return Text.size() >= Tail.size() && Text.compare(Text.size() - Tail.size(), Tail.size(), Tail) == 0;
}

TEST_F(WinsockBinding, LoadedByTheFirstCallUnloadedWithTheLastSocket) {
    EXPECT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 0);
    {
        TCustomWSocket first;
        TCustomWSocket second;
        EXPECT_EQ(WinsockUseCount(), 2);
        EXPECT_FALSE(WinsockLoaded());  // creating a socket loads nothing
        first.SetAddr("127.0.0.1");
        first.SetPort("0");
        first.Listen();
        EXPECT_TRUE(WinsockLoaded());
        EXPECT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 1);
        EXPECT_EQ(ws::testing::StartupCount(), 1);
    }
    EXPECT_EQ(WinsockUseCount(), 0);
    EXPECT_FALSE(WinsockLoaded());
    EXPECT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 0);
    EXPECT_EQ(ws::testing::StartupCount(), 0);

    // The first operation after that loads and starts the library again.
    TCustomWSocket again;
    again.SetAddr("127.0.0.1");
    again.SetPort("0");
    again.Listen();
    EXPECT_EQ(again.State(), wsListening);
    EXPECT_EQ(ws::testing::StartupCount(), 1);
}

TEST_F(WinsockBinding, IoctlLoadsBothLibrariesAndStartsThroughWsock32) {
    DWORD returned = 0;
    std::uint32_t in = 0;
    EXPECT_EQ(WSocket::CountedWSAIoctl(ws::INVALID_SOCKET, ws::SIO_RCVALL, &in, sizeof in, nullptr, 0, &returned,
                                       nullptr, nullptr),
              ws::SOCKET_ERROR);
    EXPECT_EQ(WSocket::WSAGetLastError(), ws::WSAENOTSOCK);
    EXPECT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 1);
    EXPECT_EQ(ws::testing::ModuleReferenceCount("ws2_32.dll"), 1);
    EXPECT_EQ(ws::testing::StartupCount(), 1);
    EXPECT_EQ(WinsockUseCount(), 0);  // the counted call gave its count back
    UnloadWinsock();
    EXPECT_EQ(ws::testing::ModuleReferenceCount("ws2_32.dll"), 0);
    EXPECT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 0);
}

TEST_F(WinsockBinding, UnloadWaitsForTheLastUser) {
    IncrementWinsockUse();
    WSocket::htons(21);
    UnloadWinsock();
    EXPECT_TRUE(WinsockLoaded());
    DecrementWinsockUse();
    UnloadWinsock();
    EXPECT_FALSE(WinsockLoaded());
}

TEST_F(WinsockBinding, FailureTexts) {
    ws::testing::FailNextCall("LoadLibraryA", 126);
    std::string text = MessageOf([] { WSocket::htons(1); });
    EXPECT_EQ(text.rfind("Unable to load wsock32.dll - ", 0), 0u) << text;
    EXPECT_TRUE(EndsWith(text, "(#126)")) << text;
    EXPECT_FALSE(WinsockLoaded());

    ws::testing::FailNextCall("WSAStartup", ws::WSASYSNOTREADY);
    text = MessageOf([] { WSocket::htons(1); });
    EXPECT_EQ(text.rfind("Winsock startup error wsock32.dll - ", 0), 0u) << text;
    EXPECT_TRUE(EndsWith(text, "(#10091)")) << text;
    // The module stays loaded without a started Windows Sockets; calls then fail in it.
    EXPECT_TRUE(WinsockLoaded());
    EXPECT_EQ(WSocket::socket(ws::AF_INET, ws::SOCK_STREAM, 0), ws::INVALID_SOCKET);
    EXPECT_EQ(WSocket::WSAGetLastError(), ws::WSANOTINITIALISED);
    UnloadWinsock();
    EXPECT_FALSE(WinsockLoaded());

    WSocket::htons(1);
    ws::testing::FailNextCall("GetProcAddress", 127);
    text = MessageOf([] { WSocket::ntohs(1); });
    EXPECT_EQ(text.rfind("Procedure ntohs not found in wsock32.dll - ", 0), 0u) << text;
    EXPECT_TRUE(EndsWith(text, "(#127)")) << text;
    EXPECT_EQ(WSocket::ntohs(WSocket::htons(80)), 80);  // bound on the next try
    UnloadWinsock();

    WSocket::htons(1);  // wsock32 is loaded: only ws2_32 meets the failure
    ws::testing::FailNextCall("LoadLibraryA", 126);
    DWORD returned = 0;
    text = MessageOf([&] {
        WSocket::WSAIoctl(ws::INVALID_SOCKET, ws::SIO_RCVALL, nullptr, 0, nullptr, 0, &returned, nullptr, nullptr);
    });
    EXPECT_EQ(text.rfind("Unable to load ws2_32.dll - ", 0), 0u) << text;
    UnloadWinsock();
    EXPECT_FALSE(WinsockLoaded());
}

// Refusing a change of the requested version is a plain refusal: no stale Windows
// Sockets error in the text, no socket closed.
TEST_F(WinsockBinding, VersionChangeRefusedWhileLoaded) {
    LoopbackServer server;
    TCustomWSocket client;
    ConnectLoopback(client, server);

    client.SetReqVerLow(1);  // the current value: accepted silently
    WSocket::WSASetLastError(ws::WSAECONNRESET);
    EXPECT_EQ(MessageOf([&] { client.SetReqVerLow(2); }), "SetReqVerLow: WinSock version can't be changed now");
    WSocket::WSASetLastError(ws::WSAENOTCONN);
    EXPECT_EQ(MessageOf([&] { client.SetReqVerHigh(2); }), "SetReqVerHigh: WinSock version can't be changed now");
    EXPECT_EQ(client.State(), wsConnected);
    EXPECT_EQ(server.Peer()->State(), wsConnected);
    EXPECT_EQ(client.LastError, 0);
    EXPECT_EQ(client.ReqVerLow(), 1);

    int errors = 0;
    client.OnError = [&](TCustomWSocket*) { ++errors; };
    client.SetReqVerLow(2);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(client.State(), wsConnected);
    EXPECT_EQ(client.ReqVerLow(), 1);
}

TEST_F(WinsockBinding, VersionChangeAcceptedWhileUnloaded) {
    {
        TCustomWSocket socket;
        socket.SetReqVerHigh(2);
        EXPECT_EQ(socket.ReqVerHigh(), 2);
        TCustomWSocket other;
        EXPECT_EQ(other.ReqVerHigh(), 2);  // shared by all sockets
        socket.SetReqVerHigh(1);
    }
    EXPECT_EQ(WinsockReqVerHigh(), 1);
}

}  // namespace
