// The platform constants whose names are macros in the POSIX socket headers,
// captured under other names. Include before any POSIX header; after those,
// use wv:: for the platform's value and the plain name for the POSIX one.
#pragma once

#include "platform/winsock/winsock_types.h"

namespace wv {

inline constexpr int AfInet = ws::AF_INET;
inline constexpr ws::u_long InaddrAny = ws::INADDR_ANY;
inline constexpr ws::u_long InaddrNone = ws::INADDR_NONE;

inline constexpr int SockStream = ws::SOCK_STREAM;
inline constexpr int SockDgram = ws::SOCK_DGRAM;
inline constexpr int SockRaw = ws::SOCK_RAW;

inline constexpr int IpprotoIp = ws::IPPROTO_IP;
inline constexpr int IpprotoTcp = ws::IPPROTO_TCP;
inline constexpr int IpprotoUdp = ws::IPPROTO_UDP;

inline constexpr int MsgOob = ws::MSG_OOB;
inline constexpr int MsgPeek = ws::MSG_PEEK;
inline constexpr int MsgDontroute = ws::MSG_DONTROUTE;

inline constexpr int SolSocket = ws::SOL_SOCKET;
inline constexpr int SoDebug = ws::SO_DEBUG;
inline constexpr int SoAcceptconn = ws::SO_ACCEPTCONN;
inline constexpr int SoReuseaddr = ws::SO_REUSEADDR;
inline constexpr int SoKeepalive = ws::SO_KEEPALIVE;
inline constexpr int SoDontroute = ws::SO_DONTROUTE;
inline constexpr int SoBroadcast = ws::SO_BROADCAST;
inline constexpr int SoLinger = ws::SO_LINGER;
inline constexpr int SoOobinline = ws::SO_OOBINLINE;
inline constexpr int SoDontlinger = ws::SO_DONTLINGER;
inline constexpr int SoSndbuf = ws::SO_SNDBUF;
inline constexpr int SoRcvbuf = ws::SO_RCVBUF;
inline constexpr int SoSndtimeo = ws::SO_SNDTIMEO;
inline constexpr int SoRcvtimeo = ws::SO_RCVTIMEO;
inline constexpr int SoError = ws::SO_ERROR;
inline constexpr int SoType = ws::SO_TYPE;

inline constexpr int TcpNodelay = ws::TCP_NODELAY;

inline constexpr int IpTtl = ws::IP_TTL;
inline constexpr int IpTos = ws::IP_TOS;
inline constexpr int IpMulticastIf = ws::IP_MULTICAST_IF;
inline constexpr int IpMulticastTtl = ws::IP_MULTICAST_TTL;
inline constexpr int IpMulticastLoop = ws::IP_MULTICAST_LOOP;
inline constexpr int IpAddMembership = ws::IP_ADD_MEMBERSHIP;
inline constexpr int IpDropMembership = ws::IP_DROP_MEMBERSHIP;

inline constexpr LONG Fionread = ws::FIONREAD;
inline constexpr LONG Fionbio = ws::FIONBIO;
inline constexpr LONG Siocatmark = ws::SIOCATMARK;

}  // namespace wv
