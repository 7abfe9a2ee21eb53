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

#include "platform/winsock/module_table.h"
#include "platform/winsock/winsock_types.h"

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

int WSAStartup(WORD VersionRequested, WSADATA* Data);
int WSACleanup();
void WSASetLastError(int Error);
int WSAGetLastError();
int WSACancelAsyncRequest(HANDLE AsyncTaskHandle);
HANDLE WSAAsyncGetHostByName(HWND Wnd, u_int Msg, const char* Name, char* Buf, int BufLen);
HANDLE WSAAsyncGetHostByAddr(HWND Wnd, u_int Msg, const char* Addr, int Len, int Type, char* Buf, int BufLen);
int WSAAsyncSelect(SOCKET S, HWND Wnd, u_int Msg, LONG Events);
servent* getservbyname(const char* Name, const char* Proto);
protoent* getprotobyname(const char* Name);
hostent* gethostbyname(const char* Name);
hostent* gethostbyaddr(const char* Addr, int Len, int Type);
SOCKET socket(int Af, int Type, int Protocol);
int shutdown(SOCKET S, int How);
int setsockopt(SOCKET S, int Level, int OptName, const char* OptVal, int OptLen);
int getsockopt(SOCKET S, int Level, int OptName, char* OptVal, int* OptLen);
int sendto(SOCKET S, const char* Buf, int Len, int Flags, const sockaddr* To, int ToLen);
int send(SOCKET S, const char* Buf, int Len, int Flags);
int recv(SOCKET S, char* Buf, int Len, int Flags);
int recvfrom(SOCKET S, char* Buf, int Len, int Flags, sockaddr* From, int* FromLen);
u_short ntohs(u_short NetShort);
int listen(SOCKET S, int Backlog);
int ioctlsocket(SOCKET S, LONG Cmd, u_long* Argp);
char* inet_ntoa(in_addr In);
u_long inet_addr(const char* Cp);
u_short htons(u_short HostShort);
u_long htonl(u_long HostLong);
int getsockname(SOCKET S, sockaddr* Name, int* NameLen);
int getpeername(SOCKET S, sockaddr* Name, int* NameLen);
int connect(SOCKET S, const sockaddr* Name, int NameLen);
int closesocket(SOCKET S);
int bind(SOCKET S, const sockaddr* Addr, int NameLen);
SOCKET accept(SOCKET S, sockaddr* Addr, int* AddrLen);
// The one function bound from ws2_32.dll.
int WSAIoctl(SOCKET S, DWORD IoControlCode, void* InBuffer, DWORD InBufferSize, void* OutBuffer,
             DWORD OutBufferSize, DWORD* BytesReturned, void* Overlapped, void* CompletionRoutine);

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
