// Last error, thread identifiers, debugger output and system error texts.
#include "platform/messages/thread_services.h"

#include <unistd.h>

#include <atomic>
#include <mutex>

namespace {

thread_local DWORD tlsLastError = 0;
std::atomic<DWORD> nextThreadId{1};
thread_local DWORD tlsThreadId = 0;

struct DebugSink {
    std::mutex mutex;
    std::function<void(std::string_view)> sink;
};

DebugSink& TheDebugSink() {
    static DebugSink* sink = new DebugSink;  // never destroyed: used from any thread until the end
    return *sink;
}

}  // namespace

DWORD GetLastError() { return tlsLastError; }
void SetLastError(DWORD errorCode) { tlsLastError = errorCode; }

DWORD GetCurrentThreadId() {
    if (tlsThreadId == 0) tlsThreadId = nextThreadId.fetch_add(1);
    return tlsThreadId;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

void OutputDebugStringA(const char* text) {
    std::function<void(std::string_view)> sink;
    {
        DebugSink& d = TheDebugSink();
        std::lock_guard lock(d.mutex);
        if (!d.sink) return;
        sink = d.sink;
    }
    // Called outside the lock: the sink may write debug output itself.
    sink(text != nullptr ? std::string_view(text) : std::string_view());
}

void SetDebugOutputSink(std::function<void(std::string_view)> sink) {
    DebugSink& d = TheDebugSink();
    std::lock_guard lock(d.mutex);
    d.sink = std::move(sink);
}

std::string SystemErrorMessage(DWORD code) {
    switch (code) {
        case 0: return "The operation completed successfully.";
        case 5: return "Access is denied.";
        case 6: return "The handle is invalid.";
        case 8: return "Not enough memory resources are available to process this command.";
        case 87: return "The parameter is incorrect.";
        case 126: return "The specified module could not be found.";
        case 127: return "The specified procedure could not be found.";
        case 1400: return "Invalid window handle.";
        case 1407: return "Cannot find window class.";
        case 1410: return "Class already exists.";
        case 1411: return "Class does not exist.";
        case 1412: return "Class still has open windows.";
        case 1413: return "Invalid index.";
        case 1444: return "Invalid thread identifier.";
        case 10004: return "A blocking operation was interrupted.";
        case 10013: return "An attempt was made to access a socket in a way forbidden by its access permissions.";
        case 10014:
            return "The system detected an invalid pointer address in attempting to use a pointer argument in a call.";
        case 10022: return "An invalid argument was supplied.";
        case 10024: return "Too many open sockets.";
        case 10035: return "A non-blocking socket operation could not be completed immediately.";
        case 10038: return "An operation was attempted on something that is not a socket.";
        case 10048:
            return "Only one usage of each socket address (protocol/network address/port) is normally permitted.";
        case 10053: return "An established connection was aborted by the software in your host machine.";
        case 10054: return "An existing connection was forcibly closed by the remote host.";
        case 10055:
            return "An operation on a socket could not be performed because the system lacked sufficient buffer space.";
        case 10057: return "A request to send or receive data was disallowed because the socket is not connected.";
        case 10060:
            return "A connection attempt failed because the connected party did not properly respond after a period of "
                   "time.";
        case 10061: return "No connection could be made because the target machine actively refused it.";
        case 10091: return "The network subsystem is unavailable.";
        case 10092: return "The Windows Sockets version requested is not supported.";
        case 10093: return "Either the application has not called WSAStartup, or WSAStartup failed.";
        case 11001: return "No such host is known.";
        case 11002: return "This is usually a temporary error during hostname resolution.";
        case 11003: return "A non-recoverable error occurred during a database lookup.";
        case 11004: return "The requested name is valid, but no data of the requested type was found.";
        default: return "Unknown error";
    }
}
