#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/messages/messages.h"

namespace {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

thread_local std::vector<Seen>* seen = nullptr;

LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (seen != nullptr) seen->push_back({hwnd, msg, wParam, lParam});
    return static_cast<LRESULT>(wParam) * 2;
}

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        seen = &log;
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.cbWndExtra = 4;  // as the socket layer registers it: still holds a whole pointer
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TestWindowClass";
        ASSERT_NE(RegisterClassA(&wc), 0);
        a = NewWindow();
        b = NewWindow();
    }
    void TearDown() override {
        DestroyWindow(a);
        DestroyWindow(b);
        EXPECT_TRUE(UnregisterClassA("TestWindowClass", GetModuleHandleA(nullptr)));
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
        seen = nullptr;
    }
    static HWND NewWindow() {
        return CreateWindowExA(WS_EX_TOOLWINDOW, "TestWindowClass", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    std::vector<Seen> log;
    HWND a = nullptr;
    HWND b = nullptr;
};

TEST_F(WindowsTest, PeekFiltersByWindowAndRangeAndKeepsOrder) {
    ASSERT_TRUE(PostMessageA(a, WM_USER + 1, 1, 10));
    ASSERT_TRUE(PostMessageA(b, WM_USER + 2, 2, 20));
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 3, 3, 30));  // thread message
    ASSERT_TRUE(PostMessageA(a, WM_USER + 4, 4, 40));
    EXPECT_EQ(WaitingMessageCount(), 4);

    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));  // a look leaves it in place
    EXPECT_EQ(m.message, WM_USER + 2u);
    EXPECT_EQ(WaitingMessageCount(), 4);

    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 4, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 3u);
    EXPECT_EQ(m.hwnd, nullptr);

    ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE) == FALSE);  // no thread message left
    ASSERT_TRUE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_EQ(m.lParam, 10);
    EXPECT_EQ(DispatchMessageA(&m), 2);  // the procedure's result comes back
    ASSERT_TRUE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 4u);
    EXPECT_FALSE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(PumpWaitingMessages(), 1);  // b's message
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].hwnd, a);
    EXPECT_EQ(log[1].hwnd, b);
    EXPECT_EQ(log[1].lParam, 20);
}

TEST_F(WindowsTest, QuitComesAfterTheOtherMessages) {
    PostQuitMessage(3);
    PostMessageA(a, WM_USER, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_FALSE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));  // not to a window filter
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowsTest, ADestroyedWindowLosesItsMessagesAndItsHandle) {
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    PostMessageA(a, WM_USER + 3, 0, 0);
    ASSERT_TRUE(DestroyWindow(a));
    EXPECT_EQ(WaitingMessageCount(), 1);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(PostMessageA(a, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    const MSG stale{a, WM_USER, 5, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&stale), 0);  // reaches no procedure
    EXPECT_TRUE(log.empty());
    // Handles are never given out again.
    HWND c = NewWindow();
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
    DestroyWindow(c);
}

TEST_F(WindowsTest, WindowWordsHoldAWholePointer) {
    int object = 0;
    const auto value = reinterpret_cast<LONG_PTR>(&object);
    EXPECT_EQ(SetWindowLongA(a, 0, value), 0);
    EXPECT_EQ(GetWindowLongA(a, 0), value);
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongA(a, 0)), &object);
    EXPECT_EQ(SetWindowLongA(a, 0, 0), value);
    EXPECT_EQ(GetWindowLongA(b, 0), 0);  // each window has its own words
    SetLastError(0);
    EXPECT_EQ(GetWindowLongA(a, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    const LONG_PTR big = static_cast<LONG_PTR>(0x1234567887654321LL);
    SetWindowLongPtrA(a, GWL_USERDATA, big);
    EXPECT_EQ(GetWindowLongPtrA(a, GWL_USERDATA), big);
    EXPECT_EQ(GetWindowLongA(a, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));

    // Refused writes change nothing: a word past the extra bytes, a null procedure,
    // an index that names no word, a window that does not exist.
    EXPECT_EQ(SetWindowLongA(a, 8, value), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    EXPECT_EQ(SetWindowLongA(a, GWL_WNDPROC, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetWindowLongA(a, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));
    EXPECT_EQ(SetWindowLongA(a, -100, value), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    EXPECT_EQ(GetWindowLongA(a, -100), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    const HWND gone = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10));
    EXPECT_EQ(SetWindowLongA(gone, 0, value), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetWindowLongA(a, 0), 0);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    EXPECT_EQ(GetWindowLongA(a, GWL_HINSTANCE), reinterpret_cast<LONG_PTR>(instance));
}

TEST_F(WindowsTest, ClassesRegisterOnceAndUnregisterWithoutWindows) {
    WNDCLASSA wc{};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "testwindowclass", &wc));  // names ignore case
    EXPECT_EQ(wc.lpfnWndProc, &RecordingProc);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_FALSE(UnregisterClassA("TestWindowClass", GetModuleHandleA(nullptr)));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "NoSuchClass", &wc));
}

TEST_F(WindowsTest, PostsFromOtherThreadsArriveInOrder) {
    constexpr int kCount = 2000;
    std::thread poster([this] {
        for (int i = 0; i < kCount; ++i) PostMessageA(a, WM_USER, static_cast<WPARAM>(i), 0);
    });
    const DWORD deadline = GetTickCount() + 10000;
    while (static_cast<int>(log.size()) < kCount && !TickIsLater(GetTickCount(), deadline)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        PumpWaitingMessages();
    }
    poster.join();
    ASSERT_EQ(static_cast<int>(log.size()), kCount);
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(log[static_cast<size_t>(i)].wParam, static_cast<WPARAM>(i));
    // Only the owning thread destroys a window; a thread's windows end with it.
    HWND theirs = nullptr;
    std::thread other([&] {
        theirs = NewWindow();
        EXPECT_FALSE(DestroyWindow(a));
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    });
    other.join();
    EXPECT_NE(theirs, nullptr);
    EXPECT_FALSE(IsWindow(theirs));
    EXPECT_FALSE(PostMessageA(theirs, WM_USER, 0, 0));
}

TEST_F(WindowsTest, AProcedureThatKeepsPostingDoesNotHoldThePump) {
    struct Reposter {
        static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
            PostMessageA(hwnd, msg, wParam + 1, lParam);
            return 0;
        }
    };
    SetWindowLongA(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Reposter::Proc));
    PostMessageA(a, WM_USER, 0, 0);
    EXPECT_EQ(PumpWaitingMessages(), 1);
    EXPECT_EQ(WaitingMessageCount(), 1);
}

TEST(DebugOutput, GoesToTheSinkOnlyWhenOneIsSet) {
    OutputDebugStringA("nobody listens");
    std::vector<std::string> lines;
    SetDebugOutputSink([&lines](std::string_view text) { lines.emplace_back(text); });
    OutputDebugStringA("wsocket initialization section");
    SetDebugOutputSink(nullptr);
    OutputDebugStringA("gone again");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "wsocket initialization section");
    EXPECT_EQ(SystemErrorMessage(ERROR_MOD_NOT_FOUND), "The specified module could not be found.");
}

}  // namespace
