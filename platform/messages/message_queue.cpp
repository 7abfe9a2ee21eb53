// Per-thread message queues: posting, peeking, waiting and pumping.
#include "platform/messages/message_queue.h"

#include <chrono>
#include <thread>

#include "platform/messages/detail/thread_queue.h"
#include "platform/messages/hidden_windows.h"
#include "platform/messages/thread_services.h"
#include "platform/messages/ticks.h"

namespace msgq {

namespace {

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));

bool Matches(const MSG& m, HWND hwnd, UINT minMsg, UINT maxMsg) {
    if (hwnd == kThreadMessagesOnly) {
        if (m.hwnd != nullptr) return false;
    } else if (hwnd != nullptr && m.hwnd != hwnd) {
        return false;
    }
    if (minMsg == 0 && maxMsg == 0) return true;
    return m.message >= minMsg && m.message <= maxMsg;
}

// Ends the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (queue) {
            DestroyWindowsOfThread(queue->ThreadId());
            queue->Close();
        }
    }
};

thread_local QueueHolder tlsQueue;

}  // namespace

bool ThreadQueue::Post(const MSG& msg) {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    messages_.push_back(msg);
    NotifyLocked();
    return true;
}

void ThreadQueue::PostQuit(int exitCode) {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    quitPending_ = true;
    quitCode_ = exitCode;
    NotifyLocked();
}

void ThreadQueue::NotifyLocked() {
    posted_.notify_all();
    if (host_ != nullptr) host_->Wake();
}

bool ThreadQueue::Peek(MSG* out, HWND hwnd, UINT minMsg, UINT maxMsg, bool remove) {
    std::lock_guard lock(mutex_);
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
        if (!Matches(*it, hwnd, minMsg, maxMsg)) continue;
        *out = *it;
        if (remove) messages_.erase(it);
        return true;
    }
    // WM_QUIT comes only when nothing else is waiting, and only to an
    // unfiltered (or thread-message) peek whose range includes it.
    const bool quitInRange = (minMsg == 0 && maxMsg == 0) || (WM_QUIT >= minMsg && WM_QUIT <= maxMsg);
    if (quitPending_ && quitInRange && (hwnd == nullptr || hwnd == kThreadMessagesOnly)) {
        *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode_), 0, GetTickCount(), {0, 0}};
        if (remove) quitPending_ = false;
        return true;
    }
    return false;
}

bool ThreadQueue::TakeNextPosted(MSG* out) {
    std::lock_guard lock(mutex_);
    if (messages_.empty()) return false;
    *out = messages_.front();
    messages_.pop_front();
    return true;
}

bool ThreadQueue::TakeQuit(int* exitCode) {
    std::lock_guard lock(mutex_);
    if (!quitPending_) return false;
    quitPending_ = false;
    *exitCode = quitCode_;
    return true;
}

void ThreadQueue::DiscardWindow(HWND hwnd) {
    std::lock_guard lock(mutex_);
    std::erase_if(messages_, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

std::size_t ThreadQueue::PostedCount() {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

bool ThreadQueue::HasInput() {
    std::lock_guard lock(mutex_);
    return HasInputLocked();
}

bool ThreadQueue::WaitForPost(DWORD milliseconds) {
    std::unique_lock lock(mutex_);
    if (milliseconds == INFINITE) {
        posted_.wait(lock, [this] { return HasInputLocked(); });
        return true;
    }
    return posted_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return HasInputLocked(); });
}

void ThreadQueue::SetHost(QueueHost* host) {
    std::lock_guard lock(mutex_);
    host_ = host;
    if (host_ != nullptr && HasInputLocked()) host_->Wake();
}

QueueHost* ThreadQueue::Host() {
    std::lock_guard lock(mutex_);
    return host_;
}

void ThreadQueue::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    messages_.clear();
    quitPending_ = false;
    host_ = nullptr;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!tlsQueue.queue) tlsQueue.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
    return tlsQueue.queue;
}

}  // namespace msgq

// Posting to a window lives with the window registry (hidden_windows.cpp),
// which knows each window's queue; a null window posts to this thread.

void PostQuitMessage(int exitCode) { msgq::CurrentQueue()->PostQuit(exitCode); }

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT minMsg, UINT maxMsg, UINT removeMsg) {
    if (msg == nullptr) return FALSE;
    return msgq::CurrentQueue()->Peek(msg, hwnd, minMsg, maxMsg, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE*, BOOL, DWORD milliseconds, DWORD wakeMask) {
    if (nCount != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    constexpr DWORD kPostBits = QS_POSTMESSAGE | QS_ALLPOSTMESSAGE | QS_SENDMESSAGE;
    constexpr DWORD kLoopBits = QS_INPUT | QS_PAINT | QS_TIMER | QS_HOTKEY;
    auto queue = msgq::CurrentQueue();
    const bool wakeOnPosts = (wakeMask & kPostBits) != 0;
    if (wakeOnPosts && queue->HasInput()) return WAIT_OBJECT_0;
    if (milliseconds == 0) return WAIT_TIMEOUT;

    msgq::QueueHost* host = queue->Host();
    if (host != nullptr && (wakeMask & (kPostBits | kLoopBits)) != 0) {
        return host->WaitForInput(milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    if (wakeOnPosts) return queue->WaitForPost(milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    // Nothing can wake this wait: it only times out.
    if (milliseconds == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return WAIT_TIMEOUT;
}

int PumpWaitingMessages() {
    auto queue = msgq::CurrentQueue();
    // Only what is waiting now: a procedure that keeps posting to itself must
    // not keep this call (and so Qt's loop) from returning.
    std::size_t budget = queue->PostedCount();
    int dispatched = 0;
    MSG msg;
    while (budget-- > 0 && queue->TakeNextPosted(&msg)) {
        ++dispatched;
        DispatchMessageA(&msg);
    }
    return dispatched;
}

int WaitingMessageCount() { return static_cast<int>(msgq::CurrentQueue()->PostedCount()); }
