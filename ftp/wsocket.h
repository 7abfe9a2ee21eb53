#pragma once
// TCustomWSocket: the asynchronous socket component. One instance owns at most one
// non-blocking socket and one hidden window of its own, made on the thread that creates
// the component. Windows Sockets reports readiness, connection, acceptance, closure and
// the end of name lookups as messages to that window; the component turns them into its
// On... events. Nothing blocks: every operation returns at once and its outcome arrives
// later as an event.
//
// The class chain built on it is TCustomWSocket > TCustomSocksWSocket >
// TCustomLineWSocket > TCustomSyncWSocket > TWSocket; every trigger and every step a
// subclass may change is virtual. Constructors cannot dispatch to overrides, so a
// subclass whose ResetDefaults adds state calls its own reset in its constructor.
//
// Freeing a socket from one of its own handlers goes through Release: the object is
// destroyed once the dispatch that is running (and any dispatch around it) has ended.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <deque>
#include <vector>

#include "ftp/enum_set.h"
#include "ftp/send_buffer.h"
#include "ftp/socket_component.h"
#include "ftp/socket_errors.h"
#include "ftp/socket_logger.h"
#include "platform/messages/win_types.h"
#include "platform/winsock/winsock_types.h"

// Messages of the socket's hidden window.
inline constexpr UINT WM_ASYNCSELECT = WM_USER + 1;         // select notification
inline constexpr UINT WM_ASYNCGETHOSTBYNAME = WM_USER + 2;  // host-by-name lookup done
inline constexpr UINT WM_ASYNCGETHOSTBYADDR = WM_USER + 3;  // host-by-address lookup done
inline constexpr UINT WM_CLOSE_DELAYED = WM_USER + 4;       // delayed close
inline constexpr UINT WM_WSOCKET_RELEASE = WM_USER + 5;     // free the component
inline constexpr UINT WM_TRIGGER_EXCEPTION = WM_USER + 6;   // raise a test exception

// The window class of every socket's hidden window.
inline constexpr const char* SocketWindowClassName = "XSocketWindowClass";

// Size of the area that an asynchronous host lookup fills with a host entry.
inline constexpr int DnsLookupBufferSize = 1025;

enum TSocketState : std::uint8_t {
    wsInvalidState, wsOpened, wsBound, wsConnecting, wsSocksConnected,
    wsConnected, wsAccepting, wsListening, wsClosed
};
enum TWSocketOption : std::uint8_t { wsoNoReceiveLoop, wsoTcpNoDelay, wsoSIO_RCVALL };
using TWSocketOptions = TEnumSet<TWSocketOption, std::uint8_t>;
enum TSocketSendFlags : std::uint8_t { wsSendNormal, wsSendUrgent };
enum TSocketLingerOnOff : std::uint8_t { wsLingerOff, wsLingerOn, wsLingerNoSet };
enum TSocketKeepAliveOnOff : std::uint8_t { wsKeepAliveOff, wsKeepAliveOnCustom, wsKeepAliveOnSystem };

// One window message as the component's window procedure sees it.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A time value of seconds and microseconds.
struct TTimeVal {
    std::int32_t tv_sec = 0;
    std::int32_t tv_usec = 0;
};

class TCustomWSocket;

using TSocketErrCodeEvent = std::function<void(TCustomWSocket* Sender, std::uint16_t ErrCode)>;
using TDataAvailable = TSocketErrCodeEvent;
using TDataSent = TSocketErrCodeEvent;
using TSessionClosed = TSocketErrCodeEvent;
using TSessionAvailable = TSocketErrCodeEvent;
using TSessionConnected = TSocketErrCodeEvent;
using TDnsLookupDone = TSocketErrCodeEvent;
using TSendData = std::function<void(TCustomWSocket* Sender, std::int32_t BytesSent)>;
using TChangeState = std::function<void(TCustomWSocket* Sender, TSocketState OldState, TSocketState NewState)>;
using TSocketNotifyEvent = std::function<void(TCustomWSocket* Sender)>;
using TBgExceptionEvent = std::function<void(TCustomWSocket* Sender, const std::exception& E, bool& CanClose)>;

class TCustomWSocket : public TSocketComponent {
public:
    TCustomWSocket();
    ~TCustomWSocket() override;

    // ---- Events (each called only when assigned; Sender is the socket) ----
    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TSessionClosed OnSessionClosed;
    TChangeState OnChangeState;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TSendData OnSendData;
    TDnsLookupDone OnDnsLookupDone;
    TSocketNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

    // ---- Plain properties ----
    std::int32_t LastError = 0;
    bool MultiThreaded = false;
    bool MultiCast = false;
    std::string MultiCastAddrStr;
    std::int32_t MultiCastIpTTL = 1;
    bool ReuseAddr = false;
    TWSocketOptions ComponentOptions;
    std::int32_t ListenBacklog = 5;
    std::int32_t FlushTimeout = 60;  // kept for compatibility; nothing reads it
    TSocketLingerOnOff LingerOnOff = wsLingerOn;
    std::int32_t LingerTimeout = 0;  // seconds
    TSocketKeepAliveOnOff KeepAliveOnOff = wsKeepAliveOnSystem;
    std::int32_t KeepAliveTime = 30000;      // milliseconds
    std::int32_t KeepAliveInterval = 1000;   // milliseconds
    // The remote end: the target of Connect and of datagram sends, the address Listen
    // binds to, and the peer that Accept met.
    ws::sockaddr_in RemoteSockAddr{};

    // ---- Properties with accessors ----
    const std::string& Addr() const { return FAddrStr; }
    void SetAddr(const std::string& Value);
    const std::string& Port() const { return FPortStr; }
    virtual void SetPort(const std::string& Value);
    const std::string& Proto() const { return FProtoStr; }
    virtual void SetProto(const std::string& Value);
    const std::string& LocalAddr() const { return FLocalAddr; }
    void SetLocalAddr(const std::string& Value);
    const std::string& LocalPort() const { return FLocalPortStr; }
    void SetLocalPort(const std::string& Value);
    std::string PeerAddr() { return GetPeerAddr(); }
    std::string PeerPort() { return GetPeerPort(); }
    const std::string& DnsResult() const { return FDnsResult; }
    const std::vector<std::string>& DnsResultList() const { return FDnsResultList; }
    TSocketState State() const { return FState; }
    std::int32_t ReadCount() const { return FReadCount; }
    std::int32_t RcvdCount() { return GetRcvdCount(); }
    BYTE ReqVerLow() const;
    void SetReqVerLow(BYTE Value);
    BYTE ReqVerHigh() const;
    void SetReqVerHigh(BYTE Value);
    TSocketSendFlags SendFlags();
    void SetSendFlags(TSocketSendFlags Value);
    TSocketLogger* SocketLogger() const { return FSocketLogger; }
    virtual void SetSocketLogger(TSocketLogger* Value);

    ws::SOCKET HSocket() const { return FHSocket; }
    HWND Handle() const { return FWindowHandle; }
    DWORD ThreadId() const { return FThreadId; }
    bool AllSent() const { return FAllSent; }
    std::int32_t BufferedByteCount() const;
    // The size of the blocks the send queue is made of (1460 by default); a size of 0
    // or less restores the default. Applies to the blocks made from then on.
    std::int32_t BufSize() const { return FBufSize; }
    void SetBufSize(std::int32_t Value) { FBufSize = Value > 0 ? Value : 1460; }
    // The bytes of this connection the peer has taken (sent and acknowledged) so far,
    // as the system counts them; -1 when the system cannot tell.
    std::int64_t BytesTakenByPeer();
    ws::SOCKET LastAcceptedHandle() const { return FLastAcceptedHandle; }
    std::int32_t SndBufSize() const { return FSndBufSize; }
    std::int32_t RcvBufSize() const { return FRcvBufSize; }
    bool Terminated() const { return FTerminated; }
    bool Paused() const { return FPaused; }

    // ---- Operations ----
    virtual void Connect();
    virtual void Close();
    virtual void CloseDelayed();
    virtual void Release();
    virtual void Abort();
    virtual void Flush();
    virtual void WaitForClose();
    virtual void Listen();
    virtual ws::SOCKET Accept();
    virtual int Receive(void* Buffer, int BufferSize);
    virtual std::string ReceiveStr();
    virtual int ReceiveFrom(void* Buffer, int BufferSize, ws::sockaddr_in& From, int& FromLen);
    virtual int Send(const void* Data, int Len);
    virtual int SendTo(const ws::sockaddr_in& Dest, int DestLen, const void* Data, int Len);
    virtual int SendStr(const std::string& Str);
    virtual void DnsLookup(const std::string& HostName);
    virtual void ReverseDnsLookup(const std::string& HostAddr);
    virtual void ReverseDnsLookupSync(const std::string& HostAddr);
    virtual void CancelDnsLookup();
    virtual std::string GetPeerAddr();
    virtual std::string GetPeerPort();
    virtual int GetPeerName(ws::sockaddr_in& Name, int NameLen);
    virtual std::string GetBoundPort();
    virtual std::string GetBoundAddr();
    virtual bool TimerIsSet(const TTimeVal& Tvp);
    virtual void TimerClear(TTimeVal& Tvp);
    // Compares the two values: Cmp is '=' (equal) or any other character (not equal).
    virtual bool TimerCmp(const TTimeVal& Tvp, const TTimeVal& Uvp, char Cmp);
    virtual int GetSockName(ws::sockaddr_in& Name, int& NameLen);
    virtual void Dup(ws::SOCKET NewHSocket);
    virtual void Shutdown(int How);
    virtual int Pause();
    virtual int Resume();
    virtual void PumpSocketMessages();
    virtual void ThreadAttach();
    virtual void ThreadDetach();
    bool ProcessMessage();
    void PumpPendingMessages();
    void ApplyKeepAlive();
    void ApplyLinger();
    void DeleteBufferedData();

    virtual bool CheckLogOptions(TLogOption LogOption);
    virtual void DebugLog(TLogOption LogOption, const std::string& Msg);

protected:
    friend LRESULT SocketWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

    void Notification(TSocketComponent* AComponent, TOperation Operation) override;
    virtual void WndProc(TMessage& Msg);
    virtual void AllocateSocketWindow();
    virtual void DeallocateSocketWindow();
    virtual void FlushSendQueue();
    virtual void ResetDefaults();
    virtual void InternalClose(bool Shut, std::uint16_t ErrCode);
    virtual void InternalAbort(std::uint16_t ErrCode);
    virtual std::int32_t GetRcvdCount();
    virtual void Bind();
    virtual int RealSend(const void* Data, int Len);
    // A send the system refused with Error (not a full buffer): a broken connection is
    // closed and reported, anything else raises.
    void SendRefused(int Error);
    // The single way every operation reports a failure: OnError when assigned (the
    // operation then carries on), else an ESocketException with Msg.
    virtual void RaiseSocketException(const std::string& Msg);
    // Words Msg from the last Windows Sockets error; closes the socket on a reset or
    // not-connected error; then RaiseSocketException.
    void RaiseSocketError(const std::string& Where);
    virtual void HandleBackgroundException(const std::exception& E);
    virtual bool TriggerDataAvailable(std::uint16_t ErrCode);
    virtual void TriggerSessionAvailable(std::uint16_t ErrCode);
    virtual void SessionConnectedHook(std::uint16_t ErrCode);
    virtual void TriggerSessionConnected(std::uint16_t ErrCode);
    virtual void TriggerSessionClosed(std::uint16_t ErrCode);
    virtual void TriggerDataSent(std::uint16_t ErrCode);
    virtual void TriggerChangeState(TSocketState OldState, TSocketState NewState);
    virtual void TriggerDnsLookupDone(std::uint16_t ErrCode);
    virtual void TriggerError();
    void TriggerSendData(std::int32_t BytesSent);
    virtual int DoRecv(void* Buffer, int BufferSize, int Flags);
    virtual int DoRecvFrom(void* Buffer, int BufferSize, int Flags, ws::sockaddr_in& From, int& FromLen);
    virtual void HandleFdConnect(TMessage& Msg);
    virtual void HandleFdRead(TMessage& Msg);
    virtual void HandleFdWrite(TMessage& Msg);
    virtual void HandleFdAccept(TMessage& Msg);
    virtual void HandleFdClose(TMessage& Msg);
    virtual void DupConnected();
    virtual void QueueSendData(const void* Data, int Len);

    void ChangeSocketState(TSocketState NewState);
    void ReceiveLoop(std::uint16_t ErrCode, TWSocketOptions Options);
    void HandleAsyncSelect(TMessage& Msg);
    void HandleHostByNameReply(TMessage& Msg);
    void HandleHostByAddrReply(TMessage& Msg);
    void PostSelectEvent(WORD Event);
    // Accounts for a read that gave Result: its error in LastError when it failed, its
    // bytes in ReadCount when it did not. Returns Result.
    int CountReceived(int Result);
    // The 8-hex-digit identity of the object, for log lines.
    std::string IdentityText() const;

    // ---- State shared with the subclasses ----
    std::string FDnsResult;
    std::vector<std::string> FDnsResultList;
    std::int32_t FSendFlags = 0;
    HWND FWindowHandle = nullptr;
    alignas(ws::hostent) char FDnsLookupBuffer[DnsLookupBufferSize] = {};
    bool FDnsEarlyReply = false;
    TMessage FDnsSavedReply;
    ws::SOCKET FHSocket = ws::INVALID_SOCKET;
    ws::SOCKET FLastAcceptedHandle = ws::INVALID_SOCKET;
    std::string FAddrStr;
    bool FAddrResolved = false;
    std::int32_t FAddrFamily = ws::AF_INET;
    bool FAddrAssigned = false;
    std::int32_t FProto = ws::IPPROTO_TCP;
    bool FProtoAssigned = true;
    bool FProtoResolved = false;
    bool FLocalPortResolved = false;
    std::string FProtoStr = "tcp";
    std::string FPortStr;
    bool FPortAssigned = false;
    bool FPortResolved = false;
    std::int32_t FPortNum = 0;
    std::string FLocalPortStr = "0";
    std::int32_t FLocalPortNum = 0;
    std::string FLocalAddr = "0.0.0.0";
    std::int32_t FType = ws::SOCK_STREAM;
    std::deque<std::unique_ptr<TBuffer>> FBufList;  // the send queue
    std::int32_t FBufSize = 1460;
    bool FAllSent = true;
    std::int32_t FReadCount = 0;
    bool FPaused = false;
    bool FCloseInvoked = false;  // OnSessionClosed already raised for this connection
    std::int32_t FBufferedByteCount = 0;
    HANDLE FDnsLookupHandle = nullptr;
    TSocketState FState = wsClosed;
    bool FTerminated = false;
    LONG FSelectEvents = 0;
    WORD FCurrentEvent = 0;  // the FD_ bit whose handler runs, 0 outside the dispatch
    DWORD FThreadId = 0;
    std::int32_t FSndBufSize = 0;
    std::int32_t FRcvBufSize = 0;
    TSocketLogger* FSocketLogger = nullptr;
    // Counts the failures reported through RaiseSocketException, so that an operation
    // can stop at the step that failed also when OnError took the report.
    std::uint32_t FFailureReports = 0;

private:
    // Sets one of the Addr, Port and Proto texts (refused while the socket is open):
    // the text without blanks; a new non-empty one is resolved again when next used.
    void AssignTargetText(const char* Name, const std::string& Value, std::string& Text, bool& Assigned,
                          bool& Resolved);
    // Reads the system's send and receive buffer sizes of the handle; false once a
    // failure has been reported.
    bool ReadBufferSizes();
    // The address of the peer of a connected socket; false when not connected, or (after
    // reporting the failure as in Where) when the query fails.
    bool QueryPeer(ws::sockaddr_in& Peer, const char* Where);
    // The local address of a bound, connected or listening socket; false otherwise.
    bool QueryBound(ws::sockaddr_in& Local);
    // Cancels the lookup still pending and clears the results of the last one.
    void ForgetLastLookup();
    // The first steps of both reverse lookups: an address text that cannot be one is
    // reported (and the lookup ends with WSAEINVAL); else the last lookup is forgotten
    // and Address is the text's address in network order.
    bool StartReverseLookup(const std::string& HostAddr, ws::u_long& Address);
    // Closes a handle left open by an operation that failed before the socket was
    // opened (state still wsClosed), before a new one replaces it.
    void DiscardStaleHandle();
    // Runs one message through WndProc and frees the object when a release is pending
    // and no dispatch of it is running any more.
    void DispatchWindowMessage(TMessage& Msg);
    int FDispatchDepth = 0;
    bool FReleasePending = false;
    bool FFlushing = false;  // a FlushSendQueue is running
};

// The socket that the FTP client uses for data; only the wording of a log line uses it.
extern TCustomWSocket* LastDataSocket;

// The names of the FD_ bits set in Events, each with a leading blank, in the order
// FD_CONNECT, FD_READ, FD_WRITE, FD_CLOSE, FD_ACCEPT.
std::string FormatSelectEvents(LPARAM Events);
