#pragma once
// The TCP connection state of a POSIX socket in the platform's SIO_TCP_INFO form.
#include "platform/winsock/winsock_types.h"

namespace wsimpl {

// Fills Info for the connected TCP socket Fd; false (errno set) when it cannot be read.
bool QueryTcpInfo(int Fd, ws::TCP_INFO_v0& Info);

}  // namespace wsimpl
