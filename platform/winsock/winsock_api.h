// The Windows Sockets 1.1 calls over POSIX sockets (IPv4), in namespace ws.
//
// The program binds them by name: LoadLibraryA("wsock32.dll") (or
// "ws2_32.dll" for WSAIoctl), then GetProcAddress, cast to the PFN_ types
// below, e.g. reinterpret_cast<ws::PFN_socket>(GetProcAddress(h, "socket")).
// See module_table.h.
//
// Behaviour the program relies on:
// - Errors are the platform's codes (10004-11004) through WSAGetLastError,
//   which is the calling thread's GetLastError.
// - Every call but the byte-order and address-text helpers fails with
//   WSANOTINITIALISED (10093) before WSAStartup or after the last WSACleanup.
//   The last WSACleanup closes every socket still open and cancels every
//   lookup still pending.
// - Socket handles are never reused within a process.
// - WSAAsyncSelect makes the socket non-blocking and posts (hwnd, msg,
//   wParam = socket, lParam = WSAMAKESELECTREPLY(event, error)), one event per
//   message, with the platform's re-arming rules:
//     FD_CONNECT once, when a non-blocking connect completes (with its error);
//     FD_READ when data waits, re-armed by recv/recvfrom;
//     FD_WRITE after a connect or accept, on WSAAsyncSelect of a connected
//       socket, and after a send that failed with WSAEWOULDBLOCK (or that
//       took only part of the data, which the platform never does) once the
//       socket can take data again;
//     FD_ACCEPT when a connection waits, re-armed by accept;
//     FD_OOB when urgent data waits, re-armed by recv with MSG_OOB;
//     FD_CLOSE once, when the peer closed or reset the connection, always
//       after an FD_READ for the data still waiting (if FD_READ is selected
//       and not already pending), with 0 for an orderly close and
//       WSAECONNRESET for a reset.
//   An event that happens while it is not selected is posted when a later
//   WSAAsyncSelect selects it. Nothing is posted for a socket once
//   closesocket has been called on it. An accepted socket inherits the
//   listening socket's selection until it gets its own.
// - send and sendto never raise SIGPIPE.
// - closesocket never blocks: a linger time-out (SO_LINGER on, > 0 s) is
//   honoured by finishing the close in the background; linger on with 0 s
//   resets the connection; linger off closes gracefully.
// - WSAAsyncGetHostByName/ByAddr resolve on a worker thread; the reply is
//   posted as (hwnd, msg, wParam = the task handle, lParam =
//   WSAMAKEASYNCREPLY(bytes used or needed, error)) with the hostent laid
//   out at the start of the caller's buffer. The buffer must stay valid until
//   the reply arrives or WSACancelAsyncRequest succeeds, and must be aligned
//   for a pointer (declare it alignas(ws::hostent)); an unaligned buffer is
//   refused with WSAEFAULT. A cancelled request writes nothing and posts
//   nothing. Names under ".invalid" are never found (11001) without asking
//   any resolver.
#pragma once

#include "platform/winsock/winsock_types.h"

namespace ws {

int WSAStartup(WORD versionRequested, WSADATA* data);
int WSACleanup();
void WSASetLastError(int error);
int WSAGetLastError();
int WSACancelAsyncRequest(HANDLE asyncTaskHandle);
HANDLE WSAAsyncGetHostByName(HWND hwnd, u_int msg, const char* name, char* buf, int buflen);
HANDLE WSAAsyncGetHostByAddr(HWND hwnd, u_int msg, const char* addr, int len, int type, char* buf, int buflen);
int WSAAsyncSelect(SOCKET s, HWND hwnd, u_int msg, LONG events);

servent* getservbyname(const char* name, const char* proto);
protoent* getprotobyname(const char* name);
hostent* gethostbyname(const char* name);
hostent* gethostbyaddr(const char* addr, int len, int type);

SOCKET socket(int af, int type, int protocol);
int shutdown(SOCKET s, int how);
int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen);
int getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen);
int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to, int tolen);
int send(SOCKET s, const char* buf, int len, int flags);
int recv(SOCKET s, char* buf, int len, int flags);
int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen);
int listen(SOCKET s, int backlog);
int ioctlsocket(SOCKET s, LONG cmd, u_long* argp);
int WSAIoctl(SOCKET s, DWORD ioControlCode, void* inBuffer, DWORD inBufferSize, void* outBuffer, DWORD outBufferSize,
             DWORD* bytesReturned, void* overlapped, void* completionRoutine);
int getsockname(SOCKET s, sockaddr* name, int* namelen);
int getpeername(SOCKET s, sockaddr* name, int* namelen);
int connect(SOCKET s, const sockaddr* name, int namelen);
int closesocket(SOCKET s);
int bind(SOCKET s, const sockaddr* addr, int namelen);
SOCKET accept(SOCKET s, sockaddr* addr, int* addrlen);

// Byte order and address text: usable without WSAStartup.
u_short ntohs(u_short netshort);
u_short htons(u_short hostshort);
u_long htonl(u_long hostlong);
u_long ntohl(u_long netlong);
// Returns a per-thread buffer, overwritten by the thread's next call.
char* inet_ntoa(in_addr in);
// Dotted text (1 to 4 parts, decimal, octal or hexadecimal) to a network-order
// address; INADDR_NONE for anything else (and for "255.255.255.255").
u_long inet_addr(const char* cp);

// Function-pointer types for binding through GetProcAddress.
using PFN_WSAStartup = int (*)(WORD, WSADATA*);
using PFN_WSACleanup = int (*)();
using PFN_WSASetLastError = void (*)(int);
using PFN_WSAGetLastError = int (*)();
using PFN_WSACancelAsyncRequest = int (*)(HANDLE);
using PFN_WSAAsyncGetHostByName = HANDLE (*)(HWND, u_int, const char*, char*, int);
using PFN_WSAAsyncGetHostByAddr = HANDLE (*)(HWND, u_int, const char*, int, int, char*, int);
using PFN_WSAAsyncSelect = int (*)(SOCKET, HWND, u_int, LONG);
using PFN_getservbyname = servent* (*)(const char*, const char*);
using PFN_getprotobyname = protoent* (*)(const char*);
using PFN_gethostbyname = hostent* (*)(const char*);
using PFN_gethostbyaddr = hostent* (*)(const char*, int, int);
using PFN_socket = SOCKET (*)(int, int, int);
using PFN_shutdown = int (*)(SOCKET, int);
using PFN_setsockopt = int (*)(SOCKET, int, int, const char*, int);
using PFN_getsockopt = int (*)(SOCKET, int, int, char*, int*);
using PFN_sendto = int (*)(SOCKET, const char*, int, int, const sockaddr*, int);
using PFN_send = int (*)(SOCKET, const char*, int, int);
using PFN_recv = int (*)(SOCKET, char*, int, int);
using PFN_recvfrom = int (*)(SOCKET, char*, int, int, sockaddr*, int*);
using PFN_ntohs = u_short (*)(u_short);
using PFN_listen = int (*)(SOCKET, int);
using PFN_ioctlsocket = int (*)(SOCKET, LONG, u_long*);
using PFN_WSAIoctl = int (*)(SOCKET, DWORD, void*, DWORD, void*, DWORD, DWORD*, void*, void*);
using PFN_inet_ntoa = char* (*)(in_addr);
using PFN_inet_addr = u_long (*)(const char*);
using PFN_htons = u_short (*)(u_short);
using PFN_htonl = u_long (*)(u_long);
using PFN_ntohl = u_long (*)(u_long);
using PFN_getsockname = int (*)(SOCKET, sockaddr*, int*);
using PFN_getpeername = int (*)(SOCKET, sockaddr*, int*);
using PFN_connect = int (*)(SOCKET, const sockaddr*, int);
using PFN_closesocket = int (*)(SOCKET);
using PFN_bind = int (*)(SOCKET, const sockaddr*, int);
using PFN_accept = SOCKET (*)(SOCKET, sockaddr*, int*);

}  // namespace ws
