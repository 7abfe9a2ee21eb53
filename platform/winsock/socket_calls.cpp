// Creating, binding, connecting, listening, accepting, naming and closing sockets.
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/detail/win_values.h"
#include "platform/winsock/winsock_api.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/winsock/detail/posix_address.h"

namespace ws {

using wsimpl::Fail;
using wsimpl::FailErrno;

SOCKET socket(int af, int type, int protocol) {
    if (!wsimpl::BeginPlainCall("socket")) return INVALID_SOCKET;
    if (af != wv::AfInet) {
        wsimpl::SetError(WSAEAFNOSUPPORT);
        return INVALID_SOCKET;
    }
    int posixType;
    if (type == wv::SockStream) {
        posixType = SOCK_STREAM;
        if (protocol != 0 && protocol != wv::IpprotoTcp) {
            wsimpl::SetError(WSAEPROTONOSUPPORT);
            return INVALID_SOCKET;
        }
    } else if (type == wv::SockDgram) {
        posixType = SOCK_DGRAM;
        if (protocol != 0 && protocol != wv::IpprotoUdp) {
            wsimpl::SetError(WSAEPROTONOSUPPORT);
            return INVALID_SOCKET;
        }
    } else if (type == wv::SockRaw) {
        posixType = SOCK_RAW;
    } else {
        wsimpl::SetError(WSAESOCKTNOSUPPORT);
        return INVALID_SOCKET;
    }
    const int fd = ::socket(AF_INET, posixType | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        wsimpl::SetError(wsimpl::ErrorFromErrno(errno));
        return INVALID_SOCKET;
    }
    if (posixType == SOCK_STREAM) {
        // The platform lets a port be bound again while old connections on it
        // linger in TIME_WAIT; this is the POSIX way to get that.
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    auto entry = std::make_shared<wsimpl::SocketEntry>();
    entry->fd = std::make_shared<wsimpl::FdOwner>(fd);
    entry->type = type;
    return wsimpl::SocketTable::Get().Add(entry);
}

int bind(SOCKET s, const sockaddr* addr, int namelen) {
    auto e = wsimpl::BeginCall("bind", s);
    if (!e) return SOCKET_ERROR;
    ::sockaddr_in sa;
    int error = 0;
    if (!wsimpl::ToPosixAddress(addr, namelen, sa, error)) return Fail(error);
    if (::bind(e->fd->fd(), reinterpret_cast<const ::sockaddr*>(&sa), sizeof sa) != 0) return FailErrno();
    return 0;
}

int connect(SOCKET s, const sockaddr* name, int namelen) {
    auto e = wsimpl::BeginCall("connect", s);
    if (!e) return SOCKET_ERROR;
    ::sockaddr_in sa;
    int error = 0;
    if (!wsimpl::ToPosixAddress(name, namelen, sa, error)) return Fail(error);
    auto& table = wsimpl::SocketTable::Get();
    const bool stream = e->type == wv::SockStream;
    {
        std::lock_guard lock(table.Mutex());
        if (e->listening) return Fail(WSAEINVAL);
        if (stream && e->connect == wsimpl::ConnectPhase::InProgress) return Fail(WSAEALREADY);
        if (stream && e->connected) return Fail(WSAEISCONN);
    }
    // The platform refuses the "any" address and port 0 as a destination.
    if (stream && (sa.sin_addr.s_addr == wv::InaddrAny || sa.sin_port == 0)) return Fail(WSAEADDRNOTAVAIL);

    const int rc = ::connect(e->fd->fd(), reinterpret_cast<const ::sockaddr*>(&sa), sizeof sa);
    const int err = rc == 0 ? 0 : errno;
    std::lock_guard lock(table.Mutex());
    if (rc == 0) {
        e->connected = true;
        if (stream) {
            e->connect = wsimpl::ConnectPhase::Done;
            e->connectError = 0;
            // Reported as FD_CONNECT only when selected now.
            e->connectPosted = !e->Selected();
            e->writeArmed = true;
            wsimpl::WakeWatcher();
        }
        return 0;
    }
    if (err == EINPROGRESS && stream) {
        e->connect = wsimpl::ConnectPhase::InProgress;
        e->connectPosted = false;
        wsimpl::WakeWatcher();
        return Fail(WSAEWOULDBLOCK);
    }
    // On the platform a selected socket always connects in the background:
    // a refusal the system reports at once still arrives as FD_CONNECT.
    const bool connectionError = err == ECONNREFUSED || err == ENETUNREACH || err == EHOSTUNREACH || err == ETIMEDOUT;
    if (stream && connectionError && e->Selected()) {
        e->connect = wsimpl::ConnectPhase::Done;
        e->connectError = wsimpl::ErrorFromErrno(err);
        e->connectPosted = false;
        e->broken = true;
        wsimpl::WakeWatcher();
        return Fail(WSAEWOULDBLOCK);
    }
    if (err == EISCONN) e->connected = true;
    return Fail(wsimpl::ErrorFromErrno(err));
}

int listen(SOCKET s, int backlog) {
    auto e = wsimpl::BeginCall("listen", s);
    if (!e) return SOCKET_ERROR;
    if (e->type != wv::SockStream) return Fail(WSAEOPNOTSUPP);
    // The platform needs an explicit bind first.
    ::sockaddr_in local{};
    socklen_t len = sizeof local;
    if (::getsockname(e->fd->fd(), reinterpret_cast<::sockaddr*>(&local), &len) != 0 || local.sin_port == 0) {
        return Fail(WSAEINVAL);
    }
    if (::listen(e->fd->fd(), backlog < 0 ? 0 : backlog) != 0) return FailErrno();
    auto& table = wsimpl::SocketTable::Get();
    std::lock_guard lock(table.Mutex());
    e->listening = true;
    e->acceptArmed = true;
    wsimpl::WakeWatcher();
    return 0;
}

SOCKET accept(SOCKET s, sockaddr* addr, int* addrlen) {
    auto e = wsimpl::BeginCall("accept", s);
    if (!e) return INVALID_SOCKET;
    auto& table = wsimpl::SocketTable::Get();
    bool nonBlocking;
    {
        std::lock_guard lock(table.Mutex());
        if (!e->listening) {
            wsimpl::SetError(WSAEINVAL);
            return INVALID_SOCKET;
        }
        nonBlocking = e->nonBlocking;
    }
    if (addr != nullptr && (addrlen == nullptr || *addrlen < static_cast<int>(sizeof(sockaddr_in)))) {
        wsimpl::SetError(WSAEFAULT);
        return INVALID_SOCKET;
    }
    ::sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int fd = ::accept4(e->fd->fd(), reinterpret_cast<::sockaddr*>(&peer), &len,
                             SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0));
    const int err = errno;
    auto accepted = std::make_shared<wsimpl::SocketEntry>();
    {
        std::lock_guard lock(table.Mutex());
        // accept re-enables FD_ACCEPT, whatever its outcome.
        e->acceptArmed = true;
        // The new socket has the listening socket's properties, its selection included.
        accepted->nonBlocking = e->nonBlocking;
        accepted->hwnd = e->hwnd;
        accepted->msg = e->msg;
        accepted->events = e->events;
    }
    if (fd < 0) {
        wsimpl::WakeWatcher();
        wsimpl::SetError(wsimpl::ErrorFromErrno(err));
        return INVALID_SOCKET;
    }
    accepted->fd = std::make_shared<wsimpl::FdOwner>(fd);
    accepted->type = wv::SockStream;
    accepted->connected = true;
    accepted->writeArmed = true;
    const SOCKET handle = table.Add(accepted);
    wsimpl::WakeWatcher();
    if (addr != nullptr) {
        int error = 0;
        wsimpl::FromPosixAddress(peer, addr, addrlen, error);
    }
    return handle;
}

int closesocket(SOCKET s) {
    if (!wsimpl::BeginPlainCall("closesocket")) return SOCKET_ERROR;
    auto e = wsimpl::SocketTable::Get().Remove(s);
    if (!e) return Fail(WSAENOTSOCK);
    // From here on nothing is posted for this handle; the descriptor itself
    // is closed when the watcher lets go of it.
    wsimpl::WakeWatcher();
    return 0;
}

int shutdown(SOCKET s, int how) {
    auto e = wsimpl::BeginCall("shutdown", s);
    if (!e) return SOCKET_ERROR;
    int posixHow;
    switch (how) {
        case SD_RECEIVE: posixHow = SHUT_RD; break;
        case SD_SEND: posixHow = SHUT_WR; break;
        case SD_BOTH: posixHow = SHUT_RDWR; break;
        default: return Fail(WSAEINVAL);
    }
    if (::shutdown(e->fd->fd(), posixHow) != 0) return FailErrno();
    if (how != SD_RECEIVE) {
        std::lock_guard lock(wsimpl::SocketTable::Get().Mutex());
        e->shutSend = true;
    }
    return 0;
}

int getsockname(SOCKET s, sockaddr* name, int* namelen) {
    auto e = wsimpl::BeginCall("getsockname", s);
    if (!e) return SOCKET_ERROR;
    ::sockaddr_in local{};
    socklen_t len = sizeof local;
    if (::getsockname(e->fd->fd(), reinterpret_cast<::sockaddr*>(&local), &len) != 0) return FailErrno();
    // The platform has no name for a socket that is not bound yet.
    if (local.sin_port == 0 && local.sin_addr.s_addr == 0) return Fail(WSAEINVAL);
    int error = 0;
    if (!wsimpl::FromPosixAddress(local, name, namelen, error)) return Fail(error);
    return 0;
}

int getpeername(SOCKET s, sockaddr* name, int* namelen) {
    auto e = wsimpl::BeginCall("getpeername", s);
    if (!e) return SOCKET_ERROR;
    ::sockaddr_in peer{};
    socklen_t len = sizeof peer;
    if (::getpeername(e->fd->fd(), reinterpret_cast<::sockaddr*>(&peer), &len) != 0) return FailErrno();
    int error = 0;
    if (!wsimpl::FromPosixAddress(peer, name, namelen, error)) return Fail(error);
    return 0;
}

}  // namespace ws
