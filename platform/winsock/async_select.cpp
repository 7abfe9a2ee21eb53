// WSAAsyncSelect and the watcher thread that turns socket readiness into
// posted window messages.
//
// One thread polls every selected socket for the events that are armed and
// posts the notification when one becomes due, then disarms it until its
// re-arming call (recv, accept, a send that would block...) runs. State is
// kept in the socket table under its mutex; a posted notification is always
// posted under that mutex after checking that the handle is still open, so
// nothing is posted for a socket once closesocket has removed it.
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/detail/win_values.h"
#include "platform/winsock/winsock_api.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <thread>

#include "platform/messages/hidden_windows.h"
#include "platform/messages/message_queue.h"

namespace wsimpl {

namespace {

struct Watcher {
    std::mutex mutex;  // guards starting and stopping the thread
    std::thread thread;
    std::atomic<bool> stop{false};
    int wakeFd = -1;  // an eventfd, created once and never closed
};

Watcher& TheWatcher() {
    static Watcher* w = [] {
        auto* created = new Watcher;  // never destroyed: other threads may wake it until the end
        created->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        return created;
    }();
    return *w;
}

void Post(SocketEntry& e, LONG event, int error) {
    ::PostMessageA(e.hwnd, e.msg, static_cast<WPARAM>(e.handle),
                   ws::WSAMAKESELECTREPLY(static_cast<WORD>(event), static_cast<WORD>(error)));
}

int WaitingBytes(const SocketEntry& e) {
    int n = 0;
    if (::ioctl(e.fd->fd(), FIONREAD, &n) != 0) return 0;
    return n;
}

int TakeSocketError(const SocketEntry& e) {
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(e.fd->fd(), SOL_SOCKET, SO_ERROR, &err, &len) != 0) return ErrorFromErrno(errno);
    return ErrorFromErrno(err);
}

// Posts what is due without waiting for the system: a connect result not yet
// reported, and after the peer's close the data still waiting (FD_READ)
// followed by FD_CLOSE.
void PostDueLocked(SocketEntry& e) {
    if (!e.Selected()) return;
    if (e.connect == ConnectPhase::Done && !e.connectPosted && (e.events & ws::FD_CONNECT)) {
        Post(e, ws::FD_CONNECT, e.connectError);
        e.connectPosted = true;
    }
    if (e.peerClosed && e.type == wv::SockStream) {
        if (e.readArmed && (e.events & ws::FD_READ) && WaitingBytes(e) > 0) {
            Post(e, ws::FD_READ, 0);
            e.readArmed = false;
        }
        if (!e.closePosted && (e.events & ws::FD_CLOSE)) {
            Post(e, ws::FD_CLOSE, e.closeError);
            e.closePosted = true;
        }
    }
}

// The poll events to wait for on this socket (0: nothing to wait for).
short PollEventsLocked(const SocketEntry& e) {
    if (!e.Selected() || e.broken) return 0;
    if (e.connect == ConnectPhase::InProgress) return POLLOUT;  // completion and failure both show here
    if (e.listening) return (e.acceptArmed && (e.events & ws::FD_ACCEPT)) ? POLLIN : 0;
    short ev = 0;
    if (e.type != wv::SockStream) {
        if (e.readArmed && (e.events & ws::FD_READ)) ev |= POLLIN;
        if (e.writeArmed && (e.events & ws::FD_WRITE)) ev |= POLLOUT;
        return ev;
    }
    if (!e.connected) return 0;
    if (!e.peerClosed) {
        if (e.readArmed && (e.events & ws::FD_READ)) ev |= POLLIN;
        if (e.oobArmed && (e.events & ws::FD_OOB)) ev |= POLLPRI;
        ev |= POLLRDHUP;  // the peer's close is tracked even while FD_CLOSE is not selected
    }
    if (e.writeArmed && (e.events & ws::FD_WRITE)) ev |= POLLOUT;
    return ev;
}

void HandleReadyLocked(SocketEntry& e, short revents) {
    if (!e.Selected()) return;
    if (e.connect == ConnectPhase::InProgress) {
        if ((revents & (POLLOUT | POLLERR | POLLHUP)) == 0) return;
        const int error = TakeSocketError(e);
        e.connect = ConnectPhase::Done;
        e.connectError = error;
        if (error == 0) {
            e.connected = true;
            e.writeArmed = true;  // FD_WRITE follows FD_CONNECT
        } else {
            e.broken = true;  // a failed connect reports FD_CONNECT only
        }
        PostDueLocked(e);
        return;
    }
    if (e.listening) {
        if ((revents & POLLIN) && e.acceptArmed && (e.events & ws::FD_ACCEPT)) {
            Post(e, ws::FD_ACCEPT, 0);
            e.acceptArmed = false;
        }
        return;
    }
    if (e.type != wv::SockStream) {
        if ((revents & POLLIN) && e.readArmed && (e.events & ws::FD_READ)) {
            Post(e, ws::FD_READ, 0);
            e.readArmed = false;
        }
        if ((revents & POLLOUT) && e.writeArmed && (e.events & ws::FD_WRITE)) {
            Post(e, ws::FD_WRITE, 0);
            e.writeArmed = false;
        }
        if (revents & POLLERR) TakeSocketError(e);  // e.g. an ICMP refusal: reported by the next call
        return;
    }
    if (revents & (POLLERR | POLLHUP)) {
        e.closeError = TakeSocketError(e);
        e.peerClosed = true;
        e.broken = true;
    } else if (revents & POLLRDHUP) {
        e.peerClosed = true;
    }
    if ((revents & POLLIN) && !e.peerClosed && e.readArmed && (e.events & ws::FD_READ) && WaitingBytes(e) > 0) {
        Post(e, ws::FD_READ, 0);
        e.readArmed = false;
    }
    if ((revents & POLLPRI) && e.oobArmed && (e.events & ws::FD_OOB)) {
        Post(e, ws::FD_OOB, 0);
        e.oobArmed = false;
    }
    if ((revents & POLLOUT) && !e.broken && e.writeArmed && (e.events & ws::FD_WRITE)) {
        Post(e, ws::FD_WRITE, 0);
        e.writeArmed = false;
    }
    PostDueLocked(e);
}

void Run() {
    Watcher& w = TheWatcher();
    SocketTable& table = SocketTable::Get();
    std::vector<::pollfd> fds;
    std::vector<std::shared_ptr<SocketEntry>> polled;
    while (!w.stop.load()) {
        fds.clear();
        polled.clear();
        fds.push_back(::pollfd{w.wakeFd, POLLIN, 0});
        {
            std::lock_guard lock(table.Mutex());
            for (auto& e : table.SnapshotLocked()) {
                PostDueLocked(*e);
                const short ev = PollEventsLocked(*e);
                if (ev == 0) continue;
                fds.push_back(::pollfd{e->fd->fd(), ev, 0});
                polled.push_back(e);
            }
        }
        const int n = ::poll(fds.data(), fds.size(), -1);
        if (n < 0) continue;  // EINTR: look again
        if (fds[0].revents & POLLIN) {
            std::uint64_t count;
            while (::read(w.wakeFd, &count, sizeof count) > 0) {
            }
        }
        std::lock_guard lock(table.Mutex());
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            auto& e = polled[i - 1];
            if (table.FindLocked(e->handle) != e) continue;  // closed meanwhile: nothing more for it
            HandleReadyLocked(*e, fds[i].revents);
        }
        // Dropping the references here lets closed sockets' descriptors go.
    }
}

}  // namespace

void WakeWatcher() {
    const std::uint64_t one = 1;
    const int fd = TheWatcher().wakeFd;
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof one);
    }
}

void StartWatcher() {
    Watcher& w = TheWatcher();
    std::lock_guard lock(w.mutex);
    if (w.thread.joinable()) return;
    w.stop.store(false);
    w.thread = std::thread(Run);
}

void StopWatcher() {
    Watcher& w = TheWatcher();
    std::lock_guard lock(w.mutex);
    if (!w.thread.joinable()) return;
    w.stop.store(true);
    WakeWatcher();
    w.thread.join();
}

}  // namespace wsimpl

namespace ws {

int WSAAsyncSelect(SOCKET s, HWND hwnd, u_int msg, LONG events) {
    auto e = wsimpl::BeginCall("WSAAsyncSelect", s);
    if (!e) return SOCKET_ERROR;
    if ((events & ~FD_ALL_EVENTS) != 0 || (events != 0 && !::IsWindow(hwnd))) {
        wsimpl::SetError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    // The socket becomes non-blocking, and stays so.
    const int fd = e->fd->fd();
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        wsimpl::SetError(wsimpl::ErrorFromErrno(errno));
        return SOCKET_ERROR;
    }
    auto& table = wsimpl::SocketTable::Get();
    std::lock_guard lock(table.Mutex());
    e->nonBlocking = true;
    e->hwnd = events != 0 ? hwnd : nullptr;
    e->msg = msg;
    e->events = events;
    // A new selection re-examines every condition: what already holds is
    // posted (data waiting, a pending connection, room to write on a
    // connected socket, a connection already closed).
    e->readArmed = true;
    e->acceptArmed = true;
    e->oobArmed = true;
    e->writeArmed = e->type != wv::SockStream || (e->connected && e->connect != wsimpl::ConnectPhase::InProgress);
    e->closePosted = false;
    wsimpl::WakeWatcher();
    return 0;
}

}  // namespace ws
