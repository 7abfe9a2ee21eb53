// Conversions between the platform's IPv4 socket address and the POSIX one.
// Include after detail/win_values.h and <netinet/in.h>.
#pragma once

#include <cstring>

namespace wsimpl {

// The platform's 16-byte address to a POSIX one; false with the error to
// report (WSAEFAULT for a short or missing address, WSAEAFNOSUPPORT for
// another family).
inline bool ToPosixAddress(const ws::sockaddr* name, int namelen, ::sockaddr_in& out, int& error) {
    if (name == nullptr || namelen < static_cast<int>(sizeof(ws::sockaddr_in))) {
        error = ws::WSAEFAULT;
        return false;
    }
    ws::sockaddr_in in;
    std::memcpy(&in, name, sizeof in);
    if (in.sin_family != wv::AfInet) {
        error = ws::WSAEAFNOSUPPORT;
        return false;
    }
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    out.sin_port = in.sin_port;
    out.sin_addr.s_addr = in.sin_addr.s_addr;
    return true;
}

// Fills the caller's address (namelen in: its size, out: 16). False with
// WSAEFAULT when it is too small.
inline bool FromPosixAddress(const ::sockaddr_in& in, ws::sockaddr* name, int* namelen, int& error) {
    if (name == nullptr || namelen == nullptr || *namelen < static_cast<int>(sizeof(ws::sockaddr_in))) {
        error = ws::WSAEFAULT;
        return false;
    }
    ws::sockaddr_in out;
    std::memset(&out, 0, sizeof out);
    out.sin_family = static_cast<std::int16_t>(wv::AfInet);
    out.sin_port = in.sin_port;
    out.sin_addr.s_addr = in.sin_addr.s_addr;
    std::memcpy(name, &out, sizeof out);
    *namelen = static_cast<int>(sizeof out);
    return true;
}

}  // namespace wsimpl
