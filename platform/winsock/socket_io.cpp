// Sending and receiving. Every send carries MSG_NOSIGNAL; each call re-arms
// the notification the platform re-arms with it (FD_READ / FD_OOB by
// receiving, FD_WRITE by a send that would block or took only part of the data).
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/detail/win_values.h"
#include "platform/winsock/winsock_api.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/winsock/detail/posix_address.h"

namespace ws {

namespace {

using wsimpl::Fail;

bool ValidFlags(int flags) { return (flags & ~(wv::MsgOob | wv::MsgPeek | wv::MsgDontroute)) == 0; }

int PosixFlags(int flags) {
    int f = 0;
    if (flags & wv::MsgOob) f |= MSG_OOB;
    if (flags & wv::MsgPeek) f |= MSG_PEEK;
    if (flags & wv::MsgDontroute) f |= MSG_DONTROUTE;
    return f;
}

// A send failed with EPIPE: the platform tells apart a local shutdown, a
// socket that never connected and a broken connection.
int SendErrorFromErrno(const wsimpl::SocketEntry& e, int err) {
    if (err != EPIPE) return wsimpl::ErrorFromErrno(err);
    std::lock_guard lock(wsimpl::SocketTable::Get().Mutex());
    if (e.shutSend) return WSAESHUTDOWN;
    if (!e.connected) return WSAENOTCONN;
    return WSAECONNRESET;
}

void ArmWrite(wsimpl::SocketEntry& e) {
    std::lock_guard lock(wsimpl::SocketTable::Get().Mutex());
    e.writeArmed = true;
    wsimpl::WakeWatcher();
}

void ArmRead(wsimpl::SocketEntry& e, int flags) {
    std::lock_guard lock(wsimpl::SocketTable::Get().Mutex());
    const bool oob = (flags & wv::MsgOob) != 0;
    bool changed = false;
    if (oob && !e.oobArmed) e.oobArmed = changed = true;
    if (!oob && !e.readArmed) e.readArmed = changed = true;
    if (changed) wsimpl::WakeWatcher();
}

int DoSend(wsimpl::SocketEntry& e, const char* buf, int len, int flags, const ::sockaddr_in* to, int injected) {
    if (injected != 0) {
        if (injected == WSAEWOULDBLOCK) ArmWrite(e);
        return Fail(injected);
    }
    if (len < 0 || (buf == nullptr && len > 0)) return Fail(WSAEFAULT);
    if (!ValidFlags(flags)) return Fail(WSAEOPNOTSUPP);
    const int f = PosixFlags(flags) | MSG_NOSIGNAL;
    const ssize_t n = to != nullptr ? ::sendto(e.fd->fd(), buf, static_cast<size_t>(len), f,
                                               reinterpret_cast<const ::sockaddr*>(to), sizeof *to)
                                    : ::send(e.fd->fd(), buf, static_cast<size_t>(len), f);
    if (n >= 0) {
        // The system took only part of it (the platform would have buffered
        // all or nothing): announce the room with FD_WRITE as after a send
        // that would block, or the caller waits for it forever.
        if (n < len) ArmWrite(e);
        return static_cast<int>(n);
    }
    const int err = errno;
    if (err == EAGAIN || err == EWOULDBLOCK) {
        ArmWrite(e);
        return Fail(WSAEWOULDBLOCK);
    }
    return Fail(SendErrorFromErrno(e, err));
}

int DoReceive(wsimpl::SocketEntry& e, char* buf, int len, int flags, ::sockaddr_in* from, int injected) {
    if (injected != 0) {
        ArmRead(e, flags);
        return Fail(injected);
    }
    if (len < 0 || (buf == nullptr && len > 0)) return Fail(WSAEFAULT);
    if (!ValidFlags(flags) || (flags & wv::MsgDontroute)) return Fail(WSAEOPNOTSUPP);
    const bool datagram = e.type != wv::SockStream;
    const int f = PosixFlags(flags) | (datagram ? MSG_TRUNC : 0);
    socklen_t fromLen = sizeof(::sockaddr_in);
    const ssize_t n = ::recvfrom(e.fd->fd(), buf, static_cast<size_t>(len), f, reinterpret_cast<::sockaddr*>(from),
                                 from != nullptr ? &fromLen : nullptr);
    const int err = errno;
    ArmRead(e, flags);
    if (n < 0) return Fail(wsimpl::ErrorFromErrno(err));
    // A datagram larger than the buffer: the buffer holds its start, and the
    // platform reports WSAEMSGSIZE.
    if (datagram && n > len) return Fail(WSAEMSGSIZE);
    return static_cast<int>(n);
}

}  // namespace

int send(SOCKET s, const char* buf, int len, int flags) {
    int injected = 0;
    auto e = wsimpl::BeginCall("send", s, &injected);
    if (!e) return SOCKET_ERROR;
    return DoSend(*e, buf, len, flags, nullptr, injected);
}

int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to, int tolen) {
    int injected = 0;
    auto e = wsimpl::BeginCall("sendto", s, &injected);
    if (!e) return SOCKET_ERROR;
    // A stream socket ignores the address, as on the platform.
    if (e->type == wv::SockStream || to == nullptr) return DoSend(*e, buf, len, flags, nullptr, injected);
    ::sockaddr_in sa;
    int error = 0;
    if (injected == 0 && !wsimpl::ToPosixAddress(to, tolen, sa, error)) return Fail(error);
    return DoSend(*e, buf, len, flags, &sa, injected);
}

int recv(SOCKET s, char* buf, int len, int flags) {
    int injected = 0;
    auto e = wsimpl::BeginCall("recv", s, &injected);
    if (!e) return SOCKET_ERROR;
    return DoReceive(*e, buf, len, flags, nullptr, injected);
}

int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) {
    int injected = 0;
    auto e = wsimpl::BeginCall("recvfrom", s, &injected);
    if (!e) return SOCKET_ERROR;
    if (from != nullptr && (fromlen == nullptr || *fromlen < static_cast<int>(sizeof(sockaddr_in)))) {
        return Fail(WSAEFAULT);
    }
    if (from == nullptr || e->type == wv::SockStream) return DoReceive(*e, buf, len, flags, nullptr, injected);
    ::sockaddr_in sa{};
    const int n = DoReceive(*e, buf, len, flags, &sa, injected);
    if (n != SOCKET_ERROR || WSAGetLastError() == WSAEMSGSIZE) {
        int error = 0;
        wsimpl::FromPosixAddress(sa, from, fromlen, error);
    }
    return n;
}

}  // namespace ws
