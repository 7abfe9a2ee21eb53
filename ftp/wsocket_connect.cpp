// Addressing of TCustomWSocket: the Addr, Port, Proto, LocalAddr and LocalPort texts,
// Connect, Listen, Accept, and the queries of the local and remote ends.
#include "ftp/name_resolution.h"
#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"

namespace {

bool StartsWithRawPrefix(const std::string& Text) {
    if (Text.size() < 4) return false;
    static constexpr char prefix[] = "raw_";
    for (int i = 0; i < 4; ++i) {
        char ch = Text[static_cast<std::size_t>(i)];
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != prefix[i]) return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Properties

void TCustomWSocket::SetAddr(const std::string& Value) {
    if (FAddrAssigned && Value == FAddrStr) return;
    if (FState != wsClosed) {
        RaiseSocketException("Cannot change Addr if not closed");
        return;
    }
    FAddrStr = TrimBlanks(Value);
    FAddrAssigned = !FAddrStr.empty();
    if (FAddrAssigned) FAddrResolved = false;
}

void TCustomWSocket::SetPort(const std::string& Value) {
    if (FPortAssigned && Value == FPortStr) return;
    if (FState != wsClosed) {
        RaiseSocketException("Cannot change Port if not closed");
        return;
    }
    FPortStr = TrimBlanks(Value);
    FPortAssigned = !FPortStr.empty();
    if (FPortAssigned) FPortResolved = false;
}

void TCustomWSocket::SetProto(const std::string& Value) {
    if (FProtoAssigned && Value == FProtoStr) return;
    if (FState != wsClosed) {
        RaiseSocketException("Cannot change Proto if not closed");
        return;
    }
    FProtoStr = TrimBlanks(Value);
    FProtoAssigned = !FProtoStr.empty();
    if (FProtoAssigned) FProtoResolved = false;
}

void TCustomWSocket::SetLocalPort(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseSocketException("Cannot change LocalPort if not closed");
        return;
    }
    FLocalPortStr = Value;
    FLocalPortResolved = false;
}

void TCustomWSocket::SetLocalAddr(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseSocketException("Cannot change LocalAddr if not closed");
        return;
    }
    FLocalAddr = Value.empty() ? std::string("0.0.0.0") : Value;
}

void TCustomWSocket::DiscardStaleHandle() {
    if (FHSocket != ws::INVALID_SOCKET && FState == wsClosed) {
        WSocket::closesocket(FHSocket);
        FHSocket = ws::INVALID_SOCKET;
    }
}

// ---------------------------------------------------------------------------
// Connect

void TCustomWSocket::Connect() {
    if (FHSocket != ws::INVALID_SOCKET && FState != wsClosed) {
        RaiseSocketException("Connect: Socket already in use");
        return;
    }
    if (!FPortAssigned) {
        RaiseSocketException("Connect: No Port Specified");
        return;
    }
    if (!FAddrAssigned) {
        RaiseSocketException("Connect: No IP Address Specified");
        return;
    }
    if (!FProtoAssigned) {
        RaiseSocketException("Connect: No Protocol Specified");
        return;
    }
    try {
        if (!FProtoResolved) {
            FProto = ResolveProto(FProtoStr);
            FType = FProto == ws::IPPROTO_TCP ? ws::SOCK_STREAM
                    : FProto == ws::IPPROTO_UDP ? ws::SOCK_DGRAM
                                                : ws::SOCK_RAW;
            FProtoResolved = true;
        }
        if (!FPortResolved) {
            FPortNum = ResolvePort(FPortStr, FProtoStr);
            RemoteSockAddr.sin_port = WSocket::htons(static_cast<ws::u_short>(FPortNum));
            FPortResolved = true;
        }
        if (!FLocalPortResolved) {
            FLocalPortNum = ResolvePort(FLocalPortStr, FProtoStr);
            FLocalPortResolved = true;
        }
        if (!FAddrResolved) {
            RemoteSockAddr.sin_addr.s_addr = ResolveHost(FAddrStr);
            FAddrResolved = true;
        }
    } catch (const std::exception& E) {
        RaiseSocketException(std::string("connect: ") + E.what());
        return;
    }

    DeleteBufferedData();
    DiscardStaleHandle();
    // From here on, a reported failure ends the operation at its step.
    const std::uint32_t failures = FFailureReports;
    auto failed = [&] { return FFailureReports != failures; };

    FHSocket = WSocket::socket(FAddrFamily, FType, FProto);
    if (FHSocket == ws::INVALID_SOCKET) {
        RaiseSocketError("Connect (socket)");
        return;
    }
    std::int32_t size = 0;
    int len = sizeof size;
    if (WSocket::CountedGetsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_SNDBUF, reinterpret_cast<char*>(&size), &len) ==
        ws::SOCKET_ERROR) {
        RaiseSocketError("getsockopt(SO_SNDBUF)");
        return;
    }
    FSndBufSize = size;
    len = sizeof size;
    if (WSocket::CountedGetsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_RCVBUF, reinterpret_cast<char*>(&size), &len) ==
        ws::SOCKET_ERROR) {
        RaiseSocketError("getsockopt(SO_RCVBUF)");
        return;
    }
    FRcvBufSize = size;

    ChangeSocketState(wsOpened);
    if (FState != wsOpened) {
        WSocket::WSASetLastError(ws::WSAEINVAL);
        RaiseSocketError("Connect (Invalid operation in OnChangeState)");
        return;
    }

    if (FType == ws::SOCK_DGRAM) {
        Bind();
        if (failed()) return;
        if (MultiCast) {
            if (MultiCastIpTTL != 1) {
                const std::int32_t ttl = MultiCastIpTTL;
                if (WSocket::setsockopt(FHSocket, ws::IPPROTO_IP, ws::IP_MULTICAST_TTL,
                                        reinterpret_cast<const char*>(&ttl), sizeof ttl) == ws::SOCKET_ERROR) {
                    RaiseSocketError("setsockopt(IP_MULTICAST_TTL)");
                    return;
                }
            }
            if (FLocalAddr != "0.0.0.0") {
                ws::in_addr local{ResolveHost(FLocalAddr)};
                if (WSocket::setsockopt(FHSocket, ws::IPPROTO_IP, ws::IP_MULTICAST_IF,
                                        reinterpret_cast<const char*>(&local), sizeof local) == ws::SOCKET_ERROR) {
                    RaiseSocketError("setsockopt(IP_MULTICAST_IF)");
                    return;
                }
            }
        }
        if (RemoteSockAddr.sin_addr.s_addr == ws::INADDR_BROADCAST) {
            const std::int32_t on = 1;
            if (WSocket::setsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_BROADCAST, reinterpret_cast<const char*>(&on),
                                    sizeof on) == ws::SOCKET_ERROR) {
                RaiseSocketError("setsockopt(SO_BROADCAST)");
                return;
            }
        }
    } else {
        const std::int32_t on = -1;
        if (WSocket::setsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                                sizeof on) == ws::SOCKET_ERROR) {
            RaiseSocketError("setsockopt(SO_REUSEADDR)");
            return;
        }
        if (ComponentOptions.Contains(wsoTcpNoDelay) &&
            WSocket::setsockopt(FHSocket, ws::IPPROTO_TCP, ws::TCP_NODELAY, reinterpret_cast<const char*>(&on),
                                sizeof on) == ws::SOCKET_ERROR) {
            RaiseSocketError("setsockopt(IPPROTO_TCP, TCP_NODELAY)");
            return;
        }
        ApplyLinger();
        if (failed()) return;
        ApplyKeepAlive();
        if (failed()) return;
        if (FLocalPortNum != 0 || FLocalAddr != "0.0.0.0") {
            Bind();
            if (failed()) return;
        }
    }

    FSelectEvents = ws::FD_READ | ws::FD_WRITE | ws::FD_ACCEPT | ws::FD_CONNECT | ws::FD_CLOSE;
    if (WSocket::WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvents) != 0) {
        RaiseSocketError("WSAAsyncSelect");
        return;
    }

    if (FType == ws::SOCK_DGRAM) {
        ChangeSocketState(wsConnected);
        SessionConnectedHook(0);
        return;
    }
    if (CheckLogOptions(loWsockInfo))
        DebugLog(loWsockInfo, std::string("TWSocket will connect to ") + WSocket::inet_ntoa(RemoteSockAddr.sin_addr) +
                                  ":" + IntToStr(FPortNum));
    if (WSocket::connect(FHSocket, reinterpret_cast<const ws::sockaddr*>(&RemoteSockAddr), sizeof RemoteSockAddr) ==
        ws::SOCKET_ERROR) {
        const int error = WSocket::WSAGetLastError();
        if (error != ws::WSAEWOULDBLOCK) {
            LastError = error;
            RaiseSocketError("Connect");
            return;
        }
    }
    ChangeSocketState(wsConnecting);
}

// ---------------------------------------------------------------------------
// Listen and accept

void TCustomWSocket::Listen() {
    if (!FPortAssigned) {
        WSocket::WSASetLastError(ws::WSAEINVAL);
        RaiseSocketError("listen: port not assigned");
        return;
    }
    if (!FProtoAssigned) {
        WSocket::WSASetLastError(ws::WSAEINVAL);
        RaiseSocketError("listen: protocol not assigned");
        return;
    }
    if (!FAddrAssigned) {
        WSocket::WSASetLastError(ws::WSAEINVAL);
        RaiseSocketError("listen: address not assigned");
        return;
    }
    try {
        if (!FProtoResolved) {
            if (StartsWithRawPrefix(FProtoStr)) {
                FType = ws::SOCK_RAW;
                FProto = ResolveProto(FProtoStr.substr(4, 10));
            } else {
                FProto = ResolveProto(FProtoStr);
                FType = FProto == ws::IPPROTO_UDP ? ws::SOCK_DGRAM : ws::SOCK_STREAM;
            }
            FProtoResolved = true;
        }
        if (!FPortResolved) {
            FPortNum = ResolvePort(FPortStr, FProtoStr);
            RemoteSockAddr.sin_port = WSocket::htons(static_cast<ws::u_short>(FPortNum));
            FPortResolved = true;
        }
        if (!FAddrResolved) {
            RemoteSockAddr.sin_addr.s_addr = ResolveHost(FAddrStr);
            FAddrResolved = true;
        }
    } catch (const std::exception& E) {
        RaiseSocketException(std::string("Listen: ") + E.what());
        return;
    }

    DeleteBufferedData();
    // A handle the socket still holds (listening again, or after a connection) is closed
    // before the new one replaces it.
    if (FHSocket != ws::INVALID_SOCKET) {
        WSocket::closesocket(FHSocket);
        FHSocket = ws::INVALID_SOCKET;
    }
    FHSocket = WSocket::socket(FAddrFamily, FType, FProto);
    if (FHSocket == ws::INVALID_SOCKET) {
        RaiseSocketError("socket");
        return;
    }
    if (FType == ws::SOCK_DGRAM && ReuseAddr) {
        const std::int32_t on = -1;
        if (WSocket::setsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                                sizeof on) == ws::SOCKET_ERROR) {
            RaiseSocketError("setsockopt(SO_REUSEADDR)");
            return;
        }
    }
    // A listening socket binds to Addr:Port ("0.0.0.0" and "0": any address, a free port).
    if (WSocket::bind(FHSocket, reinterpret_cast<const ws::sockaddr*>(&RemoteSockAddr), sizeof RemoteSockAddr) != 0) {
        RaiseSocketError("Bind");
        return;
    }
    ChangeSocketState(wsBound);

    switch (FType) {
    case ws::SOCK_STREAM:
        if (WSocket::listen(FHSocket, ListenBacklog) != 0) {
            RaiseSocketError("Listen");
            return;
        }
        ChangeSocketState(wsListening);
        break;
    case ws::SOCK_DGRAM:
        if (MultiCast) {
            ws::ip_mreq request{};
            request.imr_multiaddr.s_addr = WSocket::inet_addr(MultiCastAddrStr.c_str());
            request.imr_interface.s_addr = ResolveHost(FAddrStr);
            if (WSocket::setsockopt(FHSocket, ws::IPPROTO_IP, ws::IP_ADD_MEMBERSHIP,
                                    reinterpret_cast<const char*>(&request), sizeof request) == ws::SOCKET_ERROR) {
                RaiseSocketError("setsockopt(IP_ADD_MEMBERSHIP)");
                return;
            }
        }
        ChangeSocketState(wsListening);
        ChangeSocketState(wsConnected);
        break;
    case ws::SOCK_RAW:
        if (ComponentOptions.Contains(wsoSIO_RCVALL)) {
            DWORD in = 1;
            DWORD out = 0;
            DWORD returned = 0;
            if (WSocket::CountedWSAIoctl(FHSocket, ws::SIO_RCVALL, &in, sizeof in, &out, sizeof out, &returned,
                                         nullptr, nullptr) == ws::SOCKET_ERROR) {
                RaiseSocketError("WSAIoctl(SIO_RCVALL)");
                return;
            }
        }
        ChangeSocketState(wsListening);
        ChangeSocketState(wsConnected);
        break;
    default:
        RaiseSocketError("Listen: unexpected protocol.");
        return;
    }

    FSelectEvents = FType == ws::SOCK_STREAM ? (ws::FD_ACCEPT | ws::FD_CLOSE)
                                             : (ws::FD_READ | ws::FD_WRITE | ws::FD_ACCEPT | ws::FD_CLOSE);
    if (WSocket::WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvents) != 0) {
        RaiseSocketError("WSAASyncSelect");
        return;
    }
}

ws::SOCKET TCustomWSocket::Accept() {
    if (FState != wsListening) {
        WSocket::WSASetLastError(ws::WSAEINVAL);
        RaiseSocketError("not a listening socket");
        return ws::INVALID_SOCKET;
    }
    int len = sizeof RemoteSockAddr;
    FLastAcceptedHandle = WSocket::accept(FHSocket, reinterpret_cast<ws::sockaddr*>(&RemoteSockAddr), &len);
    if (FLastAcceptedHandle == ws::INVALID_SOCKET) {
        RaiseSocketError("Accept");
        return ws::INVALID_SOCKET;
    }
    return FLastAcceptedHandle;
}

// ---------------------------------------------------------------------------
// The two ends

std::string TCustomWSocket::GetPeerAddr() {
    std::string result = "error";
    if (FState != wsConnected) return result;
    ws::sockaddr_in peer{};
    int len = sizeof peer;
    if (WSocket::getpeername(FHSocket, reinterpret_cast<ws::sockaddr*>(&peer), &len) != 0) {
        RaiseSocketError("GetPeerAddr");
        return result;
    }
    return WSocket::inet_ntoa(peer.sin_addr);
}

std::string TCustomWSocket::GetPeerPort() {
    std::string result = "error";
    if (FState != wsConnected) return result;
    ws::sockaddr_in peer{};
    int len = sizeof peer;
    if (WSocket::getpeername(FHSocket, reinterpret_cast<ws::sockaddr*>(&peer), &len) != 0) {
        RaiseSocketError("GetPeerPort");
        return result;
    }
    return IntToStr(WSocket::ntohs(peer.sin_port));
}

int TCustomWSocket::GetPeerName(ws::sockaddr_in& Name, int NameLen) {
    if (FState != wsConnected) return -1;
    return WSocket::getpeername(FHSocket, reinterpret_cast<ws::sockaddr*>(&Name), &NameLen);
}

std::string TCustomWSocket::GetBoundPort() {
    if (FState != wsBound && FState != wsConnected && FState != wsListening) return "error";
    ws::sockaddr_in local{};
    int len = sizeof local;
    if (WSocket::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&local), &len) != 0) return "error";
    return IntToStr(WSocket::ntohs(local.sin_port));
}

std::string TCustomWSocket::GetBoundAddr() {
    if (FState != wsBound && FState != wsConnected && FState != wsListening) return "error";
    ws::sockaddr_in local{};
    int len = sizeof local;
    if (WSocket::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&local), &len) != 0) return "error";
    return WSocket::inet_ntoa(local.sin_addr);
}

int TCustomWSocket::GetSockName(ws::sockaddr_in& Name, int& NameLen) {
    return WSocket::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&Name), &NameLen);
}
