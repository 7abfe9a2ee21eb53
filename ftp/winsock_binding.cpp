#include "ftp/winsock_binding.h"

#include <atomic>
#include <string>

#include "ftp/socket_errors.h"
#include "platform/messages/thread_services.h"
#include "platform/winsock/winsock_api.h"

namespace {

// The cached entry points. A cell is tested and filled without the lock (two threads
// may bind the same name and store the same address), hence the atomics.
struct ProcTable {
#define WSOCKET_CELL(name) std::atomic<FARPROC> name{nullptr};
    WSOCKET_WSOCK32_PROCS(WSOCKET_CELL)
    std::atomic<FARPROC> WSAIoctl{nullptr};
#undef WSOCKET_CELL

    void ClearAll() {
#define WSOCKET_CLEAR(name) name.store(nullptr, std::memory_order_release);
        WSOCKET_WSOCK32_PROCS(WSOCKET_CLEAR)
        WSAIoctl.store(nullptr, std::memory_order_release);
#undef WSOCKET_CLEAR
    }
};

struct BindingState {
    HMODULE Wsock32 = nullptr;
    HMODULE Ws2 = nullptr;
    ws::WSADATA Data{};
    std::int32_t UseCount = 0;
    BYTE ReqVerLow = 1;
    BYTE ReqVerHigh = 1;
};

ProcTable gProcs;
BindingState gState;  // guarded by WinsockLock()

// The cached entry point of `name`, bound through `bind` at its first use.
template <class PFN>
PFN Cell(std::atomic<FARPROC>& cell, const char* name, FARPROC (*bind)(const char*) = &BindWinsockProc) {
    FARPROC p = cell.load(std::memory_order_acquire);
    if (!p) {
        p = bind(name);
        cell.store(p, std::memory_order_release);
    }
    return reinterpret_cast<PFN>(p);
}

// ProcName in a loaded library, or ESocketException naming both.
FARPROC ProcIn(HMODULE Library, const char* LibraryName, const char* ProcName) {
    FARPROC proc = GetProcAddress(Library, ProcName);
    if (!proc)
        throw ESocketException(std::string("Procedure ") + ProcName + " not found in " + LibraryName + " - " +
                               FormatSystemError(GetLastError()));
    return proc;
}

// Keeps the use count raised for the life of one counted call.
struct UseScope {
    UseScope() { IncrementWinsockUse(); }
    ~UseScope() { DecrementWinsockUse(); }
    UseScope(const UseScope&) = delete;
    UseScope& operator=(const UseScope&) = delete;
};

void (*gLoadedHandler)() = nullptr;  // guarded by WinsockLock()

}  // namespace

void SetWinsockLoadedHandler(void (*handler)()) {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    gLoadedHandler = handler;
}

std::recursive_mutex& WinsockLock() {
    static std::recursive_mutex lock;
    return lock;
}

FARPROC BindWinsockProc(const char* ProcName) {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    if (!gState.Wsock32) {
        HMODULE module = LoadLibraryA("wsock32.dll");
        if (!module)
            throw ESocketException("Unable to load wsock32.dll - " + FormatSystemError(GetLastError()));
        // Recorded before the start-up, so that a failed start-up is not tried again.
        gState.Wsock32 = module;
        if (gLoadedHandler) gLoadedHandler();
        const int result = WSocket::WSAStartup(MAKEWORD(gState.ReqVerLow, gState.ReqVerHigh), &gState.Data);
        if (result != 0)
            throw ESocketException("Winsock startup error wsock32.dll - " +
                                   FormatSystemError(static_cast<unsigned long>(result)));
    }
    if (!ProcName || !*ProcName) return nullptr;
    return ProcIn(gState.Wsock32, "wsock32.dll", ProcName);
}

FARPROC BindWs2Proc(const char* ProcName) {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    if (!gState.Ws2) {
        // Windows Sockets is always started through wsock32.dll.
        if (!gState.Wsock32) BindWinsockProc("");
        HMODULE module = LoadLibraryA("ws2_32.dll");
        if (!module)
            throw ESocketException("Unable to load ws2_32.dll - " + FormatSystemError(GetLastError()));
        gState.Ws2 = module;
    }
    if (!ProcName || !*ProcName) return nullptr;
    return ProcIn(gState.Ws2, "ws2_32.dll", ProcName);
}

void IncrementWinsockUse() {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    ++gState.UseCount;
}

void DecrementWinsockUse() {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    --gState.UseCount;
}

std::int32_t WinsockUseCount() {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    return gState.UseCount;
}

bool WinsockLoaded() {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    return gState.Wsock32 != nullptr;
}

void UnloadWinsock() {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    if (!gState.Wsock32 || gState.UseCount != 0) return;
    WSocket::WSACleanup();
    if (gState.Ws2) {
        FreeLibrary(gState.Ws2);
        gState.Ws2 = nullptr;
        gProcs.WSAIoctl.store(nullptr, std::memory_order_release);
    }
    FreeLibrary(gState.Wsock32);
    gState.Wsock32 = nullptr;
    gProcs.ClearAll();
}

BYTE WinsockReqVerLow() {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    return gState.ReqVerLow;
}

BYTE WinsockReqVerHigh() {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    return gState.ReqVerHigh;
}

void StoreWinsockReqVer(BYTE Low, BYTE High) {
    std::lock_guard<std::recursive_mutex> guard(WinsockLock());
    gState.ReqVerLow = Low;
    gState.ReqVerHigh = High;
}

namespace WSocket {

#define WSOCKET_CALL(name) Cell<ws::PFN_##name>(gProcs.name, #name)

int WSAStartup(WORD VersionRequested, WSADATA* Data) { return WSOCKET_CALL(WSAStartup)(VersionRequested, Data); }
int WSACleanup() { return WSOCKET_CALL(WSACleanup)(); }
void WSASetLastError(int Error) { WSOCKET_CALL(WSASetLastError)(Error); }
int WSAGetLastError() { return WSOCKET_CALL(WSAGetLastError)(); }
int WSACancelAsyncRequest(HANDLE AsyncTaskHandle) { return WSOCKET_CALL(WSACancelAsyncRequest)(AsyncTaskHandle); }
HANDLE WSAAsyncGetHostByName(HWND Wnd, u_int Msg, const char* Name, char* Buf, int BufLen) {
    return WSOCKET_CALL(WSAAsyncGetHostByName)(Wnd, Msg, Name, Buf, BufLen);
}
HANDLE WSAAsyncGetHostByAddr(HWND Wnd, u_int Msg, const char* Addr, int Len, int Type, char* Buf, int BufLen) {
    return WSOCKET_CALL(WSAAsyncGetHostByAddr)(Wnd, Msg, Addr, Len, Type, Buf, BufLen);
}
int WSAAsyncSelect(SOCKET S, HWND Wnd, u_int Msg, LONG Events) {
    return WSOCKET_CALL(WSAAsyncSelect)(S, Wnd, Msg, Events);
}
servent* getservbyname(const char* Name, const char* Proto) { return WSOCKET_CALL(getservbyname)(Name, Proto); }
protoent* getprotobyname(const char* Name) { return WSOCKET_CALL(getprotobyname)(Name); }
hostent* gethostbyname(const char* Name) { return WSOCKET_CALL(gethostbyname)(Name); }
hostent* gethostbyaddr(const char* Addr, int Len, int Type) { return WSOCKET_CALL(gethostbyaddr)(Addr, Len, Type); }
SOCKET socket(int Af, int Type, int Protocol) { return WSOCKET_CALL(socket)(Af, Type, Protocol); }
int shutdown(SOCKET S, int How) { return WSOCKET_CALL(shutdown)(S, How); }
int setsockopt(SOCKET S, int Level, int OptName, const char* OptVal, int OptLen) {
    return WSOCKET_CALL(setsockopt)(S, Level, OptName, OptVal, OptLen);
}
int getsockopt(SOCKET S, int Level, int OptName, char* OptVal, int* OptLen) {
    return WSOCKET_CALL(getsockopt)(S, Level, OptName, OptVal, OptLen);
}
int sendto(SOCKET S, const char* Buf, int Len, int Flags, const sockaddr* To, int ToLen) {
    return WSOCKET_CALL(sendto)(S, Buf, Len, Flags, To, ToLen);
}
int send(SOCKET S, const char* Buf, int Len, int Flags) { return WSOCKET_CALL(send)(S, Buf, Len, Flags); }
int recv(SOCKET S, char* Buf, int Len, int Flags) { return WSOCKET_CALL(recv)(S, Buf, Len, Flags); }
int recvfrom(SOCKET S, char* Buf, int Len, int Flags, sockaddr* From, int* FromLen) {
    return WSOCKET_CALL(recvfrom)(S, Buf, Len, Flags, From, FromLen);
}
u_short ntohs(u_short NetShort) { return WSOCKET_CALL(ntohs)(NetShort); }
int listen(SOCKET S, int Backlog) { return WSOCKET_CALL(listen)(S, Backlog); }
int ioctlsocket(SOCKET S, LONG Cmd, u_long* Argp) { return WSOCKET_CALL(ioctlsocket)(S, Cmd, Argp); }
char* inet_ntoa(in_addr In) { return WSOCKET_CALL(inet_ntoa)(In); }
u_long inet_addr(const char* Cp) { return WSOCKET_CALL(inet_addr)(Cp); }
u_short htons(u_short HostShort) { return WSOCKET_CALL(htons)(HostShort); }
u_long htonl(u_long HostLong) { return WSOCKET_CALL(htonl)(HostLong); }
int getsockname(SOCKET S, sockaddr* Name, int* NameLen) { return WSOCKET_CALL(getsockname)(S, Name, NameLen); }
int getpeername(SOCKET S, sockaddr* Name, int* NameLen) { return WSOCKET_CALL(getpeername)(S, Name, NameLen); }
int connect(SOCKET S, const sockaddr* Name, int NameLen) { return WSOCKET_CALL(connect)(S, Name, NameLen); }
int closesocket(SOCKET S) { return WSOCKET_CALL(closesocket)(S); }
int bind(SOCKET S, const sockaddr* Addr, int NameLen) { return WSOCKET_CALL(bind)(S, Addr, NameLen); }
SOCKET accept(SOCKET S, sockaddr* Addr, int* AddrLen) { return WSOCKET_CALL(accept)(S, Addr, AddrLen); }

#undef WSOCKET_CALL

int WSAIoctl(SOCKET S, DWORD IoControlCode, void* InBuffer, DWORD InBufferSize, void* OutBuffer,
             DWORD OutBufferSize, DWORD* BytesReturned, void* Overlapped, void* CompletionRoutine) {
    return Cell<ws::PFN_WSAIoctl>(gProcs.WSAIoctl, "WSAIoctl", &BindWs2Proc)(
        S, IoControlCode, InBuffer, InBufferSize, OutBuffer, OutBufferSize, BytesReturned, Overlapped,
        CompletionRoutine);
}

int CountedGetsockopt(SOCKET S, int Level, int OptName, char* OptVal, int* OptLen) {
    UseScope use;
    return WSocket::getsockopt(S, Level, OptName, OptVal, OptLen);
}

u_short CountedNtohs(u_short NetShort) {
    UseScope use;
    return WSocket::ntohs(NetShort);
}

int CountedWSAIoctl(SOCKET S, DWORD IoControlCode, void* InBuffer, DWORD InBufferSize, void* OutBuffer,
                    DWORD OutBufferSize, DWORD* BytesReturned, void* Overlapped, void* CompletionRoutine) {
    UseScope use;
    return WSocket::WSAIoctl(S, IoControlCode, InBuffer, InBufferSize, OutBuffer, OutBufferSize, BytesReturned, Overlapped,
                    CompletionRoutine);
}

char* CountedInetNtoa(in_addr In) {
    UseScope use;
    return WSocket::inet_ntoa(In);
}

u_long CountedHtonl(u_long HostLong) {
    UseScope use;
    return WSocket::htonl(HostLong);
}

}  // namespace WSocket
