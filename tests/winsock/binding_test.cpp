// The module table, start-up rules, address text, options and the error
// codes of the plain calls.
#include <set>
#include <thread>

#include "tests/winsock/socket_fixture.h"

namespace sockettest {
namespace {

TEST(ModuleTable, LoadsBindsAndUnloadsByName) {
    ASSERT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 0);
    HMODULE h = LoadLibraryA("wsock32.dll");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(LoadLibraryA("C:\\Windows\\System32\\WSOCK32"), h);  // case, folder and extension do not matter
    EXPECT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 2);

    auto socketCall = reinterpret_cast<ws::PFN_socket>(GetProcAddress(h, "socket"));
    EXPECT_EQ(socketCall, &ws::socket);
    auto startup = reinterpret_cast<ws::PFN_WSAStartup>(GetProcAddress(h, "WSAStartup"));
    ASSERT_NE(startup, nullptr);
    ws::WSADATA data;
    EXPECT_EQ(startup(MAKEWORD(1, 1), &data), 0);
    EXPECT_EQ(data.wVersion, MAKEWORD(1, 1));
    EXPECT_EQ(reinterpret_cast<ws::PFN_WSACleanup>(GetProcAddress(h, "WSACleanup"))(), 0);

    EXPECT_EQ(GetProcAddress(h, "WSAIoctl"), nullptr);  // only in ws2_32.dll
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    HMODULE h2 = LoadLibraryA("ws2_32.dll");
    ASSERT_NE(h2, nullptr);
    EXPECT_EQ(reinterpret_cast<ws::PFN_WSAIoctl>(GetProcAddress(h2, "WSAIoctl")), &ws::WSAIoctl);
    EXPECT_TRUE(FreeLibrary(h2));

    EXPECT_EQ(LoadLibraryA("nosuch.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    ws::testing::FailNextCall("LoadLibraryA", static_cast<int>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("wsock32.dll"), nullptr);

    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_EQ(ws::testing::ModuleReferenceCount("wsock32.dll"), 0);
    EXPECT_FALSE(FreeLibrary(h));
    EXPECT_EQ(GetProcAddress(h, "socket"), nullptr);  // unloaded
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Startup, CallsNeedStartupAndTheLastCleanupClosesEverything) {
    EXPECT_EQ(ws::socket(ws::AF_INET, ws::SOCK_STREAM, 0), ws::INVALID_SOCKET);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSANOTINITIALISED);
    EXPECT_EQ(ws::WSACleanup(), ws::SOCKET_ERROR);
    ws::WSADATA data;
    EXPECT_EQ(ws::WSAStartup(0, &data), ws::WSAVERNOTSUPPORTED);
    ws::testing::FailNextCall("WSAStartup", ws::WSASYSNOTREADY);
    EXPECT_EQ(ws::WSAStartup(MAKEWORD(1, 1), &data), ws::WSASYSNOTREADY);
    EXPECT_EQ(ws::testing::StartupCount(), 0);

    ASSERT_EQ(ws::WSAStartup(MAKEWORD(1, 1), &data), 0);
    ASSERT_EQ(ws::WSAStartup(MAKEWORD(2, 2), &data), 0);
    EXPECT_EQ(data.wVersion, MAKEWORD(2, 2));
    const ws::SOCKET s = ws::socket(ws::AF_INET, ws::SOCK_STREAM, 0);
    ASSERT_NE(s, ws::INVALID_SOCKET);
    EXPECT_EQ(ws::WSACleanup(), 0);
    EXPECT_EQ(ws::testing::OpenSocketCount(), 1);  // not the last clean-up
    EXPECT_EQ(ws::WSACleanup(), 0);
    EXPECT_EQ(ws::testing::OpenSocketCount(), 0);
    EXPECT_EQ(ws::closesocket(s), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSANOTINITIALISED);
    // Started again, old handles stay invalid and new ones are new.
    ASSERT_EQ(ws::WSAStartup(MAKEWORD(1, 1), &data), 0);
    const ws::SOCKET t = ws::socket(ws::AF_INET, ws::SOCK_STREAM, 0);
    EXPECT_NE(t, s);
    EXPECT_EQ(ws::closesocket(s), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
    EXPECT_EQ(ws::closesocket(t), 0);
    EXPECT_EQ(ws::WSACleanup(), 0);
}

TEST(AddressText, ParsesAndFormatsLikeThePlatform) {
    auto text = [](const char* s) {
        ws::in_addr a{ws::inet_addr(s)};
        return std::string(ws::inet_ntoa(a));
    };
    EXPECT_EQ(text("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(text("10.1.2.3 "), "10.1.2.3");
    EXPECT_EQ(text("1.2.3"), "1.2.0.3");      // the last part fills 16 bits
    EXPECT_EQ(text("0x7f.1"), "127.0.0.1");   // hexadecimal, 24-bit tail
    EXPECT_EQ(text("010.0.0.1"), "8.0.0.1");  // octal
    for (const char* bad : {"", "256.1.1.1", "1.2.3.4x", "1..2.3", "1.2.3.4.5", "08.1.1.1", "a.b.c.d", "1.2.3."}) {
        EXPECT_EQ(ws::inet_addr(bad), ws::INADDR_NONE) << bad;
    }
    EXPECT_EQ(ws::inet_addr("255.255.255.255"), ws::INADDR_NONE);
    EXPECT_EQ(ws::htons(0x1234), ws::ntohs(0x1234));
    EXPECT_EQ(ws::ntohs(ws::htons(0x1234)), 0x1234);
    const ws::u_long net = ws::htonl(0x7F000001u);
    unsigned char bytes[4];
    std::memcpy(bytes, &net, 4);
    EXPECT_EQ(bytes[0], 127);
    EXPECT_EQ(bytes[3], 1);
    // inet_ntoa's buffer belongs to the calling thread.
    const char* mine = ws::inet_ntoa(ws::in_addr{ws::inet_addr("1.1.1.1")});
    std::thread([] { ws::inet_ntoa(ws::in_addr{ws::inet_addr("2.2.2.2")}); }).join();
    EXPECT_STREQ(mine, "1.1.1.1");
}

TEST_F(SocketTest, PlainCallsReportThePlatformsCodes) {
    char byte = 0;
    EXPECT_EQ(ws::recv(12345, &byte, 1, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
    EXPECT_EQ(ws::socket(99, ws::SOCK_STREAM, 0), ws::INVALID_SOCKET);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEAFNOSUPPORT);

    const ws::SOCKET s = ws::socket(ws::AF_INET, ws::SOCK_STREAM, 0);
    EXPECT_EQ(ws::send(s, "x", 1, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTCONN);
    EXPECT_EQ(ws::listen(s, 5), ws::SOCKET_ERROR);  // not bound yet
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
    ws::sockaddr_in name{};
    int len = sizeof name;
    EXPECT_EQ(ws::getsockname(s, reinterpret_cast<ws::sockaddr*>(&name), &len), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
    EXPECT_EQ(ws::accept(s, nullptr, nullptr), ws::INVALID_SOCKET);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
    auto nowhere = Loopback(21);
    nowhere.sin_addr.s_addr = ws::INADDR_ANY;
    EXPECT_EQ(ws::connect(s, Sa(nowhere), sizeof nowhere), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEADDRNOTAVAIL);
    EXPECT_EQ(ws::connect(s, Sa(nowhere), 8), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEFAULT);

    // Handles are never given out twice.
    std::set<ws::SOCKET> handles{s};
    for (int i = 0; i < 50; ++i) {
        const ws::SOCKET t = ws::socket(ws::AF_INET, ws::SOCK_DGRAM, 0);
        EXPECT_TRUE(handles.insert(t).second);
        ws::closesocket(t);
    }
    EXPECT_EQ(ws::closesocket(s), 0);
    EXPECT_EQ(ws::closesocket(s), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
}

TEST_F(SocketTest, OptionsUseThePlatformsNumbering) {
    const ws::SOCKET s = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
    int value = 0;
    int len = sizeof value;
    ASSERT_EQ(ws::getsockopt(s, ws::SOL_SOCKET, ws::SO_SNDBUF, reinterpret_cast<char*>(&value), &len), 0);
    EXPECT_EQ(len, 4);
    EXPECT_GT(value, 0);
    EXPECT_EQ(ws::getsockopt(s, ws::SOL_SOCKET, ws::SO_REUSEADDR, reinterpret_cast<char*>(&value), &len), 0);
    EXPECT_EQ(value, 0);
    const int on = -1;  // any non-zero value is true
    ASSERT_EQ(ws::setsockopt(s, ws::SOL_SOCKET, ws::SO_REUSEADDR, reinterpret_cast<const char*>(&on), 4), 0);
    ASSERT_EQ(ws::setsockopt(s, ws::IPPROTO_TCP, ws::TCP_NODELAY, reinterpret_cast<const char*>(&on), 4), 0);
    ASSERT_EQ(ws::setsockopt(s, ws::SOL_SOCKET, ws::SO_KEEPALIVE, reinterpret_cast<const char*>(&on), 4), 0);
    for (const int option : {ws::SO_REUSEADDR, ws::SO_KEEPALIVE}) {
        ASSERT_EQ(ws::getsockopt(s, ws::SOL_SOCKET, option, reinterpret_cast<char*>(&value), &len), 0);
        EXPECT_EQ(value, 1) << option;
    }
    const ws::linger l{1, 10};
    ASSERT_EQ(ws::setsockopt(s, ws::SOL_SOCKET, ws::SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l), 0);
    ws::linger back{};
    len = sizeof back;
    ASSERT_EQ(ws::getsockopt(s, ws::SOL_SOCKET, ws::SO_LINGER, reinterpret_cast<char*>(&back), &len), 0);
    EXPECT_EQ(back.l_onoff, 1);
    EXPECT_EQ(back.l_linger, 10);
    EXPECT_EQ(ws::setsockopt(s, ws::SOL_SOCKET, 0x7777, reinterpret_cast<const char*>(&on), 4), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOPROTOOPT);

    ws::tcp_keepalive keep{1, 30000, 1000};
    DWORD returned = 99;
    EXPECT_EQ(ws::WSAIoctl(s, ws::SIO_KEEPALIVE_VALS, &keep, sizeof keep, nullptr, 0, &returned, nullptr, nullptr), 0);
    EXPECT_EQ(returned, 0u);
    ws::u_long one = 1;
    EXPECT_EQ(ws::WSAIoctl(s, ws::SIO_RCVALL, &one, 4, nullptr, 0, &returned, nullptr, nullptr), ws::SOCKET_ERROR);

    // Once selected, a socket cannot go back to blocking mode.
    ws::u_long blocking = 0;
    EXPECT_EQ(ws::ioctlsocket(s, ws::FIONBIO, &blocking), 0);
    ASSERT_EQ(ws::WSAAsyncSelect(s, window, kSelectMsg, ws::FD_READ), 0);
    EXPECT_EQ(ws::ioctlsocket(s, ws::FIONBIO, &blocking), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
    EXPECT_EQ(ws::WSAAsyncSelect(s, window, kSelectMsg, 0x1000), ws::SOCKET_ERROR);  // unknown event bit
    ws::closesocket(s);
}

TEST_F(SocketTest, InjectedFailuresHitTheNamedCallOnce) {
    const auto [c, a] = Connected();
    ws::testing::FailNextCall("send", ws::WSAECONNRESET);
    EXPECT_EQ(SendText(c, "lost"), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAECONNRESET);
    const std::size_t mark = log.size();
    EXPECT_EQ(SendText(c, "kept"), 4);
    ASSERT_EQ(WaitEvent(a, ws::FD_READ, mark), 0);
    EXPECT_EQ(ReceiveText(a), "kept");
    ws::testing::FailNextCall("recv", ws::WSAECONNABORTED, 2);
    char byte;
    EXPECT_EQ(ws::recv(a, &byte, 1, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::recv(a, &byte, 1, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAECONNABORTED);
    EXPECT_EQ(ws::recv(a, &byte, 1, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);  // the real call again
    // The peer address as the accepted side sees it.
    ws::sockaddr_in peer{};
    int len = sizeof peer;
    ASSERT_EQ(ws::getpeername(a, reinterpret_cast<ws::sockaddr*>(&peer), &len), 0);
    EXPECT_STREQ(ws::inet_ntoa(peer.sin_addr), "127.0.0.1");
    EXPECT_EQ(ws::ntohs(peer.sin_port), PortOf(c));
    ws::closesocket(a);
    ws::closesocket(c);
}

}  // namespace
}  // namespace sockettest
