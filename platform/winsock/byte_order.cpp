// Byte order and IPv4 address text. Needs no start-up and no system call.
#include <bit>
#include <charconv>
#include <cstring>

#include "platform/winsock/winsock_api.h"

namespace ws {

namespace {

constexpr u_short Swap16(u_short v) { return static_cast<u_short>((v << 8) | (v >> 8)); }

constexpr u_long Swap32(u_long v) {
    return ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// One part of a dotted address: decimal, octal (leading 0) or hexadecimal
// (leading 0x). Advances p; false when there is no valid number.
bool ParsePart(const char*& p, std::uint64_t& value) {
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;
    }
    value = 0;
    int digits = 0;
    for (;; ++p) {
        int d;
        const char c = *p;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            break;
        }
        if (d >= base) return false;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (value > 0xFFFFFFFFu) return false;
        ++digits;
    }
    return digits > 0;
}

}  // namespace

u_short htons(u_short v) { return std::endian::native == std::endian::little ? Swap16(v) : v; }
u_short ntohs(u_short v) { return htons(v); }
u_long htonl(u_long v) { return std::endian::native == std::endian::little ? Swap32(v) : v; }
u_long ntohl(u_long v) { return htonl(v); }

u_long inet_addr(const char* cp) {
    if (cp == nullptr) return INADDR_NONE;
    std::uint64_t parts[4] = {0, 0, 0, 0};
    int count = 0;
    const char* p = cp;
    for (;;) {
        if (count == 4 || !ParsePart(p, parts[count])) return INADDR_NONE;
        ++count;
        if (*p != '.') break;
        ++p;
    }
    // The text may end with blanks and whatever follows them.
    if (*p != '\0' && !IsBlank(*p)) return INADDR_NONE;
    std::uint64_t host = 0;
    switch (count) {
        case 1:  // a
            host = parts[0];
            break;
        case 2:  // a.b, b 24 bits
            if (parts[0] > 0xFF || parts[1] > 0xFFFFFF) return INADDR_NONE;
            host = (parts[0] << 24) | parts[1];
            break;
        case 3:  // a.b.c, c 16 bits
            if (parts[0] > 0xFF || parts[1] > 0xFF || parts[2] > 0xFFFF) return INADDR_NONE;
            host = (parts[0] << 24) | (parts[1] << 16) | parts[2];
            break;
        default:  // a.b.c.d
            for (const auto part : parts) {
                if (part > 0xFF) return INADDR_NONE;
            }
            host = (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
            break;
    }
    return htonl(static_cast<u_long>(host));
}

char* inet_ntoa(in_addr in) {
    thread_local char text[16];
    unsigned char bytes[4];
    std::memcpy(bytes, &in.s_addr, 4);  // network order: first byte first
    char* out = text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) *out++ = '.';
        out = std::to_chars(out, text + sizeof text, static_cast<unsigned>(bytes[i])).ptr;
    }
    *out = '\0';
    return text;
}

}  // namespace ws
