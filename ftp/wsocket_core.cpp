// The core of TCustomWSocket: life cycle, hidden window, message dispatch, the select
// handlers, receiving, taking over an accepted handle, and message pumping.
#include "ftp/wsocket.h"

#include <mutex>

#include "ftp/scoped_count.h"
#include "ftp/socket_window.h"
#include "ftp/winsock_binding.h"
#include "ftp/wsocket_unit.h"
#include "platform/messages/hidden_windows.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/thread_services.h"

TCustomWSocket* LastDataSocket = nullptr;

std::string FormatSelectEvents(LPARAM Events) {
    const WORD bits = ws::WSAGETSELECTEVENT(Events);
    std::string names;
    if (bits & ws::FD_CONNECT) names += " FD_CONNECT";
    if (bits & ws::FD_READ) names += " FD_READ";
    if (bits & ws::FD_WRITE) names += " FD_WRITE";
    if (bits & ws::FD_CLOSE) names += " FD_CLOSE";
    if (bits & ws::FD_ACCEPT) names += " FD_ACCEPT";
    return names;
}

// ---------------------------------------------------------------------------
// Life cycle

TCustomWSocket::TCustomWSocket() {
    WSocketUnitStartup();
    FHSocket = ws::INVALID_SOCKET;
    AllocateSocketWindow();
    FBufSize = 1460;
    MultiCastIpTTL = 1;
    ListenBacklog = 5;
    FBufferedByteCount = 0;
    TCustomWSocket::ResetDefaults();
    KeepAliveOnOff = wsKeepAliveOnSystem;
    KeepAliveTime = 30000;
    KeepAliveInterval = 1000;
    // The library itself is loaded only by the first Windows Sockets call.
    IncrementWinsockUse();
}

TCustomWSocket::~TCustomWSocket() {
    BeginDestruction();
    try {
        CancelDnsLookup();
    } catch (...) {
    }
    try {
        if (FState != wsClosed) Close();
    } catch (...) {
    }
    try {
        // A handle that no close took care of (a failed take-over) is not leaked.
        if (FHSocket != ws::INVALID_SOCKET) {
            WSocket::closesocket(FHSocket);
            FHSocket = ws::INVALID_SOCKET;
        }
    } catch (...) {
    }
    try {
        std::lock_guard<std::recursive_mutex> guard(WinsockLock());
        DecrementWinsockUse();
        if (WinsockUseCount() <= 0) UnloadWinsock();
    } catch (...) {
    }
    try {
        DeleteBufferedData();
    } catch (...) {
    }
    try {
        DeallocateSocketWindow();
    } catch (...) {
    }
    try {
        std::lock_guard<std::recursive_mutex> guard(WinsockLock());
        if (WinsockUseCount() <= 0) UnregisterSocketWindowClass();
    } catch (...) {
    }
    if (LastDataSocket == this) LastDataSocket = nullptr;
}

void TCustomWSocket::Notification(TSocketComponent* AComponent, TOperation Operation) {
    TSocketComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent && AComponent == FSocketLogger) FSocketLogger = nullptr;
}

void TCustomWSocket::ResetDefaults() {
    RemoteSockAddr = ws::sockaddr_in{};
    RemoteSockAddr.sin_family = ws::AF_INET;
    FAddrFamily = ws::AF_INET;
    FPortAssigned = false;
    FAddrAssigned = false;
    FAddrResolved = false;
    FPortResolved = false;
    FProtoResolved = false;
    FLocalPortResolved = false;
    FProtoAssigned = true;
    FProto = ws::IPPROTO_TCP;
    FProtoStr = "tcp";
    FType = ws::SOCK_STREAM;
    FLocalPortStr = "0";
    FLocalAddr = "0.0.0.0";
    LingerOnOff = wsLingerOn;
    LingerTimeout = 0;
    FHSocket = ws::INVALID_SOCKET;
    FSelectEvents = 0;
    FState = wsClosed;
    FAllSent = true;
    FPaused = false;
    FReadCount = 0;
    FCloseInvoked = false;
    FlushTimeout = 60;
}

// ---------------------------------------------------------------------------
// Hidden window and message dispatch

void TCustomWSocket::AllocateSocketWindow() {
    FWindowHandle = CreateSocketWindow(this);
    FThreadId = GetCurrentThreadId();
    if (!FWindowHandle) RaiseSocketException("Cannot create a hidden window for TWSocket");
}

void TCustomWSocket::DeallocateSocketWindow() {
    if (FWindowHandle && DestroySocketWindow(FWindowHandle)) FWindowHandle = nullptr;
}

void TCustomWSocket::DispatchWindowMessage(TMessage& Msg) {
    {
        ScopedCount dispatching(FDispatchDepth);
        try {
            WndProc(Msg);
        } catch (...) {
            // WndProc hands the system's exceptions to HandleBackgroundException;
            // nothing else may cross the message loop either.
        }
    }
    // A release that arrived during this dispatch, or inside a nested one, frees the
    // object only now that no dispatch of it runs any more.
    if (FDispatchDepth == 0 && FReleasePending) delete this;
}

void TCustomWSocket::WndProc(TMessage& Msg) {
    try {
        switch (Msg.Msg) {
        case WM_ASYNCSELECT:
            HandleAsyncSelect(Msg);
            break;
        case WM_ASYNCGETHOSTBYNAME:
            HandleHostByNameReply(Msg);
            break;
        case WM_ASYNCGETHOSTBYADDR:
            HandleHostByAddrReply(Msg);
            break;
        case WM_CLOSE_DELAYED:
            Close();
            break;
        case WM_WSOCKET_RELEASE:
            FReleasePending = true;
            break;
        case WM_TRIGGER_EXCEPTION:
            throw ESocketException("Test exception in WSocket");
        default:
            Msg.Result = DefWindowProcA(FWindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
            break;
        }
    } catch (const std::exception& E) {
        HandleBackgroundException(E);
    }
}

void TCustomWSocket::HandleBackgroundException(const std::exception& E) {
    bool CanClose = true;
    if (OnBgException && !Destroying()) {
        try {
            OnBgException(this, E, CanClose);
        } catch (...) {
        }
    }
    if (CanClose) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

void TCustomWSocket::HandleAsyncSelect(TMessage& Msg) {
    const ws::SOCKET target = static_cast<ws::SOCKET>(Msg.WParam);
    if (CheckLogOptions(loWsockDump)) {
        const std::string bits = IntToStr(ws::WSAGETSELECTEVENT(Msg.LParam));
        const std::string handle = IntToStr(static_cast<long long>(target));
        if (LastDataSocket == this)
            DebugLog(loProtSpecDump,
                     "AsyncSelect DataSocket " + handle + ", " + bits + FormatSelectEvents(Msg.LParam));
        else
            DebugLog(loProtSpecDump,
                     "AsyncSelect CtrlSocket" + handle + ", " + bits + FormatSelectEvents(Msg.LParam));
    }
    // A late notification for a closed or replaced socket is dropped, as is every
    // notification while paused.
    if (FHSocket == ws::INVALID_SOCKET || target != FHSocket || FPaused) return;

    struct EventHandler {
        WORD Bit;
        void (TCustomWSocket::*Handler)(TMessage&);
    };
    static constexpr EventHandler handlers[] = {
        {ws::FD_CONNECT, &TCustomWSocket::HandleFdConnect}, {ws::FD_READ, &TCustomWSocket::HandleFdRead},
        {ws::FD_WRITE, &TCustomWSocket::HandleFdWrite},     {ws::FD_ACCEPT, &TCustomWSocket::HandleFdAccept},
        {ws::FD_CLOSE, &TCustomWSocket::HandleFdClose},
    };
    const WORD events = ws::WSAGETSELECTEVENT(Msg.LParam);
    struct CurrentEventReset {
        WORD& Event;
        ~CurrentEventReset() { Event = 0; }
    } reset{FCurrentEvent};
    for (const EventHandler& h : handlers) {
        if (!(events & h.Bit)) continue;
        // A handler may have closed or replaced the socket: the rest is not for it.
        if (FHSocket != target) break;
        FCurrentEvent = h.Bit;
        (this->*h.Handler)(Msg);
    }
}

void TCustomWSocket::HandleFdConnect(TMessage& Msg) {
    if (FState == wsConnected) return;
    const ws::SOCKET handle = FHSocket;
    const WORD errCode = ws::WSAGETSELECTERROR(Msg.LParam);
    ChangeSocketState(wsConnected);
    SessionConnectedHook(errCode);
    // A failed connection is closed, unless its handler already closed it or opened
    // another one.
    if (errCode != 0 && FState != wsClosed && FHSocket == handle) Close();
}

void TCustomWSocket::HandleFdRead(TMessage& Msg) {
    const ws::SOCKET handle = FHSocket;
    const WORD errCode = ws::WSAGETSELECTERROR(Msg.LParam);
    if (FState != wsConnected) {
        ChangeSocketState(wsConnected);
        SessionConnectedHook(errCode);
        if (FHSocket != handle) return;
    }
    ReceiveLoop(errCode, ComponentOptions);
}

void TCustomWSocket::HandleFdWrite(TMessage& Msg) {
    const ws::SOCKET handle = FHSocket;
    FlushSendQueue();
    // No OnDataSent for a socket that a send error (or a handler) closed meanwhile.
    if (FAllSent && FHSocket == handle && handle != ws::INVALID_SOCKET)
        TriggerDataSent(ws::WSAGETSELECTERROR(Msg.LParam));
}

void TCustomWSocket::HandleFdAccept(TMessage& Msg) {
    TriggerSessionAvailable(ws::WSAGETSELECTERROR(Msg.LParam));
}

void TCustomWSocket::HandleFdClose(TMessage& Msg) {
    if (FState == wsConnecting || FHSocket == ws::INVALID_SOCKET) return;
    const ws::SOCKET handle = FHSocket;
    // Deliver what is still buffered before the close is reported.
    ReceiveLoop(0, ComponentOptions.Without(wsoNoReceiveLoop));
    // A handler that closed the socket during the drain has reported the close already.
    if (FHSocket != handle) return;
    if (!FCloseInvoked) {
        FCloseInvoked = true;
        TriggerSessionClosed(ws::WSAGETSELECTERROR(Msg.LParam));
    }
    if (FState != wsClosed && FHSocket == handle) Close();
}

void TCustomWSocket::ReceiveLoop(std::uint16_t ErrCode, TWSocketOptions Options) {
    const ws::SOCKET handle = FHSocket;
    long long previousWaiting = -1;
    for (;;) {
        try {
            LastError = 0;
            if (!TriggerDataAvailable(ErrCode)) {
                // Nobody reads: discard, so that the connection never stalls.
                char scratch[1024];
                if (DoRecv(scratch, sizeof scratch, 0) < 0) {
                    LastError = WSocket::WSAGetLastError();
                    if (LastError == ws::WSAEWOULDBLOCK) {
                        LastError = 0;
                        break;
                    }
                }
            }
            if (Options.Contains(wsoNoReceiveLoop)) break;
            if (LastError != 0) {
                if (LastError == -1) LastError = 0;  // a handler's way to end the loop
                break;
            }
            if (FHSocket != handle || handle == ws::INVALID_SOCKET) break;
            ws::u_long waiting = 0;
            if (WSocket::ioctlsocket(handle, ws::FIONREAD, &waiting) == ws::SOCKET_ERROR) {
                LastError = WSocket::WSAGetLastError();
                break;
            }
            if (waiting == 0) break;
            // A handler that took nothing would be offered the same bytes forever; its
            // next read re-arms the notification instead.
            if (previousWaiting >= 0 && static_cast<long long>(waiting) >= previousWaiting) break;
            previousWaiting = static_cast<long long>(waiting);
        } catch (...) {
            break;
        }
    }
}

void TCustomWSocket::ChangeSocketState(TSocketState NewState) {
    const TSocketState oldState = FState;
    FState = NewState;
    if (oldState != NewState) TriggerChangeState(oldState, NewState);
}

// ---------------------------------------------------------------------------
// Receiving

int TCustomWSocket::DoRecv(void* Buffer, int BufferSize, int Flags) {
    return WSocket::recv(FHSocket, static_cast<char*>(Buffer), BufferSize, Flags);
}

int TCustomWSocket::DoRecvFrom(void* Buffer, int BufferSize, int Flags, ws::sockaddr_in& From, int& FromLen) {
    return WSocket::recvfrom(FHSocket, static_cast<char*>(Buffer), BufferSize, Flags,
                             reinterpret_cast<ws::sockaddr*>(&From), &FromLen);
}

int TCustomWSocket::CountReceived(int Result) {
    if (Result < 0)
        LastError = WSocket::WSAGetLastError();
    else
        FReadCount += Result;
    return Result;
}

int TCustomWSocket::Receive(void* Buffer, int BufferSize) {
    return CountReceived(DoRecv(Buffer, BufferSize, 0));
}

int TCustomWSocket::ReceiveFrom(void* Buffer, int BufferSize, ws::sockaddr_in& From, int& FromLen) {
    return CountReceived(DoRecvFrom(Buffer, BufferSize, 0, From, FromLen));
}

std::string TCustomWSocket::ReceiveStr() {
    std::int32_t count = GetRcvdCount();
    if (count < 0) return std::string();
    if (count == 0) count = 255;
    std::string text(static_cast<std::size_t>(count), '\0');
    const int read = Receive(text.data(), count);
    if (read < 1) return std::string();
    text.resize(static_cast<std::size_t>(read));
    return text;
}

std::int32_t TCustomWSocket::GetRcvdCount() {
    ws::u_long waiting = 0;
    if (WSocket::ioctlsocket(FHSocket, ws::FIONREAD, &waiting) == ws::SOCKET_ERROR) {
        RaiseSocketError("ioctlSocket");
        return -1;
    }
    return static_cast<std::int32_t>(waiting);
}

// ---------------------------------------------------------------------------
// Taking over a connected handle

void TCustomWSocket::Dup(ws::SOCKET NewHSocket) {
    if (NewHSocket == 0 || NewHSocket == ws::INVALID_SOCKET) {
        WSocket::WSASetLastError(ws::WSAEINVAL);
        RaiseSocketError("Dup");
        return;
    }
    if (FState != wsClosed) {
        const int result = WSocket::closesocket(FHSocket);
        FHSocket = ws::INVALID_SOCKET;
        if (result != 0) {
            RaiseSocketError("Dup (closesocket)");
            return;
        }
        ChangeSocketState(wsClosed);
    } else if (FHSocket != NewHSocket) {
        DiscardStaleHandle();
    }
    FHSocket = NewHSocket;
    if (!ReadBufferSizes()) return;
    ApplyLinger();
    FSelectEvents = ws::FD_READ | ws::FD_WRITE | ws::FD_CLOSE;
    if (WSocket::WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvents) != 0) {
        RaiseSocketError("WSAAsyncSelect");
        return;
    }
    DupConnected();
}

bool TCustomWSocket::ReadBufferSizes() {
    std::int32_t size = 0;
    int len = sizeof size;
    if (WSocket::CountedGetsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_SNDBUF, reinterpret_cast<char*>(&size), &len) ==
        ws::SOCKET_ERROR) {
        RaiseSocketError("getsockopt(SO_SNDBUF)");
        return false;
    }
    FSndBufSize = size;
    len = sizeof size;
    if (WSocket::CountedGetsockopt(FHSocket, ws::SOL_SOCKET, ws::SO_RCVBUF, reinterpret_cast<char*>(&size), &len) ==
        ws::SOCKET_ERROR) {
        RaiseSocketError("getsockopt(SO_RCVBUF)");
        return false;
    }
    FRcvBufSize = size;
    return true;
}

void TCustomWSocket::DupConnected() {
    ChangeSocketState(wsConnected);
}

// ---------------------------------------------------------------------------
// Message pumping and threads

void TCustomWSocket::PumpSocketMessages() {
    {
        // A release dispatched inside the pump must wait until the pump has returned.
        ScopedCount dispatching(FDispatchDepth);
        if (MultiThreaded)
            PumpPendingMessages();
        else
            RunApplicationMessagePump();
    }
    if (FDispatchDepth == 0 && FReleasePending && FWindowHandle) {
        // Not inside a dispatch of our own: hand the release back to the queue.
        FReleasePending = false;
        PostMessageA(FWindowHandle, WM_WSOCKET_RELEASE, 0, 0);
    }
}

bool TCustomWSocket::ProcessMessage() {
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void TCustomWSocket::PumpPendingMessages() {
    while (ProcessMessage()) {
    }
}

void TCustomWSocket::ThreadAttach() {
    if (FWindowHandle) {
        RaiseSocketException("Cannot attach when not detached");
        return;
    }
    AllocateSocketWindow();
    if (FHSocket != ws::INVALID_SOCKET) WSocket::WSAAsyncSelect(FHSocket, FWindowHandle, WM_ASYNCSELECT, FSelectEvents);
}

void TCustomWSocket::ThreadDetach() {
    if (GetCurrentThreadId() != FThreadId) {
        RaiseSocketException("Cannot detach from other thread");
        return;
    }
    if (FHSocket != ws::INVALID_SOCKET) WSocket::WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
    DeallocateSocketWindow();
}

// ---------------------------------------------------------------------------
// Shared Windows Sockets version

BYTE TCustomWSocket::ReqVerLow() const {
    return WinsockReqVerLow();
}

BYTE TCustomWSocket::ReqVerHigh() const {
    return WinsockReqVerHigh();
}

void TCustomWSocket::SetReqVerLow(BYTE Value) {
    {
        std::lock_guard<std::recursive_mutex> guard(WinsockLock());
        if (Value == WinsockReqVerLow()) return;
        if (!WinsockLoaded()) {
            StoreWinsockReqVer(Value, WinsockReqVerHigh());
            return;
        }
    }
    // A plain refusal: no Windows Sockets error is involved and no socket is touched.
    RaiseSocketException("SetReqVerLow: WinSock version can't be changed now");
}

void TCustomWSocket::SetReqVerHigh(BYTE Value) {
    {
        std::lock_guard<std::recursive_mutex> guard(WinsockLock());
        if (Value == WinsockReqVerHigh()) return;
        if (!WinsockLoaded()) {
            StoreWinsockReqVer(WinsockReqVerLow(), Value);
            return;
        }
    }
    RaiseSocketException("SetReqVerHigh: WinSock version can't be changed now");
}

// ---------------------------------------------------------------------------
// Logging

void TCustomWSocket::SetSocketLogger(TSocketLogger* Value) {
    if (Value == FSocketLogger) return;
    if (FSocketLogger) RemoveFreeNotification(FSocketLogger);
    FSocketLogger = Value;
    if (FSocketLogger) FreeNotification(FSocketLogger);
}

bool TCustomWSocket::CheckLogOptions(TLogOption LogOption) {
    return FSocketLogger && FSocketLogger->LogOptions().ContainsOrdinal(static_cast<unsigned>(LogOption));
}

void TCustomWSocket::DebugLog(TLogOption LogOption, const std::string& Msg) {
    if (FSocketLogger) FSocketLogger->DoDebugLog(this, LogOption, Msg);
}

std::string TCustomWSocket::IdentityText() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(this));
    std::string text(8, '0');
    for (int i = 0; i < 8; ++i) text[static_cast<std::size_t>(7 - i)] = digits[(value >> (4 * i)) & 0xF];
    return text;
}
