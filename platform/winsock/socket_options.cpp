// Socket options and control codes, translated from the platform's numbering.
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/detail/tcp_info.h"
#include "platform/winsock/detail/win_values.h"
#include "platform/winsock/winsock_api.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace ws {

namespace {

using wsimpl::Fail;
using wsimpl::FailErrno;

// A Boolean or integer option value: 4 bytes, or 1 byte as the platform allows.
bool ReadInt(const char* optval, int optlen, int& value) {
    if (optval == nullptr || optlen < 1) return false;
    if (optlen >= 4) {
        std::memcpy(&value, optval, 4);
    } else {
        value = static_cast<unsigned char>(optval[0]);
    }
    return true;
}

bool WriteValue(char* optval, int* optlen, const void* value, int size) {
    if (optval == nullptr || optlen == nullptr || *optlen < size) return false;
    std::memcpy(optval, value, static_cast<size_t>(size));
    *optlen = size;
    return true;
}

struct PosixOption {
    int level;
    int name;
};

// The options that are plain integers (or Booleans) on both sides.
struct IntegerOptionEntry {
    int level;
    int name;
    PosixOption posix;
    bool boolean;
};

const IntegerOptionEntry kIntegerOptions[] = {
    {wv::SolSocket, wv::SoKeepalive, {SOL_SOCKET, SO_KEEPALIVE}, true},
    {wv::SolSocket, wv::SoBroadcast, {SOL_SOCKET, SO_BROADCAST}, true},
    {wv::SolSocket, wv::SoOobinline, {SOL_SOCKET, SO_OOBINLINE}, true},
    {wv::SolSocket, wv::SoDebug, {SOL_SOCKET, SO_DEBUG}, true},
    {wv::SolSocket, wv::SoDontroute, {SOL_SOCKET, SO_DONTROUTE}, true},
    {wv::SolSocket, wv::SoSndbuf, {SOL_SOCKET, SO_SNDBUF}, false},
    {wv::SolSocket, wv::SoRcvbuf, {SOL_SOCKET, SO_RCVBUF}, false},
    {wv::IpprotoTcp, wv::TcpNodelay, {IPPROTO_TCP, TCP_NODELAY}, true},
    {wv::IpprotoIp, wv::IpTtl, {IPPROTO_IP, IP_TTL}, false},
    {wv::IpprotoIp, wv::IpTos, {IPPROTO_IP, IP_TOS}, false},
    {wv::IpprotoIp, wv::IpMulticastTtl, {IPPROTO_IP, IP_MULTICAST_TTL}, false},
    {wv::IpprotoIp, wv::IpMulticastLoop, {IPPROTO_IP, IP_MULTICAST_LOOP}, false},
};

bool IntegerOption(int level, int optname, PosixOption& out, bool& boolean) {
    for (const auto& o : kIntegerOptions) {
        if (o.level == level && o.name == optname) {
            out = o.posix;
            boolean = o.boolean;
            return true;
        }
    }
    return false;
}

int UnknownOption(int level) {
    return (level == wv::SolSocket || level == wv::IpprotoTcp || level == wv::IpprotoIp) ? WSAENOPROTOOPT : WSAEINVAL;
}

}  // namespace

int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) {
    auto e = wsimpl::BeginCall("setsockopt", s);
    if (!e) return SOCKET_ERROR;
    if (optval == nullptr) return Fail(WSAEFAULT);
    const int fd = e->fd->fd();
    PosixOption opt{};
    bool boolean = false;
    int value = 0;
    if (IntegerOption(level, optname, opt, boolean)) {
        if (!ReadInt(optval, optlen, value)) return Fail(WSAEFAULT);
        if (boolean) value = value != 0 ? 1 : 0;
        if (::setsockopt(fd, opt.level, opt.name, &value, sizeof value) != 0) return FailErrno();
        return 0;
    }
    if (level == wv::SolSocket && optname == wv::SoReuseaddr) {
        if (!ReadInt(optval, optlen, value)) return Fail(WSAEFAULT);
        // Streams always reuse on the system side (see socket()); datagrams
        // get the system option itself.
        if (e->type != wv::SockStream) {
            const int on = value != 0 ? 1 : 0;
            if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return FailErrno();
        }
        std::lock_guard lock(wsimpl::SocketTable::Get().Mutex());
        e->reuseAddr = value != 0;
        return 0;
    }
    if (level == wv::SolSocket && (optname == wv::SoLinger || optname == wv::SoDontlinger)) {
        ::linger l{};
        if (optname == wv::SoLinger) {
            if (optlen < static_cast<int>(sizeof(ws::linger))) return Fail(WSAEFAULT);
            ws::linger wl;
            std::memcpy(&wl, optval, sizeof wl);
            l.l_onoff = wl.l_onoff != 0 ? 1 : 0;
            l.l_linger = wl.l_linger;
        } else {
            if (!ReadInt(optval, optlen, value)) return Fail(WSAEFAULT);
            socklen_t len = sizeof l;
            ::getsockopt(fd, SOL_SOCKET, SO_LINGER, &l, &len);
            l.l_onoff = value != 0 ? 0 : 1;
        }
        if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l) != 0) return FailErrno();
        return 0;
    }
    if (level == wv::SolSocket && (optname == wv::SoRcvtimeo || optname == wv::SoSndtimeo)) {
        if (!ReadInt(optval, optlen, value)) return Fail(WSAEFAULT);
        const auto ms = static_cast<DWORD>(value);
        ::timeval tv{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000)};
        const int name = optname == wv::SoRcvtimeo ? SO_RCVTIMEO : SO_SNDTIMEO;
        if (::setsockopt(fd, SOL_SOCKET, name, &tv, sizeof tv) != 0) return FailErrno();
        return 0;
    }
    if (level == wv::IpprotoIp && optname == wv::IpMulticastIf) {
        if (optlen < 4) return Fail(WSAEFAULT);
        ::in_addr a{};
        std::memcpy(&a.s_addr, optval, 4);
        if (::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a) != 0) return FailErrno();
        return 0;
    }
    if (level == wv::IpprotoIp && (optname == wv::IpAddMembership || optname == wv::IpDropMembership)) {
        if (optlen < static_cast<int>(sizeof(ws::ip_mreq))) return Fail(WSAEFAULT);
        ws::ip_mreq wm;
        std::memcpy(&wm, optval, sizeof wm);
        ::ip_mreq m{};
        m.imr_multiaddr.s_addr = wm.imr_multiaddr.s_addr;
        m.imr_interface.s_addr = wm.imr_interface.s_addr;
        const int name = optname == wv::IpAddMembership ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP;
        if (::setsockopt(fd, IPPROTO_IP, name, &m, sizeof m) != 0) return FailErrno();
        return 0;
    }
    return Fail(UnknownOption(level));
}

int getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen) {
    auto e = wsimpl::BeginCall("getsockopt", s);
    if (!e) return SOCKET_ERROR;
    if (optval == nullptr || optlen == nullptr) return Fail(WSAEFAULT);
    const int fd = e->fd->fd();
    PosixOption opt{};
    bool boolean = false;
    int value = 0;
    if (IntegerOption(level, optname, opt, boolean)) {
        socklen_t len = sizeof value;
        if (::getsockopt(fd, opt.level, opt.name, &value, &len) != 0) return FailErrno();
        if (boolean) value = value != 0 ? 1 : 0;
        return WriteValue(optval, optlen, &value, 4) ? 0 : Fail(WSAEFAULT);
    }
    if (level == wv::SolSocket) {
        if (optname == wv::SoReuseaddr || optname == wv::SoAcceptconn || optname == wv::SoType) {
            std::lock_guard lock(wsimpl::SocketTable::Get().Mutex());
            if (optname == wv::SoReuseaddr) {
                value = e->reuseAddr ? 1 : 0;
            } else if (optname == wv::SoAcceptconn) {
                value = e->listening ? 1 : 0;
            } else {
                value = e->type;
            }
        } else if (optname == wv::SoError) {
            socklen_t len = sizeof value;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &value, &len) != 0) return FailErrno();
            value = wsimpl::ErrorFromErrno(value);
        } else if (optname == wv::SoLinger || optname == wv::SoDontlinger) {
            ::linger l{};
            socklen_t len = sizeof l;
            if (::getsockopt(fd, SOL_SOCKET, SO_LINGER, &l, &len) != 0) return FailErrno();
            if (optname == wv::SoLinger) {
                ws::linger wl{static_cast<u_short>(l.l_onoff != 0 ? 1 : 0), static_cast<u_short>(l.l_linger)};
                return WriteValue(optval, optlen, &wl, sizeof wl) ? 0 : Fail(WSAEFAULT);
            }
            value = l.l_onoff != 0 ? 0 : 1;
        } else if (optname == wv::SoRcvtimeo || optname == wv::SoSndtimeo) {
            ::timeval tv{};
            socklen_t len = sizeof tv;
            const int name = optname == wv::SoRcvtimeo ? SO_RCVTIMEO : SO_SNDTIMEO;
            if (::getsockopt(fd, SOL_SOCKET, name, &tv, &len) != 0) return FailErrno();
            value = static_cast<int>(tv.tv_sec * 1000 + tv.tv_usec / 1000);
        } else {
            return Fail(WSAENOPROTOOPT);
        }
        return WriteValue(optval, optlen, &value, 4) ? 0 : Fail(WSAEFAULT);
    }
    if (level == wv::IpprotoIp && optname == wv::IpMulticastIf) {
        ::in_addr a{};
        socklen_t len = sizeof a;
        if (::getsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &a, &len) != 0) return FailErrno();
        return WriteValue(optval, optlen, &a.s_addr, 4) ? 0 : Fail(WSAEFAULT);
    }
    return Fail(UnknownOption(level));
}

int ioctlsocket(SOCKET s, LONG cmd, u_long* argp) {
    auto e = wsimpl::BeginCall("ioctlsocket", s);
    if (!e) return SOCKET_ERROR;
    if (argp == nullptr) return Fail(WSAEFAULT);
    const int fd = e->fd->fd();
    if (cmd == wv::Fionbio) {
        std::lock_guard lock(wsimpl::SocketTable::Get().Mutex());
        const bool nonBlocking = *argp != 0;
        // A socket under WSAAsyncSelect cannot be made blocking again.
        if (!nonBlocking && e->Selected()) return Fail(WSAEINVAL);
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) != 0) {
            return FailErrno();
        }
        e->nonBlocking = nonBlocking;
        return 0;
    }
    if (cmd == wv::Fionread) {
        int waiting = 0;
        if (::ioctl(fd, FIONREAD, &waiting) != 0) {
            // A listening socket has no data: 0, as on the platform.
            if (errno != EINVAL) return FailErrno();
            waiting = 0;
        }
        *argp = static_cast<u_long>(waiting < 0 ? 0 : waiting);
        return 0;
    }
    if (cmd == wv::Siocatmark) {
        // TRUE when no urgent data waits to be read.
        ::pollfd p{fd, POLLPRI, 0};
        const int n = ::poll(&p, 1, 0);
        *argp = (n > 0 && (p.revents & POLLPRI)) ? 0 : 1;
        return 0;
    }
    return Fail(WSAEINVAL);
}

int WSAIoctl(SOCKET s, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize, void* outBuffer, DWORD outBufferSize,
             DWORD* bytesReturned,
             void* overlapped, void* completionRoutine) {
    auto e = wsimpl::BeginCall("WSAIoctl", s);
    if (!e) return SOCKET_ERROR;
    if (overlapped != nullptr || completionRoutine != nullptr) return Fail(WSAEINVAL);  // no overlapped I/O here
    if (bytesReturned != nullptr) *bytesReturned = 0;
    if (ioControlCode == SIO_KEEPALIVE_VALS) {
        if (inBuffer == nullptr || inBufferSize < sizeof(tcp_keepalive)) return Fail(WSAEFAULT);
        tcp_keepalive k;
        std::memcpy(&k, inBuffer, sizeof k);
        const int fd = e->fd->fd();
        const int on = k.onoff != 0 ? 1 : 0;
        if (::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) return FailErrno();
        if (on != 0) {
            // Milliseconds on the platform, whole seconds here (at least 1).
            const int idle = static_cast<int>((k.keepalivetime + 999) / 1000);
            const int interval = static_cast<int>((k.keepaliveinterval + 999) / 1000);
            const int idleSeconds = idle < 1 ? 1 : idle;
            const int intervalSeconds = interval < 1 ? 1 : interval;
            if (::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds) != 0 ||
                ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds) != 0) {
                return FailErrno();
            }
        }
        return 0;
    }
    if (ioControlCode == SIO_TCP_INFO) {
        DWORD version = 0;
        if (inBuffer == nullptr || inBufferSize < sizeof version) return Fail(WSAEFAULT);
        std::memcpy(&version, inBuffer, sizeof version);
        if (version != 0) return Fail(WSAEINVAL);
        if (outBuffer == nullptr || outBufferSize < sizeof(TCP_INFO_v0)) return Fail(WSAEFAULT);
        TCP_INFO_v0 info{};
        if (!wsimpl::QueryTcpInfo(e->fd->fd(), info)) return FailErrno();
        std::memcpy(outBuffer, &info, sizeof info);
        if (bytesReturned != nullptr) *bytesReturned = sizeof info;
        return 0;
    }
    if (ioControlCode == SIO_RCVALL) return Fail(WSAEOPNOTSUPP);  // no promiscuous capture here
    return Fail(WSAEINVAL);
}

}  // namespace ws
