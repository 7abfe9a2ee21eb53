// LoadLibraryA / GetProcAddress / FreeLibrary over the built-in modules that
// export the socket calls.
#include "platform/winsock/module_table.h"

#include <cstring>
#include <mutex>
#include <string>

#include "platform/messages/thread_services.h"
#include "platform/winsock/detail/socket_table.h"
#include "platform/winsock/winsock_api.h"
#include "platform/winsock/winsock_testing.h"

namespace {

struct Export {
    const char* name;
    FARPROC address;
};

template <typename F>
FARPROC Address(F* f) {
    return reinterpret_cast<FARPROC>(f);
}

// The Windows Sockets 1.1 calls, exported by both modules.
const Export kSocketCalls[] = {
    {"WSAStartup", Address(&ws::WSAStartup)},
    {"WSACleanup", Address(&ws::WSACleanup)},
    {"WSASetLastError", Address(&ws::WSASetLastError)},
    {"WSAGetLastError", Address(&ws::WSAGetLastError)},
    {"WSACancelAsyncRequest", Address(&ws::WSACancelAsyncRequest)},
    {"WSAAsyncGetHostByName", Address(&ws::WSAAsyncGetHostByName)},
    {"WSAAsyncGetHostByAddr", Address(&ws::WSAAsyncGetHostByAddr)},
    {"WSAAsyncSelect", Address(&ws::WSAAsyncSelect)},
    {"getservbyname", Address(&ws::getservbyname)},
    {"getprotobyname", Address(&ws::getprotobyname)},
    {"gethostbyname", Address(&ws::gethostbyname)},
    {"gethostbyaddr", Address(&ws::gethostbyaddr)},
    {"socket", Address(&ws::socket)},
    {"shutdown", Address(&ws::shutdown)},
    {"setsockopt", Address(&ws::setsockopt)},
    {"getsockopt", Address(&ws::getsockopt)},
    {"sendto", Address(&ws::sendto)},
    {"send", Address(&ws::send)},
    {"recv", Address(&ws::recv)},
    {"recvfrom", Address(&ws::recvfrom)},
    {"ntohs", Address(&ws::ntohs)},
    {"ntohl", Address(&ws::ntohl)},
    {"listen", Address(&ws::listen)},
    {"ioctlsocket", Address(&ws::ioctlsocket)},
    {"inet_ntoa", Address(&ws::inet_ntoa)},
    {"inet_addr", Address(&ws::inet_addr)},
    {"htons", Address(&ws::htons)},
    {"htonl", Address(&ws::htonl)},
    {"getsockname", Address(&ws::getsockname)},
    {"getpeername", Address(&ws::getpeername)},
    {"connect", Address(&ws::connect)},
    {"closesocket", Address(&ws::closesocket)},
    {"bind", Address(&ws::bind)},
    {"accept", Address(&ws::accept)},
};

const Export kWs2Only[] = {
    {"WSAIoctl", Address(&ws::WSAIoctl)},
};

struct Module {
    const char* fileName;
    HMODULE handle;
    bool ws2;
    int references;
};

struct ModuleTable {
    std::mutex mutex;
    Module modules[2] = {
        {"wsock32.dll", reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x71AB0000)), false, 0},
        {"ws2_32.dll", reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x71AC0000)), true, 0},
    };
};

ModuleTable& TheModules() {
    static ModuleTable* table = new ModuleTable;  // never destroyed
    return *table;
}

// "C:\\x\\WSOCK32" -> "wsock32.dll"
std::string CanonicalName(const char* fileName) {
    std::string name(fileName);
    const auto slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (name.find('.') == std::string::npos) name += ".dll";
    return name;
}

Module* FindByName(ModuleTable& t, const char* fileName) {
    const std::string name = CanonicalName(fileName);
    for (Module& m : t.modules) {
        if (name == m.fileName) return &m;
    }
    return nullptr;
}

Module* FindByHandle(ModuleTable& t, HMODULE handle) {
    for (Module& m : t.modules) {
        if (m.handle == handle) return &m;
    }
    return nullptr;
}

}  // namespace

HMODULE LoadLibraryA(const char* fileName) {
    int injected = 0;
    if (wsimpl::TakeInjectedFailure("LoadLibraryA", &injected)) {
        SetLastError(static_cast<DWORD>(injected));
        return nullptr;
    }
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ModuleTable& t = TheModules();
    std::lock_guard lock(t.mutex);
    Module* m = FindByName(t, fileName);
    if (m == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++m->references;
    SetLastError(ERROR_SUCCESS);
    return m->handle;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    int injected = 0;
    if (wsimpl::TakeInjectedFailure("GetProcAddress", &injected)) {
        SetLastError(static_cast<DWORD>(injected));
        return nullptr;
    }
    ModuleTable& t = TheModules();
    std::lock_guard lock(t.mutex);
    Module* m = FindByHandle(t, module);
    if (m == nullptr || m->references == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Small values are export ordinals, which these modules do not have.
    if (reinterpret_cast<std::uintptr_t>(procName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    for (const Export& e : kSocketCalls) {
        if (std::strcmp(e.name, procName) == 0) return e.address;
    }
    if (m->ws2) {
        for (const Export& e : kWs2Only) {
            if (std::strcmp(e.name, procName) == 0) return e.address;
        }
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    ModuleTable& t = TheModules();
    std::lock_guard lock(t.mutex);
    Module* m = FindByHandle(t, module);
    if (m == nullptr || m->references == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --m->references;
    return TRUE;
}

namespace ws::testing {

int ModuleReferenceCount(const char* moduleName) {
    ModuleTable& t = TheModules();
    std::lock_guard lock(t.mutex);
    Module* m = FindByName(t, moduleName);
    return m != nullptr ? m->references : 0;
}

}  // namespace ws::testing
