// Test hooks of the socket layer: injected failures and observation.
// Not for use by the program itself.
#pragma once

#include <string>

#include "platform/winsock/winsock_types.h"

namespace ws::testing {

// The next `times` calls of the named function fail with `error` before doing
// anything. Names: any call of winsock_api.h ("send", "recv", "connect",
// "WSAStartup", "WSAAsyncGetHostByName", ...) and "LoadLibraryA",
// "GetProcAddress". Failing calls return what the real failure returns
// (SOCKET_ERROR, INVALID_SOCKET, nullptr, 0 handle; WSAStartup returns the
// code) and set WSAGetLastError / GetLastError to `error`.
void FailNextCall(const std::string& function, int error, int times = 1);

// Every lookup of `hostName` (blocking or asynchronous, by name) fails with
// `error` (e.g. WSAHOST_NOT_FOUND), as if the resolver had said so; the
// asynchronous reply carries the error.
void FailLookupOf(const std::string& hostName, int error);

// While held, lookup workers wait before resolving (to test cancellation).
void HoldLookups(bool hold);

// Removes every injected failure and releases held lookups.
void ClearInjections();

// Observation.
int OpenSocketCount();                             // handles not yet closed
int PendingLookupCount();                          // lookup workers still running
int StartupCount();                                // WSAStartup calls not yet matched by WSACleanup
int ModuleReferenceCount(const char* moduleName);  // LoadLibraryA references held

// Waits (up to `milliseconds`) until no lookup worker runs; true when none does.
bool WaitForLookupsIdle(int milliseconds);

}  // namespace ws::testing
