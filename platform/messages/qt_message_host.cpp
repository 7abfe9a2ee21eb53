// The Qt host: lets Qt's event loop pump the thread's message queue.
//
// A post to the queue (from any thread) posts one wake event to the host
// object; Qt delivers it in whatever loop runs on the thread (idle main loop,
// nested loop, modal dialog, processEvents), and the host then dispatches the
// messages that are waiting. Wake events are coalesced, so a burst of posts
// costs one Qt event. Nothing polls.
#include "platform/messages/qt_message_host.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <climits>
#include <memory>
#include <mutex>

#include "platform/messages/detail/thread_queue.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/thread_services.h"

namespace {

struct ExceptionHandlerSlot {
    std::mutex mutex;
    std::function<void(std::exception_ptr)> handler;
};

ExceptionHandlerSlot& TheExceptionHandler() {
    static ExceptionHandlerSlot* slot = new ExceptionHandlerSlot;
    return *slot;
}

void ReportException(std::exception_ptr error) {
    std::function<void(std::exception_ptr)> handler;
    {
        ExceptionHandlerSlot& slot = TheExceptionHandler();
        std::lock_guard lock(slot.mutex);
        handler = slot.handler;
    }
    try {
        if (handler) {
            handler(error);
            return;
        }
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
    } catch (...) {
        OutputDebugStringA("unknown exception in a window procedure");
    }
}

QEvent::Type WakeEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class QtMessageHost;
thread_local QtMessageHost* tlsHost = nullptr;

class QtMessageHost final : public QObject, public msgq::QueueHost {
public:
    explicit QtMessageHost(QObject* parent) : QObject(parent), queue_(msgq::CurrentQueue()) {
        tlsHost = this;
        queue_->SetHost(this);
    }

    ~QtMessageHost() override {
        queue_->SetHost(nullptr);
        if (tlsHost == this) tlsHost = nullptr;
    }

    void Wake() override {
        if (!wakePending_.exchange(true)) QCoreApplication::postEvent(this, new QEvent(WakeEventType()));
    }

    bool WaitForInput(DWORD milliseconds) override {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
        if (dispatcher == nullptr) return queue_->WaitForPost(milliseconds);
        bool timedOut = false;
        QTimer timer;
        if (milliseconds != INFINITE) {
            timer.setSingleShot(true);
            timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&timer, &QTimer::timeout, [&timedOut] { timedOut = true; });
            timer.start(static_cast<int>(milliseconds > static_cast<DWORD>(INT_MAX) ? INT_MAX : milliseconds));
        }
        ++waitDepth_;
        // One pass of the loop: it sleeps until Qt has an event, a post wakes
        // it (the wake event interrupts the pass once the messages ran) or
        // the timer fires.
        dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
        --waitDepth_;
        return !timedOut || queue_->HasInput();
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() != WakeEventType()) return QObject::event(e);
        wakePending_.store(false);
        Pump();
        return true;
    }

private:
    void Pump() {
        try {
            PumpWaitingMessages();
        } catch (...) {
            ReportException(std::current_exception());
        }
        int exitCode = 0;
        if (queue_->TakeQuit(&exitCode)) QCoreApplication::exit(exitCode);
        if (queue_->PostedCount() > 0) Wake();  // posted meanwhile: another turn, after Qt's own events
        if (waitDepth_ > 0) {
            QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
            if (dispatcher != nullptr) dispatcher->interrupt();
        }
    }

    std::shared_ptr<msgq::ThreadQueue> queue_;
    std::atomic<bool> wakePending_{false};
    int waitDepth_ = 0;
};

}  // namespace

bool InstallQtMessageHost() {
    if (tlsHost != nullptr) return true;
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return false;
    // On the application's thread the host dies with the application.
    new QtMessageHost(app->thread() == QThread::currentThread() ? app : nullptr);
    return true;
}

void RemoveQtMessageHost() { delete tlsHost; }

void msgq::AttachQtHostOnApplicationThread() {
    if (tlsHost != nullptr) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && app->thread() == QThread::currentThread()) InstallQtMessageHost();
}

bool QtMessageHostInstalled() { return tlsHost != nullptr; }

void SetMessageExceptionHandler(std::function<void(std::exception_ptr)> handler) {
    ExceptionHandlerSlot& slot = TheExceptionHandler();
    std::lock_guard lock(slot.mutex);
    slot.handler = std::move(handler);
}
