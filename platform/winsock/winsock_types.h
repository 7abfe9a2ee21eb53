// Windows Sockets 1.1 types and constants, in the platform's shape but inside
// namespace ws so they cannot clash with the POSIX names. The numeric values
// are the platform's (wsock32 numbering), never the POSIX ones.
//
// Many of these names are macros in the POSIX socket headers: include this
// header before any of those (code above platform/ includes none of them).
#pragma once

#if defined(SOL_SOCKET) || defined(INADDR_ANY) || defined(FIONREAD) || defined(SO_REUSEADDR)
#error "platform/winsock headers must be included before POSIX socket headers"
#endif

#include <cstdint>

#include "platform/messages/win_types.h"

namespace ws {

// ---------------------------------------------------------------------------
// Scalar types
using u_char = std::uint8_t;
using u_short = std::uint16_t;
using u_int = unsigned int;
using u_long = std::uint32_t;  // 32 bits, as on the platform
using SOCKET = std::uintptr_t;

inline constexpr SOCKET INVALID_SOCKET = ~static_cast<SOCKET>(0);
inline constexpr int SOCKET_ERROR = -1;

// ---------------------------------------------------------------------------
// Addresses (all multi-byte fields in network byte order where the platform has them so)
struct in_addr {
    u_long s_addr;
};

struct sockaddr {
    u_short sa_family;
    char sa_data[14];
};

struct sockaddr_in {
    std::int16_t sin_family;
    u_short sin_port;
    in_addr sin_addr;
    char sin_zero[8];
};
static_assert(sizeof(sockaddr_in) == 16 && sizeof(sockaddr) == 16);

inline constexpr int AF_UNSPEC = 0;
inline constexpr int AF_INET = 2;
inline constexpr int PF_INET = AF_INET;

inline constexpr u_long INADDR_ANY = 0x00000000u;
inline constexpr u_long INADDR_LOOPBACK = 0x7F000001u;  // host order, as on the platform
inline constexpr u_long INADDR_BROADCAST = 0xFFFFFFFFu;
inline constexpr u_long INADDR_NONE = 0xFFFFFFFFu;

// ---------------------------------------------------------------------------
// Database entries. Pointers refer to storage owned by Windows Sockets (per
// thread for the blocking calls) or to the caller's buffer (asynchronous
// lookups).
struct hostent {
    char* h_name;
    char** h_aliases;
    std::int16_t h_addrtype;
    std::int16_t h_length;
    char** h_addr_list;  // each entry points at h_length bytes of address, network order
};

struct servent {
    char* s_name;
    char** s_aliases;
    std::int16_t s_port;  // network byte order
    char* s_proto;
};

struct protoent {
    char* p_name;
    char** p_aliases;
    std::int16_t p_proto;
};

struct linger {
    u_short l_onoff;
    u_short l_linger;  // seconds
};

inline constexpr int WSADESCRIPTION_LEN = 256;
inline constexpr int WSASYS_STATUS_LEN = 128;

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
};

// Size of the buffer an asynchronous host lookup needs at most.
inline constexpr int MAXGETHOSTSTRUCT = 1024;

// ---------------------------------------------------------------------------
// Socket types, protocols, flags
inline constexpr int SOCK_STREAM = 1;
inline constexpr int SOCK_DGRAM = 2;
inline constexpr int SOCK_RAW = 3;

inline constexpr int IPPROTO_IP = 0;
inline constexpr int IPPROTO_ICMP = 1;
inline constexpr int IPPROTO_TCP = 6;
inline constexpr int IPPROTO_UDP = 17;
inline constexpr int IPPROTO_RAW = 255;

inline constexpr int MSG_OOB = 0x1;
inline constexpr int MSG_PEEK = 0x2;
inline constexpr int MSG_DONTROUTE = 0x4;

inline constexpr int SD_RECEIVE = 0;
inline constexpr int SD_SEND = 1;
inline constexpr int SD_BOTH = 2;

// ---------------------------------------------------------------------------
// Socket options
inline constexpr int SOL_SOCKET = 0xFFFF;

inline constexpr int SO_DEBUG = 0x0001;
inline constexpr int SO_ACCEPTCONN = 0x0002;
inline constexpr int SO_REUSEADDR = 0x0004;
inline constexpr int SO_KEEPALIVE = 0x0008;
inline constexpr int SO_DONTROUTE = 0x0010;
inline constexpr int SO_BROADCAST = 0x0020;
inline constexpr int SO_USELOOPBACK = 0x0040;
inline constexpr int SO_LINGER = 0x0080;
inline constexpr int SO_OOBINLINE = 0x0100;
inline constexpr int SO_DONTLINGER = static_cast<int>(~0x0080u);
inline constexpr int SO_SNDBUF = 0x1001;
inline constexpr int SO_RCVBUF = 0x1002;
inline constexpr int SO_SNDLOWAT = 0x1003;
inline constexpr int SO_RCVLOWAT = 0x1004;
inline constexpr int SO_SNDTIMEO = 0x1005;
inline constexpr int SO_RCVTIMEO = 0x1006;
inline constexpr int SO_ERROR = 0x1007;
inline constexpr int SO_TYPE = 0x1008;

inline constexpr int TCP_NODELAY = 0x0001;

// IPPROTO_IP options, wsock32 numbering
inline constexpr int IP_OPTIONS = 1;
inline constexpr int IP_MULTICAST_IF = 2;
inline constexpr int IP_MULTICAST_TTL = 3;
inline constexpr int IP_MULTICAST_LOOP = 4;
inline constexpr int IP_ADD_MEMBERSHIP = 5;
inline constexpr int IP_DROP_MEMBERSHIP = 6;
inline constexpr int IP_TTL = 7;
inline constexpr int IP_TOS = 8;

struct ip_mreq {
    in_addr imr_multiaddr;
    in_addr imr_interface;
};

// ioctlsocket commands (the platform's values; long is 32 bits there)
inline constexpr LONG FIONREAD = 0x4004667F;
inline constexpr LONG FIONBIO = static_cast<LONG>(0x8004667Eu);
inline constexpr LONG SIOCATMARK = 0x40047307;

// WSAIoctl codes
inline constexpr DWORD SIO_RCVALL = 0x98000001u;
inline constexpr DWORD SIO_KEEPALIVE_VALS = 0x98000004u;
inline constexpr DWORD SIO_TCP_INFO = 0xD8000027u;  // in: DWORD version 0; out: TCP_INFO_v0

// The state of a TCP connection as SIO_TCP_INFO reports it (version 0).
struct TCP_INFO_v0 {
    int State;
    u_long Mss;
    unsigned long long ConnectionTimeMs;
    unsigned char TimestampsEnabled;
    u_long RttUs;
    u_long MinRttUs;
    u_long BytesInFlight;  // sent, not yet acknowledged
    u_long Cwnd;
    u_long SndWnd;
    u_long RcvWnd;
    u_long RcvBuf;
    unsigned long long BytesOut;  // sent, retransmissions included
    unsigned long long BytesIn;
    u_long BytesReordered;
    u_long BytesRetrans;
    u_long FastRetrans;
    u_long DupAcksIn;
    u_long TimeoutEpisodes;
    unsigned char SynRetrans;
};

struct tcp_keepalive {
    u_long onoff;
    u_long keepalivetime;      // milliseconds
    u_long keepaliveinterval;  // milliseconds
};

// ---------------------------------------------------------------------------
// WSAAsyncSelect events
inline constexpr LONG FD_READ = 0x01;
inline constexpr LONG FD_WRITE = 0x02;
inline constexpr LONG FD_OOB = 0x04;
inline constexpr LONG FD_ACCEPT = 0x08;
inline constexpr LONG FD_CONNECT = 0x10;
inline constexpr LONG FD_CLOSE = 0x20;
inline constexpr LONG FD_ALL_EVENTS = 0x3F;

// Notification lParam layouts: low word = event (select) or buffer length
// (lookup), high word = error code.
constexpr WORD WSAGETSELECTEVENT(LPARAM lParam) { return LOWORD(static_cast<std::uintptr_t>(lParam)); }
constexpr WORD WSAGETSELECTERROR(LPARAM lParam) { return HIWORD(static_cast<std::uintptr_t>(lParam)); }
constexpr WORD WSAGETASYNCBUFLEN(LPARAM lParam) { return LOWORD(static_cast<std::uintptr_t>(lParam)); }
constexpr WORD WSAGETASYNCERROR(LPARAM lParam) { return HIWORD(static_cast<std::uintptr_t>(lParam)); }
constexpr LPARAM WSAMAKESELECTREPLY(WORD event, WORD error) { return MAKELPARAM(event, error); }
constexpr LPARAM WSAMAKEASYNCREPLY(WORD buflen, WORD error) { return MAKELPARAM(buflen, error); }

// ---------------------------------------------------------------------------
// Error codes (WSAGetLastError)
inline constexpr int WSABASEERR = 10000;
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEINPROGRESS = 10036;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEDESTADDRREQ = 10039;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAEPROTOTYPE = 10041;
inline constexpr int WSAENOPROTOOPT = 10042;
inline constexpr int WSAEPROTONOSUPPORT = 10043;
inline constexpr int WSAESOCKTNOSUPPORT = 10044;
inline constexpr int WSAEOPNOTSUPP = 10045;
inline constexpr int WSAEPFNOSUPPORT = 10046;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAENETRESET = 10052;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETOOMANYREFS = 10059;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAELOOP = 10062;
inline constexpr int WSAENAMETOOLONG = 10063;
inline constexpr int WSAEHOSTDOWN = 10064;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSAENOTEMPTY = 10066;
inline constexpr int WSAEPROCLIM = 10067;
inline constexpr int WSAEUSERS = 10068;
inline constexpr int WSAEDQUOT = 10069;
inline constexpr int WSAESTALE = 10070;
inline constexpr int WSAEREMOTE = 10071;
inline constexpr int WSASYSNOTREADY = 10091;
inline constexpr int WSAVERNOTSUPPORTED = 10092;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;
inline constexpr int WSATRY_AGAIN = 11002;
inline constexpr int WSANO_RECOVERY = 11003;
inline constexpr int WSANO_DATA = 11004;

}  // namespace ws
