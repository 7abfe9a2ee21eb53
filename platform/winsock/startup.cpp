// Start-up and clean-up, the last error, and injected failures.
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_testing.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/messages/thread_services.h"

namespace {

struct StartupState {
    std::mutex mutex;
    int count = 0;
};

StartupState& TheStartup() {
    static StartupState* state = new StartupState;  // never destroyed
    return *state;
}

struct Injections {
    std::mutex mutex;
    struct Failure {
        int error;
        int times;
    };
    std::map<std::string, Failure> failures;
};

Injections& TheInjections() {
    static Injections* injections = new Injections;  // never destroyed
    return *injections;
}

void CopyText(char* target, std::size_t size, const char* text) {
    std::size_t n = std::min(size - 1, std::strlen(text));
    std::memcpy(target, text, n);
    target[n] = '\0';
}

}  // namespace

namespace wsimpl {

void SetError(int wsaError) { ::SetLastError(static_cast<DWORD>(wsaError)); }

bool Started() {
    StartupState& s = TheStartup();
    std::lock_guard lock(s.mutex);
    return s.count > 0;
}

bool TakeInjectedFailure(const char* function, int* error) {
    Injections& inj = TheInjections();
    std::lock_guard lock(inj.mutex);
    if (inj.failures.empty()) return false;
    auto it = inj.failures.find(function);
    if (it == inj.failures.end()) return false;
    *error = it->second.error;
    if (--it->second.times <= 0) inj.failures.erase(it);
    return true;
}

bool BeginPlainCall(const char* function) {
    int error = 0;
    if (TakeInjectedFailure(function, &error)) {
        SetError(error);
        return false;
    }
    if (!Started()) {
        SetError(ws::WSANOTINITIALISED);
        return false;
    }
    return true;
}

std::shared_ptr<SocketEntry> BeginCall(const char* function, ws::SOCKET s, int* injectedError) {
    if (!Started()) {
        SetError(ws::WSANOTINITIALISED);
        return nullptr;
    }
    auto entry = SocketTable::Get().Find(s);
    if (!entry) {
        SetError(ws::WSAENOTSOCK);
        return nullptr;
    }
    int error = 0;
    const bool injected = TakeInjectedFailure(function, &error);
    if (injectedError != nullptr) {
        *injectedError = injected ? error : 0;
    } else if (injected) {
        SetError(error);
        return nullptr;
    }
    return entry;
}

}  // namespace wsimpl

namespace ws {

int WSAStartup(WORD versionRequested, WSADATA* data) {
    int injected = 0;
    if (wsimpl::TakeInjectedFailure("WSAStartup", &injected)) return injected;
    if (data == nullptr) return WSAEFAULT;
    const BYTE major = LOBYTE(versionRequested);
    const BYTE minor = HIBYTE(versionRequested);
    std::memset(data, 0, sizeof *data);
    data->wHighVersion = MAKEWORD(2, 2);
    if (major < 1) {
        data->wVersion = MAKEWORD(2, 2);
        return WSAVERNOTSUPPORTED;
    }
    data->wVersion = (major > 2 || (major == 2 && minor >= 2)) ? MAKEWORD(2, 2) : versionRequested;
    data->iMaxSockets = 32767;
    data->iMaxUdpDg = 65467;
    CopyText(data->szDescription, sizeof data->szDescription, "Windows Sockets over POSIX sockets");
    CopyText(data->szSystemStatus, sizeof data->szSystemStatus, "Running");
    StartupState& s = TheStartup();
    std::lock_guard lock(s.mutex);
    if (s.count++ == 0) wsimpl::StartWatcher();
    return 0;
}

int WSACleanup() {
    if (!wsimpl::BeginPlainCall("WSACleanup")) return SOCKET_ERROR;
    StartupState& s = TheStartup();
    std::unique_lock lock(s.mutex);
    if (--s.count > 0) return 0;
    // The last clean-up: every socket still open is closed, every lookup
    // still pending is cancelled.
    wsimpl::CancelAllLookups();
    auto open = wsimpl::SocketTable::Get().RemoveAll();
    wsimpl::WakeWatcher();
    wsimpl::StopWatcher();
    open.clear();
    return 0;
}

void WSASetLastError(int error) { wsimpl::SetError(error); }

int WSAGetLastError() { return static_cast<int>(::GetLastError()); }

}  // namespace ws

namespace ws::testing {

void FailNextCall(const std::string& function, int error, int times) {
    Injections& inj = TheInjections();
    std::lock_guard lock(inj.mutex);
    if (times <= 0) {
        inj.failures.erase(function);
        return;
    }
    inj.failures[function] = Injections::Failure{error, times};
}

void ClearInjections() {
    {
        Injections& inj = TheInjections();
        std::lock_guard lock(inj.mutex);
        inj.failures.clear();
    }
    wsimpl::ClearLookupInjections();
}

int OpenSocketCount() { return wsimpl::SocketTable::Get().Count(); }

int StartupCount() {
    StartupState& s = TheStartup();
    std::lock_guard lock(s.mutex);
    return s.count;
}

}  // namespace ws::testing
