// The table of open sockets, descriptor ownership and the errno mapping.
#include "platform/winsock/detail/socket_table.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>
#include <utility>

namespace wsimpl {

namespace {

void CloseNow(int fd) {
    // close() is not retried on EINTR: the descriptor is gone either way.
    ::close(fd);
}

}  // namespace

FdOwner::~FdOwner() {
    if (fd_ < 0) return;
    ::linger l{};
    socklen_t len = sizeof l;
    const bool lingers = ::getsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, &len) == 0 && l.l_onoff != 0 && l.l_linger > 0;
    if (!lingers) {
        // Linger off: the system sends what is left in the background.
        // Linger on with 0 s: the connection is reset at once.
        CloseNow(fd_);
        return;
    }
    // Linger on with a time: close() would wait up to that long for the data
    // to be sent, so it runs on a thread of its own, in blocking mode.
    const int fd = fd_;
    try {
        std::thread([fd] {
            const int flags = ::fcntl(fd, F_GETFL);
            if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
            CloseNow(fd);
        }).detach();
    } catch (const std::system_error&) {
        CloseNow(fd);  // no thread to be had: the close may wait for the linger time
    }
}

SocketTable& SocketTable::Get() {
    static SocketTable* table = new SocketTable;  // never destroyed: the watcher may outlive statics
    return *table;
}

ws::SOCKET SocketTable::Add(const std::shared_ptr<SocketEntry>& entry) {
    std::lock_guard lock(mutex_);
    entry->handle = nextHandle_;
    nextHandle_ += 4;
    entries_.push_back(entry);
    return entry->handle;
}

std::shared_ptr<SocketEntry> SocketTable::Find(ws::SOCKET s) {
    std::lock_guard lock(mutex_);
    return FindLocked(s);
}

std::shared_ptr<SocketEntry> SocketTable::FindLocked(ws::SOCKET s) {
    for (const auto& e : entries_) {
        if (e->handle == s) return e;
    }
    return nullptr;
}

std::shared_ptr<SocketEntry> SocketTable::Remove(ws::SOCKET s) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(), [s](const auto& e) { return e->handle == s; });
    if (it == entries_.end()) return nullptr;
    auto entry = *it;
    entries_.erase(it);
    return entry;
}

std::vector<std::shared_ptr<SocketEntry>> SocketTable::RemoveAll() {
    std::lock_guard lock(mutex_);
    return std::exchange(entries_, {});
}

std::vector<std::shared_ptr<SocketEntry>> SocketTable::SnapshotLocked() { return entries_; }

int SocketTable::Count() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(entries_.size());
}

int Fail(int wsaError) {
    SetError(wsaError);
    return ws::SOCKET_ERROR;
}

int FailErrno() { return Fail(ErrorFromErrno(errno)); }

int ErrorFromErrno(int e) {
    switch (e) {
        case 0: return 0;
        case EINTR: return ws::WSAEINTR;
        case EBADF: return ws::WSAENOTSOCK;
        case EACCES:
        case EPERM: return ws::WSAEACCES;
        case EFAULT: return ws::WSAEFAULT;
        case EINVAL: return ws::WSAEINVAL;
        case EMFILE:
        case ENFILE: return ws::WSAEMFILE;
        case EAGAIN: return ws::WSAEWOULDBLOCK;
        case EINPROGRESS: return ws::WSAEWOULDBLOCK;  // a non-blocking connect under way
        case EALREADY: return ws::WSAEALREADY;
        case ENOTSOCK: return ws::WSAENOTSOCK;
        case EDESTADDRREQ: return ws::WSAEDESTADDRREQ;
        case EMSGSIZE: return ws::WSAEMSGSIZE;
        case EPROTOTYPE: return ws::WSAEPROTOTYPE;
        case ENOPROTOOPT: return ws::WSAENOPROTOOPT;
        case EPROTONOSUPPORT: return ws::WSAEPROTONOSUPPORT;
        case ESOCKTNOSUPPORT: return ws::WSAESOCKTNOSUPPORT;
        case EOPNOTSUPP: return ws::WSAEOPNOTSUPP;
        case EPFNOSUPPORT: return ws::WSAEPFNOSUPPORT;
        case EAFNOSUPPORT: return ws::WSAEAFNOSUPPORT;
        case EADDRINUSE: return ws::WSAEADDRINUSE;
        case EADDRNOTAVAIL: return ws::WSAEADDRNOTAVAIL;
        case ENETDOWN: return ws::WSAENETDOWN;
        case ENETUNREACH: return ws::WSAENETUNREACH;
        case ENETRESET: return ws::WSAENETRESET;
        case ECONNABORTED: return ws::WSAECONNABORTED;
        case ECONNRESET:
        case EPIPE: return ws::WSAECONNRESET;
        case ENOBUFS:
        case ENOMEM: return ws::WSAENOBUFS;
        case EISCONN: return ws::WSAEISCONN;
        case ENOTCONN: return ws::WSAENOTCONN;
        case ESHUTDOWN: return ws::WSAESHUTDOWN;
        case ETOOMANYREFS: return ws::WSAETOOMANYREFS;
        case ETIMEDOUT: return ws::WSAETIMEDOUT;
        case ECONNREFUSED: return ws::WSAECONNREFUSED;
        case ELOOP: return ws::WSAELOOP;
        case ENAMETOOLONG: return ws::WSAENAMETOOLONG;
        case EHOSTDOWN: return ws::WSAEHOSTDOWN;
        case EHOSTUNREACH: return ws::WSAEHOSTUNREACH;
        case ENOTEMPTY: return ws::WSAENOTEMPTY;
        case EUSERS: return ws::WSAEUSERS;
        case EDQUOT: return ws::WSAEDQUOT;
        case ESTALE: return ws::WSAESTALE;
        case EREMOTE: return ws::WSAEREMOTE;
        default: return ws::WSAEINVAL;
    }
}

}  // namespace wsimpl
