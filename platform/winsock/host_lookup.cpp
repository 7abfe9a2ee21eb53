// Host name lookups: blocking (gethostbyname, gethostbyaddr) and
// asynchronous on worker threads whose replies are posted
// (WSAAsyncGetHostByName, WSAAsyncGetHostByAddr, WSACancelAsyncRequest).
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/detail/win_values.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_testing.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/messages/message_queue.h"

namespace wsimpl {

namespace {

using Address = std::array<unsigned char, 4>;

struct HostResult {
    int error = 0;
    std::string name;
    std::vector<Address> addresses;
};

constexpr std::size_t kMaxAddresses = 35;

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

struct LookupState {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::string, int> failingNames;  // lower-case name -> error
    bool hold = false;
    int running = 0;
    struct Task {
        HWND hwnd;
        UINT msg;
        char* buffer;
        int bufferSize;
    };
    std::unordered_map<std::uintptr_t, Task> pending;  // started, neither replied nor cancelled
    std::uintptr_t nextId = 1;
};

LookupState& TheLookups() {
    static LookupState* state = new LookupState;  // never destroyed: workers may outlive statics
    return *state;
}

int ErrorFromEai(int eai, int savedErrno) {
    switch (eai) {
        case EAI_NONAME: return ws::WSAHOST_NOT_FOUND;
        case EAI_AGAIN: return ws::WSATRY_AGAIN;
        case EAI_FAIL: return ws::WSANO_RECOVERY;
#ifdef EAI_NODATA
        case EAI_NODATA: return ws::WSANO_DATA;
#endif
#ifdef EAI_ADDRFAMILY
        case EAI_ADDRFAMILY: return ws::WSANO_DATA;
#endif
        case EAI_MEMORY: return ws::WSAENOBUFS;
        case EAI_SYSTEM: return ErrorFromErrno(savedErrno);
        default: return ws::WSANO_RECOVERY;
    }
}

// Names under ".invalid" never exist: answered at once, without asking any
// resolver (so they also serve tests on machines without a network).
bool IsReservedInvalid(const std::string& lowerName) {
    std::string n = lowerName;
    while (!n.empty() && n.back() == '.') n.pop_back();
    return n == "invalid" || (n.size() > 8 && n.compare(n.size() - 8, 8, ".invalid") == 0);
}

HostResult ResolveName(const std::string& requested) {
    HostResult r;
    std::string name = requested;
    if (name.empty()) {
        char local[256] = {};
        if (::gethostname(local, sizeof local - 1) == 0) name = local;
    }
    const std::string lower = Lower(name);
    {
        LookupState& s = TheLookups();
        std::lock_guard lock(s.mutex);
        auto it = s.failingNames.find(lower);
        if (it != s.failingNames.end()) {
            r.error = it->second;
            return r;
        }
    }
    if (IsReservedInvalid(lower)) {
        r.error = ws::WSAHOST_NOT_FOUND;
        return r;
    }
    // A dotted address is its own answer.
    const ws::u_long numeric = ws::inet_addr(name.c_str());
    if (numeric != wv::InaddrNone || name == "255.255.255.255") {
        r.name = name;
        Address a;
        std::memcpy(a.data(), &numeric, 4);
        r.addresses.push_back(a);
        return r;
    }
    ::addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    ::addrinfo* list = nullptr;
    const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &list);
    if (rc != 0) {
        r.error = ErrorFromEai(rc, errno);
        return r;
    }
    r.name = (list->ai_canonname != nullptr && list->ai_canonname[0] != '\0') ? list->ai_canonname : name;
    for (const ::addrinfo* ai = list; ai != nullptr && r.addresses.size() < kMaxAddresses; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET || ai->ai_addrlen < sizeof(::sockaddr_in)) continue;
        ::sockaddr_in sa;
        std::memcpy(&sa, ai->ai_addr, sizeof sa);
        Address a;
        std::memcpy(a.data(), &sa.sin_addr.s_addr, 4);
        bool seen = false;
        for (const auto& b : r.addresses) seen = seen || b == a;
        if (!seen) r.addresses.push_back(a);
    }
    ::freeaddrinfo(list);
    if (r.addresses.empty()) r.error = ws::WSANO_DATA;
    return r;
}

HostResult ResolveAddress(const Address& a) {
    HostResult r;
    ::sockaddr_in sa{};
    sa.sin_family = AF_INET;
    std::memcpy(&sa.sin_addr.s_addr, a.data(), 4);
    char host[NI_MAXHOST] = {};
    const int rc =
        ::getnameinfo(reinterpret_cast<const ::sockaddr*>(&sa), sizeof sa, host, sizeof host, nullptr, 0, NI_NAMEREQD);
    if (rc != 0) {
        r.error = ErrorFromEai(rc, errno);
        return r;
    }
    r.name = host;
    r.addresses.push_back(a);
    return r;
}

// Lays the host entry out at the start of `buffer`: the hostent, the alias
// list (empty), the address list, the addresses, the name. Returns the size
// it needs; writes only when that fits.
int LayOutHostent(const HostResult& r, char* buffer, int bufferSize) {
    const std::size_t n = r.addresses.size();
    const std::size_t aliasesAt = sizeof(ws::hostent);
    const std::size_t listAt = aliasesAt + sizeof(char*);
    const std::size_t addressesAt = listAt + (n + 1) * sizeof(char*);
    const std::size_t nameAt = addressesAt + 4 * n;
    const std::size_t needed = nameAt + r.name.size() + 1;
    if (buffer == nullptr || bufferSize < 0 || needed > static_cast<std::size_t>(bufferSize)) {
        return static_cast<int>(needed);
    }
    char* name = buffer + nameAt;
    std::memcpy(name, r.name.c_str(), r.name.size() + 1);
    auto** aliases = new (buffer + aliasesAt) char*(nullptr);
    char** list = reinterpret_cast<char**>(buffer + listAt);
    for (std::size_t i = 0; i < n; ++i) {
        char* address = buffer + addressesAt + 4 * i;
        std::memcpy(address, r.addresses[i].data(), 4);
        new (buffer + listAt + i * sizeof(char*)) char*(address);
    }
    new (buffer + listAt + n * sizeof(char*)) char*(nullptr);
    new (buffer) ws::hostent{name, aliases, static_cast<std::int16_t>(wv::AfInet), 4, list};
    return static_cast<int>(needed);
}

// The IPv4 address a by-address lookup is given; false (error set) for anything else.
bool ReadAddressArgument(const char* addr, int len, int type, Address& address) {
    if (addr == nullptr || len < 4) {
        SetError(ws::WSAEFAULT);
        return false;
    }
    if (type != wv::AfInet || len != 4) {
        SetError(ws::WSAEAFNOSUPPORT);
        return false;
    }
    std::memcpy(address.data(), addr, 4);
    return true;
}

bool PointerAligned(const char* buffer) { return reinterpret_cast<std::uintptr_t>(buffer) % alignof(ws::hostent) == 0; }

ws::hostent* BlockingResult(const HostResult& r) {
    if (r.error != 0) {
        SetError(r.error);
        return nullptr;
    }
    alignas(ws::hostent) thread_local char storage[2048];
    if (LayOutHostent(r, storage, sizeof storage) > static_cast<int>(sizeof storage)) {
        SetError(ws::WSAENOBUFS);
        return nullptr;
    }
    return reinterpret_cast<ws::hostent*>(storage);
}

void Work(std::uintptr_t id, bool byAddress, std::string name, Address address) {
    LookupState& s = TheLookups();
    {
        std::unique_lock lock(s.mutex);
        s.changed.wait(lock, [&] { return !s.hold || s.pending.count(id) == 0; });
    }
    HostResult r;
    {
        std::unique_lock lock(s.mutex);
        const bool cancelled = s.pending.count(id) == 0;
        lock.unlock();
        if (!cancelled) r = byAddress ? ResolveAddress(address) : ResolveName(name);
    }
    std::lock_guard lock(s.mutex);
    auto it = s.pending.find(id);
    if (it != s.pending.end()) {
        // Written and posted under the lock: once WSACancelAsyncRequest has
        // returned, the caller's buffer is never touched.
        const LookupState::Task task = it->second;
        s.pending.erase(it);
        int error = r.error;
        int size = 0;
        if (error == 0) {
            size = LayOutHostent(r, task.buffer, task.bufferSize);
            if (size > task.bufferSize) error = ws::WSAENOBUFS;
        }
        ::PostMessageA(
            task.hwnd, task.msg, static_cast<WPARAM>(id),
            ws::WSAMAKEASYNCREPLY(static_cast<WORD>(size > 0xFFFF ? 0xFFFF : size), static_cast<WORD>(error)));
    }
    --s.running;
    s.changed.notify_all();
}

HANDLE StartLookup(const char* function, HWND hwnd, UINT msg, char* buffer, int bufferSize, bool byAddress,
                   std::string name, Address address) {
    if (!BeginPlainCall(function)) return nullptr;
    if (buffer != nullptr && !PointerAligned(buffer)) {
        SetError(ws::WSAEFAULT);
        return nullptr;
    }
    LookupState& s = TheLookups();
    std::lock_guard lock(s.mutex);
    const std::uintptr_t id = s.nextId++;
    try {
        std::thread(Work, id, byAddress, std::move(name), address).detach();
    } catch (const std::system_error&) {
        SetError(ws::WSAENOBUFS);
        return nullptr;
    }
    s.pending[id] = LookupState::Task{hwnd, msg, buffer, bufferSize};
    ++s.running;
    return reinterpret_cast<HANDLE>(id);
}

}  // namespace

void CancelAllLookups() {
    LookupState& s = TheLookups();
    std::lock_guard lock(s.mutex);
    s.pending.clear();
    s.changed.notify_all();
}

void ClearLookupInjections() {
    LookupState& s = TheLookups();
    std::lock_guard lock(s.mutex);
    s.failingNames.clear();
    s.hold = false;
    s.changed.notify_all();
}

}  // namespace wsimpl

namespace ws {

hostent* gethostbyname(const char* name) {
    if (!wsimpl::BeginPlainCall("gethostbyname")) return nullptr;
    if (name == nullptr) {
        wsimpl::SetError(WSAEFAULT);
        return nullptr;
    }
    return wsimpl::BlockingResult(wsimpl::ResolveName(name));
}

hostent* gethostbyaddr(const char* addr, int len, int type) {
    if (!wsimpl::BeginPlainCall("gethostbyaddr")) return nullptr;
    wsimpl::Address a;
    if (!wsimpl::ReadAddressArgument(addr, len, type, a)) return nullptr;
    return wsimpl::BlockingResult(wsimpl::ResolveAddress(a));
}

HANDLE WSAAsyncGetHostByName(HWND hwnd, u_int msg, const char* name, char* buf, int buflen) {
    if (name == nullptr) {
        wsimpl::SetError(WSAEFAULT);
        return nullptr;
    }
    return wsimpl::StartLookup("WSAAsyncGetHostByName", hwnd, msg, buf, buflen, false, name, {});
}

HANDLE WSAAsyncGetHostByAddr(HWND hwnd, u_int msg, const char* addr, int len, int type, char* buf, int buflen) {
    wsimpl::Address a;
    if (!wsimpl::ReadAddressArgument(addr, len, type, a)) return nullptr;
    return wsimpl::StartLookup("WSAAsyncGetHostByAddr", hwnd, msg, buf, buflen, true, {}, a);
}

int WSACancelAsyncRequest(HANDLE asyncTaskHandle) {
    if (!wsimpl::BeginPlainCall("WSACancelAsyncRequest")) return SOCKET_ERROR;
    const auto id = reinterpret_cast<std::uintptr_t>(asyncTaskHandle);
    wsimpl::LookupState& s = wsimpl::TheLookups();
    std::lock_guard lock(s.mutex);
    auto it = s.pending.find(id);
    if (it == s.pending.end()) {
        // A handle that was given out has completed (or was cancelled) already.
        wsimpl::SetError(id != 0 && id < s.nextId ? WSAEALREADY : WSAEINVAL);
        return SOCKET_ERROR;
    }
    s.pending.erase(it);
    s.changed.notify_all();
    return 0;
}

}  // namespace ws

namespace ws::testing {

void FailLookupOf(const std::string& hostName, int error) {
    wsimpl::LookupState& s = wsimpl::TheLookups();
    std::lock_guard lock(s.mutex);
    s.failingNames[wsimpl::Lower(hostName)] = error;
}

void HoldLookups(bool hold) {
    wsimpl::LookupState& s = wsimpl::TheLookups();
    std::lock_guard lock(s.mutex);
    s.hold = hold;
    s.changed.notify_all();
}

int PendingLookupCount() {
    wsimpl::LookupState& s = wsimpl::TheLookups();
    std::lock_guard lock(s.mutex);
    return s.running;
}

bool WaitForLookupsIdle(int milliseconds) {
    wsimpl::LookupState& s = wsimpl::TheLookups();
    std::unique_lock lock(s.mutex);
    return s.changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return s.running == 0; });
}

}  // namespace ws::testing
