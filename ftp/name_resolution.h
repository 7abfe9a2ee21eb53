#pragma once
// Conversions of the address, port and protocol texts of a socket to numbers. The
// converters of names (not numbers) block the calling thread inside Windows Sockets.
// They raise ESocketException directly.
#include <cstdint>
#include <string>

#include "platform/winsock/winsock_types.h"

// True for a dotted IPv4 address of four decimal parts of at most 255, with optional
// blanks around it (" 10.0.0.1 " is one; "1..2.3", "1.2.3", "1.2.3.4x", "256.1.1.1" are not).
bool IsDottedIp(const std::string& Text);
// The value of the decimal digits after any leading blanks (0 when none); a value too
// large for 32 bits saturates at the largest one.
std::int32_t ParseLeadingNumber(const std::string& Text);
// The text without leading and trailing blanks and control characters.
std::string TrimBlanks(const std::string& Text);
// The text with "A".."Z" turned into "a".."z" (every other byte kept), for matching
// protocol names.
std::string AsciiLowerCase(std::string Text);

// A dotted address or a host name to an address in network byte order.
ws::u_long ResolveHost(const std::string& InAddr);
// A port number or service name to a port in host byte order; a number above 65535 is
// refused.
ws::u_short ResolvePort(const std::string& Port, const std::string& Proto);
// A protocol number or name to a protocol number.
std::int32_t ResolveProto(const std::string& Proto);
