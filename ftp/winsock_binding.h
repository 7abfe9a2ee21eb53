#pragma once
// Windows Sockets, loaded by name at the first call that needs it and bound function by
// function. Every other part of the socket layer calls Windows Sockets only through the
// wrappers below (same names, arguments and results as the bound functions), so a
// program that never opens a socket never loads the library.
//
// A use count (live socket components plus calls in progress through the counted
// wrappers) decides when the library may be cleaned up and freed again.
#include <cstdint>
#include <mutex>
#include <type_traits>

#include "platform/winsock/module_table.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_types.h"

// Every function bound from wsock32.dll, by the name it is exported under.
#define WSOCKET_WSOCK32_PROCS(X)                                                                      \
    X(WSAStartup) X(WSACleanup) X(WSASetLastError) X(WSAGetLastError) X(WSACancelAsyncRequest)        \
    X(WSAAsyncGetHostByName) X(WSAAsyncGetHostByAddr) X(WSAAsyncSelect) X(getservbyname)              \
    X(getprotobyname) X(gethostbyname) X(gethostbyaddr) X(socket) X(shutdown) X(setsockopt)           \
    X(getsockopt) X(sendto) X(send) X(recv) X(recvfrom) X(ntohs) X(listen) X(ioctlsocket) X(inet_ntoa) \
    X(inet_addr) X(htons) X(htonl) X(getsockname) X(getpeername) X(connect) X(closesocket) X(bind)    \
    X(accept)

namespace WSocket {

using ws::hostent;
using ws::in_addr;
using ws::protoent;
using ws::servent;
using ws::sockaddr;
using ws::SOCKET;
using ws::u_int;
using ws::u_long;
using ws::u_short;
using ws::WSADATA;

// Each wrapper has exactly the type of the function it binds (the ws::PFN_ types of
// platform/winsock/winsock_api.h), e.g. int WSocket::connect(SOCKET, const sockaddr*, int).
#define WSOCKET_DECLARE_WRAPPER(name) std::remove_pointer_t<ws::PFN_##name> name;
WSOCKET_WSOCK32_PROCS(WSOCKET_DECLARE_WRAPPER)
// The one function bound from ws2_32.dll.
WSOCKET_DECLARE_WRAPPER(WSAIoctl)
#undef WSOCKET_DECLARE_WRAPPER

// The same calls bracketed by the use count, so that the library cannot be unloaded
// while they run.
int CountedGetsockopt(SOCKET S, int Level, int OptName, char* OptVal, int* OptLen);
u_short CountedNtohs(u_short NetShort);
int CountedWSAIoctl(SOCKET S, DWORD IoControlCode, void* InBuffer, DWORD InBufferSize, void* OutBuffer,
                    DWORD OutBufferSize, DWORD* BytesReturned, void* Overlapped, void* CompletionRoutine);
char* CountedInetNtoa(in_addr In);
u_long CountedHtonl(u_long HostLong);

}  // namespace WSocket

// The entry point of ProcName in wsock32.dll (or ws2_32.dll), loading and starting the
// library first when needed; an empty name only loads and starts it and gives nullptr.
// Failures raise ESocketException.
FARPROC BindWinsockProc(const char* ProcName);
FARPROC BindWs2Proc(const char* ProcName);

// A routine run each time the library has been loaded, before it is started (the socket
// unit arms its shut-down there); none by default.
void SetWinsockLoadedHandler(void (*handler)());

void IncrementWinsockUse();
void DecrementWinsockUse();
// Cleans up and frees the libraries when the use count is exactly 0.
void UnloadWinsock();
std::int32_t WinsockUseCount();
bool WinsockLoaded();

// The requested Windows Sockets version (shared by all sockets; 1.1 initially).
BYTE WinsockReqVerLow();
BYTE WinsockReqVerHigh();
void StoreWinsockReqVer(BYTE Low, BYTE High);

// Guards loading, binding, unloading and the use count (re-entrant).
std::recursive_mutex& WinsockLock();
