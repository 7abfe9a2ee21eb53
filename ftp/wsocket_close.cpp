// Closing, aborting and shutting down; linger, keep-alive and the local bind; pausing;
// the event triggers; and the error path shared by every socket operation.
#include "ftp/name_resolution.h"
#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"
#include "platform/messages/message_queue.h"

// ---------------------------------------------------------------------------
// Error path

void TCustomWSocket::RaiseSocketException(const std::string& Msg) {
    ++FFailureReports;
    if (OnError) {
        TriggerError();
        return;
    }
    throw ESocketException(Msg);
}

void TCustomWSocket::RaiseSocketError(const std::string& Where) {
    const int code = WSocket::WSAGetLastError();
    const std::string text = SocketErrorText(code) + " (#" + IntToStr(code) + " in " + Where + ")";
    if (code == ws::WSAECONNRESET || code == ws::WSAENOTCONN) {
        if (FHSocket != ws::INVALID_SOCKET) WSocket::closesocket(FHSocket);
        FHSocket = ws::INVALID_SOCKET;
        if (FState != wsClosed && !FCloseInvoked) {
            FCloseInvoked = true;
            TriggerSessionClosed(static_cast<std::uint16_t>(code));
        }
        ChangeSocketState(wsClosed);
    }
    LastError = code;
    RaiseSocketException(text);
}

// ---------------------------------------------------------------------------
// Socket options applied while a connection is set up

void TCustomWSocket::Bind() {
    ws::sockaddr_in local{};
    local.sin_family = ws::AF_INET;
    local.sin_port = WSocket::htons(static_cast<ws::u_short>(FLocalPortNum));
    local.sin_addr.s_addr = ResolveHost(FLocalAddr);
    if (WSocket::bind(FHSocket, reinterpret_cast<const ws::sockaddr*>(&local), sizeof local) != 0) {
        RaiseSocketException("Bind socket failed - " + FormatSocketError(WSocket::WSAGetLastError()));
        return;
    }
    int len = sizeof local;
    if (WSocket::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&local), &len) != 0) {
        RaiseSocketException("Winsock get socket name failed - " + FormatSocketError(WSocket::WSAGetLastError()));
        return;
    }
    FLocalPortNum = WSocket::ntohs(local.sin_port);
    FLocalPortStr = IntToStr(FLocalPortNum);
}

void TCustomWSocket::ApplyKeepAlive() {
    switch (KeepAliveOnOff) {
    case wsKeepAliveOff:
        break;
    case wsKeepAliveOnSystem: {
        const std::int32_t on = 1;
        if (WSocket::setsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_KEEPALIVE, reinterpret_cast<const char*>(&on),
                                sizeof on) == ws::SOCKET_ERROR)
            RaiseSocketError("setsockopt(SO_KEEPALIVE)");
        break;
    }
    case wsKeepAliveOnCustom: {
        ws::tcp_keepalive in{1, static_cast<ws::u_long>(KeepAliveTime), static_cast<ws::u_long>(KeepAliveInterval)};
        ws::tcp_keepalive out{};
        DWORD returned = 0;
        if (WSocket::CountedWSAIoctl(FHSocket, ws::SIO_KEEPALIVE_VALS, &in, sizeof in, &out, sizeof out, &returned,
                                     nullptr, nullptr) == ws::SOCKET_ERROR)
            RaiseSocketError("WSocket_WSAIoctl(SIO_KEEPALIVE_VALS)");
        break;
    }
    }
}

void TCustomWSocket::ApplyLinger() {
    if (LingerOnOff == wsLingerNoSet) return;
    if (FHSocket == ws::INVALID_SOCKET) {
        RaiseSocketException("Cannot set linger option at this time");
        return;
    }
    ws::linger value{static_cast<ws::u_short>(LingerOnOff), static_cast<ws::u_short>(LingerTimeout)};
    if (WSocket::setsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_LINGER, reinterpret_cast<const char*>(&value),
                            sizeof value) == ws::SOCKET_ERROR)
        RaiseSocketError("setsockopt(SO_LINGER)");
}

// ---------------------------------------------------------------------------
// Shutdown, close, abort

void TCustomWSocket::Shutdown(int How) {
    if (CheckLogOptions(loWsockInfo))
        DebugLog(loWsockInfo, IdentityText() + " TCustomWSocket.Shutdown " + IntToStr(How) + " " +
                                  IntToStr(static_cast<long long>(FHSocket)));
    if (FHSocket != ws::INVALID_SOCKET) WSocket::shutdown(FHSocket, How);
}

int TCustomWSocket::Pause() {
    FPaused = true;
    return WSocket::WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
}

int TCustomWSocket::Resume() {
    FPaused = false;
    return WSocket::WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvents);
}

void TCustomWSocket::InternalAbort(std::uint16_t ErrCode) {
    CancelDnsLookup();
    DeleteBufferedData();
    if (FState == wsConnected && FProto == ws::IPPROTO_TCP) {
        LingerOnOff = wsLingerOff;
        ApplyLinger();
    }
    InternalClose(false, ErrCode);
}

void TCustomWSocket::Abort() {
    InternalAbort(0);
}

void TCustomWSocket::InternalClose(bool Shut, std::uint16_t ErrCode) {
    if (FHSocket == ws::INVALID_SOCKET) {
        if (FState != wsClosed) {
            ChangeSocketState(wsClosed);
            ResetDefaults();
        }
        return;
    }
    if (FState == wsClosed) return;
    if (Shut) Shutdown(ws::SD_SEND);
    for (;;) {
        if (WSocket::closesocket(FHSocket) == 0) break;
        LastError = WSocket::WSAGetLastError();
        if (LastError == ws::WSAEWOULDBLOCK) {
            PumpSocketMessages();
            continue;
        }
        if (LastError == ws::WSANOTINITIALISED) break;
        FHSocket = ws::INVALID_SOCKET;
        RaiseSocketError("Disconnect (closesocket)");
        return;
    }
    FHSocket = ws::INVALID_SOCKET;
    ChangeSocketState(wsClosed);
    if (!Destroying() && !FCloseInvoked) {
        FCloseInvoked = true;
        TriggerSessionClosed(ErrCode);
    }
    // A handler that opened a new connection from the events above keeps it.
    if (FHSocket != ws::INVALID_SOCKET || FState != wsClosed) return;
    try {
        ResetDefaults();
    } catch (...) {
    }
}

void TCustomWSocket::Close() {
    InternalClose(true, 0);
}

void TCustomWSocket::CloseDelayed() {
    PostMessageA(FWindowHandle, WM_CLOSE_DELAYED, 0, 0);
}

void TCustomWSocket::Release() {
    PostMessageA(FWindowHandle, WM_WSOCKET_RELEASE, 0, 0);
}

void TCustomWSocket::WaitForClose() {
    while (FHSocket != ws::INVALID_SOCKET && FState != wsClosed) {
        PumpSocketMessages();
        if (FHSocket == ws::INVALID_SOCKET) break;
        ws::u_long waiting = 0;
        if (WSocket::ioctlsocket(FHSocket, ws::FIONREAD, &waiting) == ws::SOCKET_ERROR) break;
        if (waiting > 0) TriggerDataAvailable(0);
        if (FHSocket == ws::INVALID_SOCKET) break;
        // Has the peer closed? A read of nothing cannot tell here (it always gives 0), so
        // the first waiting byte is looked at without taking it: 0 means closed.
        char probe = 0;
        const int result = WSocket::recv(FHSocket, &probe, 1, ws::MSG_PEEK);
        if (result == 0) break;
        if (result < 0) {
            LastError = WSocket::WSAGetLastError();
            if (LastError != ws::WSAEWOULDBLOCK) break;
        }
        PumpSocketMessages();
        // Nothing to do until the next notification.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// ---------------------------------------------------------------------------
// Event triggers (no event reaches a handler while the socket is being destroyed)

void TCustomWSocket::TriggerSessionAvailable(std::uint16_t ErrCode) {
    if (OnSessionAvailable && !Destroying()) OnSessionAvailable(this, ErrCode);
}

void TCustomWSocket::SessionConnectedHook(std::uint16_t ErrCode) {
    TriggerSessionConnected(ErrCode);
}

void TCustomWSocket::TriggerSessionConnected(std::uint16_t ErrCode) {
    if (OnSessionConnected && !Destroying()) OnSessionConnected(this, ErrCode);
}

void TCustomWSocket::TriggerSessionClosed(std::uint16_t ErrCode) {
    if (OnSessionClosed && !Destroying()) OnSessionClosed(this, ErrCode);
}

bool TCustomWSocket::TriggerDataAvailable(std::uint16_t ErrCode) {
    if (!OnDataAvailable || Destroying()) return false;
    OnDataAvailable(this, ErrCode);
    return true;
}

void TCustomWSocket::TriggerDataSent(std::uint16_t ErrCode) {
    if (CheckLogOptions(loWsockDump))
        DebugLog(loWsockDump, IdentityText() + " TriggerDataSent " + IntToStr(static_cast<long long>(FHSocket)));
    if (OnDataSent && !Destroying()) OnDataSent(this, ErrCode);
}

void TCustomWSocket::TriggerError() {
    if (OnError && !Destroying()) OnError(this);
}

void TCustomWSocket::TriggerDnsLookupDone(std::uint16_t ErrCode) {
    if (OnDnsLookupDone && !Destroying()) OnDnsLookupDone(this, ErrCode);
}

void TCustomWSocket::TriggerChangeState(TSocketState OldState, TSocketState NewState) {
    if (OnChangeState && !Destroying()) OnChangeState(this, OldState, NewState);
}

// ---------------------------------------------------------------------------
// Time values

bool TCustomWSocket::TimerIsSet(const TTimeVal& Tvp) {
    return Tvp.tv_sec != 0 || Tvp.tv_usec != 0;
}

void TCustomWSocket::TimerClear(TTimeVal& Tvp) {
    Tvp.tv_sec = 0;
    Tvp.tv_usec = 0;
}

bool TCustomWSocket::TimerCmp(const TTimeVal& Tvp, const TTimeVal& Uvp, char Cmp) {
    const bool equal = Tvp.tv_sec == Uvp.tv_sec && Tvp.tv_usec == Uvp.tv_usec;
    return Cmp == '=' ? equal : !equal;
}
