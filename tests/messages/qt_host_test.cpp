#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/messages/messages.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Posts a message from a thread of its own after a pause (on a condition
// nobody signals), so the receiving loop has to sleep and be woken.
class DelayedPoster {
public:
    DelayedPoster(HWND hwnd, UINT msg, int delayMs)
        : thread_([=, this] {
              std::unique_lock lock(mutex_);
              never_.wait_for(lock, std::chrono::milliseconds(delayMs));
              PostMessageA(hwnd, msg, 0, 0);
          }) {}
    ~DelayedPoster() { thread_.join(); }

private:
    std::mutex mutex_;
    std::condition_variable never_;
    std::thread thread_;
};

struct HostScene {
    std::vector<UINT> delivered;
    QEventLoop* nested = nullptr;
    std::unique_ptr<DelayedPoster> second;
    HWND window = nullptr;
};

HostScene* scene = nullptr;

constexpr UINT kFirst = WM_USER + 1;
constexpr UINT kSecond = WM_USER + 2;
constexpr UINT kSelf = WM_USER + 3;
constexpr UINT kThrow = WM_USER + 4;

LRESULT SceneProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    scene->delivered.push_back(msg);
    if (msg == kFirst) {
        // A nested loop, as a modal dialog or the live redraw runs one: the
        // second message must reach us inside it.
        QEventLoop loop;
        scene->nested = &loop;
        scene->second = std::make_unique<DelayedPoster>(hwnd, kSecond, 150);
        loop.exec();
        scene->nested = nullptr;
        PostMessageA(hwnd, kSelf, 0, 0);  // posted on the GUI thread itself
    } else if (msg == kSecond) {
        scene->nested->quit();
    } else if (msg == kSelf) {
        PostQuitMessage(7);  // the host turns it into the end of exec()
    } else if (msg == kThrow) {
        throw std::runtime_error("handler failed");
    }
    return 0;
}

class QtHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<QCoreApplication>(argc, argv);
        ASSERT_TRUE(InstallQtMessageHost());
        EXPECT_TRUE(QtMessageHostInstalled());
        WNDCLASSA wc{};
        wc.lpfnWndProc = SceneProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QtHostTestClass";
        ASSERT_NE(RegisterClassA(&wc), 0);
        scene = &state;
        state.window = CreateWindowExA(0, "QtHostTestClass", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        state.second.reset();
        DestroyWindow(state.window);
        UnregisterClassA("QtHostTestClass", GetModuleHandleA(nullptr));
        app.reset();
        EXPECT_FALSE(QtMessageHostInstalled());  // went with the application
        scene = nullptr;
        SetMessageExceptionHandler(nullptr);
    }
    int argc = 1;
    char name[8] = "test";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    HostScene state;
};

TEST_F(QtHostTest, IdleAndNestedLoopsDeliverPostsWithoutSpinning) {
    DelayedPoster first(state.window, kFirst, 200);
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = Clock::now();
    const int code = app->exec();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    EXPECT_EQ(code, 7);
    EXPECT_EQ(state.delivered, (std::vector<UINT>{kFirst, kSecond, kSelf}));
    EXPECT_GE(wall, 0.3);
    // Two waits of 150 ms and more: a loop that polled would burn most of it.
    EXPECT_LT(cpu, wall * 0.3) << "cpu " << cpu << " s over " << wall << " s";
}

TEST_F(QtHostTest, ProcessEventsPumpsAndExceptionsStayOutOfQt) {
    std::vector<std::string> caught;
    SetMessageExceptionHandler([&caught](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            caught.emplace_back(ex.what());
        }
    });
    PostMessageA(state.window, kThrow, 0, 0);
    PostMessageA(state.window, kSecond + 10, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(caught, (std::vector<std::string>{"handler failed"}));
    // The message after the failing one is delivered too (on the next turn).
    QCoreApplication::processEvents();
    EXPECT_EQ(state.delivered, (std::vector<UINT>{kThrow, kSecond + 10}));
}

TEST_F(QtHostTest, AWindowOnTheApplicationThreadBringsTheHost) {
    RemoveQtMessageHost();
    EXPECT_FALSE(QtMessageHostInstalled());
    PostMessageA(state.window, kSecond + 30, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(state.delivered.empty());  // no host: Qt knows nothing of the queue
    HWND another =
        CreateWindowExA(0, "QtHostTestClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(QtMessageHostInstalled());
    QCoreApplication::processEvents();  // the message already waiting is delivered
    EXPECT_EQ(state.delivered, (std::vector<UINT>{kSecond + 30}));
    DestroyWindow(another);
}

TEST_F(QtHostTest, MsgWaitLetsQtRunAndWakesOnAPost) {
    bool timerFired = false;
    QTimer::singleShot(10, [&timerFired] { timerFired = true; });
    // Qt's own events are processed while waiting.
    for (int i = 0; i < 20 && !timerFired; ++i) MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    EXPECT_TRUE(timerFired);
    // Nothing at all: the wait times out.
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60, QS_ALLINPUT), WAIT_TIMEOUT);
    // A post from another thread ends the wait long before its time-out.
    const auto waitStart = Clock::now();
    {
        DelayedPoster poster(state.window, kSecond + 20, 50);
        DWORD result = WAIT_TIMEOUT;
        for (int i = 0; i < 5 && state.delivered.empty() && WaitingMessageCount() == 0; ++i) {
            result = MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT);
        }
        EXPECT_EQ(result, WAIT_OBJECT_0);
    }
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - waitStart).count(), 4.0);
    QCoreApplication::processEvents();
    EXPECT_EQ(state.delivered, (std::vector<UINT>{kSecond + 20}));
}

}  // namespace
