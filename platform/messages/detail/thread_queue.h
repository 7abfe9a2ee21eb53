// The message queue of one thread, shared by the message, window and Qt host
// files of platform/messages. Not for use outside platform/messages.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/messages/win_types.h"

namespace msgq {

// What a thread's event loop integration (the Qt host) provides.
class QueueHost {
public:
    virtual ~QueueHost() = default;
    // A message was posted. Called with the queue's lock held, from any
    // thread: it must only schedule work, never call back into the queue.
    virtual void Wake() = 0;
    // Waits for input (posted messages or the loop's own events), processing
    // the loop's events meanwhile. True unless the time-out passed with no input.
    virtual bool WaitForInput(DWORD milliseconds) = 0;
};

class ThreadQueue {
public:
    explicit ThreadQueue(DWORD threadId) : threadId_(threadId) {}

    DWORD ThreadId() const { return threadId_; }

    // False when the owning thread has ended.
    bool Post(const MSG& msg);
    void PostQuit(int exitCode);

    // hwnd: nullptr = any, (HWND)-1 = thread messages only, else that window.
    bool Peek(MSG* out, HWND hwnd, UINT minMsg, UINT maxMsg, bool remove);
    // The oldest posted message, WM_QUIT not included.
    bool TakeNextPosted(MSG* out);
    bool TakeQuit(int* exitCode);

    void DiscardWindow(HWND hwnd);
    std::size_t PostedCount();
    bool HasInput();

    // Waits until a message or WM_QUIT is waiting; false on time-out.
    bool WaitForPost(DWORD milliseconds);

    void SetHost(QueueHost* host);
    QueueHost* Host();

    // The owning thread ended: later posts fail and waiting messages are dropped.
    void Close();

private:
    bool HasInputLocked() const { return !messages_.empty() || quitPending_; }
    void NotifyLocked();

    const DWORD threadId_;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<MSG> messages_;
    bool quitPending_ = false;
    int quitCode_ = 0;
    bool closed_ = false;
    QueueHost* host_ = nullptr;
};

// The calling thread's queue, created on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();

// Called once when a thread that has a queue ends (destroys its windows).
void DestroyWindowsOfThread(DWORD threadId);

// Installs the Qt host on the calling thread when it is the thread of the
// QCoreApplication and no host is there yet (qt_message_host.cpp).
void AttachQtHostOnApplicationThread();

}  // namespace msgq
