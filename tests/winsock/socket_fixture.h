// Shared set-up of the socket tests: Windows Sockets started, one hidden
// window that records every notification, and waits that pump the queue
// until a condition holds or a deadline passes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/messages/messages.h"
#include "platform/winsock/winsock.h"
#include "platform/winsock/winsock_testing.h"

namespace sockettest {

constexpr UINT kSelectMsg = WM_USER + 1;
constexpr UINT kLookupMsg = WM_USER + 2;

struct Note {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<Note>* notes = nullptr;

inline LRESULT RecordingProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (notes != nullptr) notes->push_back({msg, wParam, lParam});
    return 0;
}

class SocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws::WSADATA data;
        ASSERT_EQ(ws::WSAStartup(MAKEWORD(1, 1), &data), 0);
        notes = &log;
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.cbWndExtra = 4;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SocketTestWindow";
        ASSERT_NE(RegisterClassA(&wc), 0);
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "SocketTestWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        ws::testing::ClearInjections();
        while (ws::testing::StartupCount() > 0) ws::WSACleanup();
        EXPECT_EQ(ws::testing::OpenSocketCount(), 0);
        DestroyWindow(window);
        UnregisterClassA("SocketTestWindow", GetModuleHandleA(nullptr));
        notes = nullptr;
    }

    // Pumps the queue until `done` holds; false when `ms` passed first.
    bool WaitUntil(const std::function<bool()>& done, int ms = 5000) {
        const DWORD deadline = GetTickCount() + static_cast<DWORD>(ms);
        for (;;) {
            PumpWaitingMessages();
            if (done()) return true;
            const std::int32_t left = TickDifference(deadline, GetTickCount());
            if (left <= 0) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        }
    }

    // Index of the first select notification for (s, event) at or after `from`, or -1.
    int Find(ws::SOCKET s, LONG event, std::size_t from = 0) const {
        for (std::size_t i = from; i < log.size(); ++i) {
            const Note& n = log[i];
            if (n.msg == kSelectMsg && n.wParam == s && ws::WSAGETSELECTEVENT(n.lParam) == event) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    int Count(ws::SOCKET s, LONG event) const {
        int count = 0;
        for (std::size_t i = 0; i < log.size(); ++i) count += Find(s, event, i) == static_cast<int>(i) ? 1 : 0;
        return count;
    }

    // Waits for the next (s, event) notification after `from`; its error code, or -1 on time-out.
    int WaitEvent(ws::SOCKET s, LONG event, std::size_t from = 0, int ms = 5000) {
        if (!WaitUntil([&] { return Find(s, event, from) >= 0; }, ms)) return -1;
        return ws::WSAGETSELECTERROR(log[static_cast<std::size_t>(Find(s, event, from))].lParam);
    }

    static ws::sockaddr_in Loopback(ws::u_short port) {
        ws::sockaddr_in a{};
        a.sin_family = static_cast<std::int16_t>(ws::AF_INET);
        a.sin_port = ws::htons(port);
        a.sin_addr.s_addr = ws::inet_addr("127.0.0.1");
        return a;
    }

    static const ws::sockaddr* Sa(const ws::sockaddr_in& a) { return reinterpret_cast<const ws::sockaddr*>(&a); }

    static ws::u_short PortOf(ws::SOCKET s) {
        ws::sockaddr_in a{};
        int len = sizeof a;
        if (ws::getsockname(s, reinterpret_cast<ws::sockaddr*>(&a), &len) != 0) return 0;
        return ws::ntohs(a.sin_port);
    }

    // A listening socket on 127.0.0.1 and a free port; selected when `select`.
    ws::SOCKET Listener(bool select = true) {
        ws::SOCKET l = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
        const auto any = Loopback(0);
        EXPECT_EQ(ws::bind(l, Sa(any), sizeof any), 0);
        EXPECT_EQ(ws::listen(l, 5), 0);
        if (select) {
            EXPECT_EQ(ws::WSAAsyncSelect(l, window, kSelectMsg, ws::FD_ACCEPT | ws::FD_CLOSE), 0);
        }
        return l;
    }

    struct Pair {
        ws::SOCKET client;    // connected asynchronously, selected for everything
        ws::SOCKET accepted;  // selected for read, write and close
    };

    // A connection on loopback, set up the way the socket component does it.
    Pair Connected() {
        const ws::SOCKET l = Listener();
        const ws::SOCKET c = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
        EXPECT_EQ(ws::WSAAsyncSelect(c, window, kSelectMsg,
                                     ws::FD_READ | ws::FD_WRITE | ws::FD_ACCEPT | ws::FD_CONNECT | ws::FD_CLOSE),
                  0);
        const auto to = Loopback(PortOf(l));
        const int rc = ws::connect(c, Sa(to), sizeof to);
        EXPECT_TRUE(rc == 0 || ws::WSAGetLastError() == ws::WSAEWOULDBLOCK);
        EXPECT_EQ(WaitEvent(c, ws::FD_CONNECT), 0);
        EXPECT_EQ(WaitEvent(l, ws::FD_ACCEPT), 0);
        const ws::SOCKET a = ws::accept(l, nullptr, nullptr);
        EXPECT_NE(a, ws::INVALID_SOCKET);
        EXPECT_EQ(ws::closesocket(l), 0);
        EXPECT_EQ(ws::WSAAsyncSelect(a, window, kSelectMsg, ws::FD_READ | ws::FD_WRITE | ws::FD_CLOSE), 0);
        EXPECT_EQ(WaitEvent(a, ws::FD_WRITE), 0);
        return {c, a};
    }

    static int SendText(ws::SOCKET s, const std::string& text) {
        return ws::send(s, text.data(), static_cast<int>(text.size()), 0);
    }

    static std::string ReceiveText(ws::SOCKET s, int max = 4096) {
        std::string buffer(static_cast<std::size_t>(max), '\0');
        const int n = ws::recv(s, buffer.data(), max, 0);
        buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buffer;
    }

    static ws::u_long Waiting(ws::SOCKET s) {
        ws::u_long n = 0;
        ws::ioctlsocket(s, ws::FIONREAD, &n);
        return n;
    }

    std::vector<Note> log;
    HWND window = nullptr;
};

}  // namespace sockettest
