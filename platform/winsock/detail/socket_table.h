// Internal state shared by the files of platform/winsock: the table of open
// sockets, the select watcher, start-up state and injected failures.
// Not for use outside platform/winsock. Includes no POSIX header, so the
// implementation files include it (and winsock_types.h) before those.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/winsock/winsock_types.h"

namespace wsimpl {

// ---------------------------------------------------------------------------
// Errors, start-up, injected failures

void SetError(int wsaError);
int ErrorFromErrno(int posixErrno);
// Sets the error and returns SOCKET_ERROR, the failure result of most calls.
int Fail(int wsaError);
// Fails with the error that errno stands for.
int FailErrno();
bool Started();
// True (and the error to fail with) when a failure was injected for the call.
bool TakeInjectedFailure(const char* function, int* error);
// Common entry of the calls that need no socket: injected failure, then
// start-up. False (error set) when the call must fail.
bool BeginPlainCall(const char* function);

// ---------------------------------------------------------------------------
// Sockets

// Owns the POSIX descriptor; the last reference closes it, honouring linger
// without blocking the caller (a lingering close finishes on its own thread).
class FdOwner {
public:
    explicit FdOwner(int fd) : fd_(fd) {}
    ~FdOwner();
    FdOwner(const FdOwner&) = delete;
    FdOwner& operator=(const FdOwner&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

enum class ConnectPhase { None, InProgress, Done };

struct SocketEntry {
    ws::SOCKET handle = ws::INVALID_SOCKET;
    std::shared_ptr<FdOwner> fd;
    int type = ws::SOCK_STREAM;

    // Everything below is guarded by the table's mutex.
    bool nonBlocking = false;
    bool reuseAddr = false;  // as the program set it (streams always reuse on the system side)
    bool shutSend = false;

    // WSAAsyncSelect registration
    HWND hwnd = nullptr;
    UINT msg = 0;
    LONG events = 0;

    // Events enabled until posted, re-enabled by their re-arming call
    bool readArmed = true;
    bool writeArmed = false;
    bool acceptArmed = true;
    bool oobArmed = true;

    ConnectPhase connect = ConnectPhase::None;
    int connectError = 0;
    bool connectPosted = true;

    bool connected = false;
    bool listening = false;
    bool peerClosed = false;  // orderly close or reset seen
    bool broken = false;      // error or hang-up seen: nothing more will happen
    int closeError = 0;
    bool closePosted = false;

    bool Selected() const { return hwnd != nullptr && events != 0; }
};

class SocketTable {
public:
    static SocketTable& Get();

    std::mutex& Mutex() { return mutex_; }

    // Assigns a fresh handle (never reused) and adds the entry.
    ws::SOCKET Add(const std::shared_ptr<SocketEntry>& entry);
    std::shared_ptr<SocketEntry> Find(ws::SOCKET s);
    std::shared_ptr<SocketEntry> FindLocked(ws::SOCKET s);
    std::shared_ptr<SocketEntry> Remove(ws::SOCKET s);
    std::vector<std::shared_ptr<SocketEntry>> RemoveAll();
    std::vector<std::shared_ptr<SocketEntry>> SnapshotLocked();
    int Count();

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<SocketEntry>> entries_;  // few sockets: a vector is enough
    ws::SOCKET nextHandle_ = 0x100;
};

// Common entry of the calls on a socket: start-up, handle, then injected
// failure. Returns null (error set) when the call must fail. With
// `injectedError`, an injected failure is not applied but reported there
// (0 when none), so the caller can re-arm events before failing.
std::shared_ptr<SocketEntry> BeginCall(const char* function, ws::SOCKET s, int* injectedError = nullptr);

// ---------------------------------------------------------------------------
// Select watcher (async_select.cpp)

void StartWatcher();
void StopWatcher();
// Re-examines the selected sockets (after a re-arming call or a change).
void WakeWatcher();

// ---------------------------------------------------------------------------
// Lookups (host_lookup.cpp)

void CancelAllLookups();
void ClearLookupInjections();

}  // namespace wsimpl
