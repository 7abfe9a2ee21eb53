// Addressing of TCustomWSocket: the Addr, Port, Proto, LocalAddr and LocalPort texts,
// Connect, Listen, Accept, and the queries of the local and remote ends.
#include "ftp/name_resolution.h"
#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"

// ---------------------------------------------------------------------------
// Properties

void TCustomWSocket::AssignTargetText(const char* Name, const std::string& Value, std::string& Text, bool& Assigned,
                                      bool& Resolved) {
    if (Assigned && Value == Text) return;
    if (FState != wsClosed) {
        RaiseSocketException(std::string("Cannot change ") + Name + " if not closed");
        return;
    }
    Text = TrimBlanks(Value);
    Assigned = !Text.empty();
    if (Assigned) Resolved = false;
}

void TCustomWSocket::SetAddr(const std::string& Value) {
    AssignTargetText("Addr", Value, FAddrStr, FAddrAssigned, FAddrResolved);
}

void TCustomWSocket::SetPort(const std::string& Value) {
    AssignTargetText("Port", Value, FPortStr, FPortAssigned, FPortResolved);
}

void TCustomWSocket::SetProto(const std::string& Value) {
    AssignTargetText("Proto", Value, FProtoStr, FProtoAssigned, FProtoResolved);
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
    if (!ReadBufferSizes()) return;

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
            // "raw_" and a protocol name or number: a raw socket of that protocol.
            if (AsciiLowerCase(FProtoStr.substr(0, 4)) == "raw_") {
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

bool TCustomWSocket::QueryPeer(ws::sockaddr_in& Peer, const char* Where) {
    if (FState != wsConnected) return false;
    int len = sizeof Peer;
    if (WSocket::getpeername(FHSocket, reinterpret_cast<ws::sockaddr*>(&Peer), &len) != 0) {
        RaiseSocketError(Where);
        return false;
    }
    return true;
}

bool TCustomWSocket::QueryBound(ws::sockaddr_in& Local) {
    if (FState != wsBound && FState != wsConnected && FState != wsListening) return false;
    int len = sizeof Local;
    return WSocket::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&Local), &len) == 0;
}

std::string TCustomWSocket::GetPeerAddr() {
    ws::sockaddr_in peer{};
    return QueryPeer(peer, "GetPeerAddr") ? std::string(WSocket::inet_ntoa(peer.sin_addr)) : "error";
}

std::string TCustomWSocket::GetPeerPort() {
    ws::sockaddr_in peer{};
    return QueryPeer(peer, "GetPeerPort") ? IntToStr(WSocket::ntohs(peer.sin_port)) : "error";
}

int TCustomWSocket::GetPeerName(ws::sockaddr_in& Name, int NameLen) {
    if (FState != wsConnected) return -1;
    return WSocket::getpeername(FHSocket, reinterpret_cast<ws::sockaddr*>(&Name), &NameLen);
}

std::string TCustomWSocket::GetBoundPort() {
    ws::sockaddr_in local{};
    return QueryBound(local) ? IntToStr(WSocket::ntohs(local.sin_port)) : "error";
}

std::string TCustomWSocket::GetBoundAddr() {
    ws::sockaddr_in local{};
    return QueryBound(local) ? std::string(WSocket::inet_ntoa(local.sin_addr)) : "error";
}

int TCustomWSocket::GetSockName(ws::sockaddr_in& Name, int& NameLen) {
    return WSocket::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&Name), &NameLen);
}
